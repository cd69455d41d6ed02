// Per-vertex light: ambient, diffuse and specular at each vertex (Gouraud).
#include "shell.h"

// One row of the lesson table, laid out as a table row.
// clang-format off
static constexpr Lesson row = {
    "Kolory w shaderze", "oswietlenie_per_vertex.vert", "oswietlenie_per_vertex.frag",
    SCENE_PLAIN, /*sceneBeforeGlew*/ true, /*perFrameLight*/ true, /*textures*/ false,
    "ambient, diffuse and specular light per vertex (Gouraud)",
};
// clang-format on

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

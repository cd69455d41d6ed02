// Diffuse light: Lambert's cosine term for a light fixed in the scene.
#include "shell.h"

// One row of the lesson table, laid out as a table row.
// clang-format off
static constexpr Lesson row = {
    "Kolory w shaderze", "oswietlenie_rozproszone.vert", "oswietlenie_rozproszone.frag",
    SCENE_PLAIN, /*sceneBeforeGlew*/ true, /*perFrameLight*/ true, /*textures*/ false,
    "diffuse light, per vertex",
};
// clang-format on

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

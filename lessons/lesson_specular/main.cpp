// Specular light: the full model per fragment, with a sharp highlight.
#include "shell.h"

// One row of the lesson table, laid out as a table row.
// clang-format off
static constexpr Lesson row = {
    "Kolory w shaderze", "oswietlenie_odbite.vert", "oswietlenie_odbite.frag",
    SCENE_LIT, /*sceneBeforeGlew*/ true, /*perFrameLight*/ false, /*textures*/ false,
    "specular light per fragment (Phong)",
};
// clang-format on

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

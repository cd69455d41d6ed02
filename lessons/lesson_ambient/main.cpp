// Ambient light: the surface colour scaled by the scene's ambient light.
#include "shell.h"

// One row of the lesson table, laid out as a table row.
// clang-format off
static constexpr Lesson row = {
    "Kolory w shaderze", "oswietlenie_otoczenia.vert", "oswietlenie_otoczenia.frag",
    SCENE_PLAIN, /*sceneBeforeGlew*/ true, /*perFrameLight*/ true, /*textures*/ false,
    "ambient light",
};
// clang-format on

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

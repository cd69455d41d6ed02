// Texturing: two images on units 0 and 1, combined in the shader.
#include "shell.h"

// One row of the lesson table, laid out as a table row.
// clang-format off
static constexpr Lesson row = {
    "Teksturowanie", "teksturowanie.vert", "teksturowanie.frag",
    SCENE_TEXTURED, /*sceneBeforeGlew*/ false, /*perFrameLight*/ false, /*textures*/ true,
    "two textures multiplied",
};
// clang-format on

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

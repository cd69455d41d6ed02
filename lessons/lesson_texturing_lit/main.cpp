// Texturing with light: the two textures times the specular lesson's light.
#include "shell.h"

// One row of the lesson table, laid out as a table row.
// clang-format off
static constexpr Lesson row = {
    "Teksturowanie", "teksturowanie_osw.vert", "teksturowanie_osw.frag",
    SCENE_TEXTURED, /*sceneBeforeGlew*/ false, /*perFrameLight*/ false, /*textures*/ true,
    "two textures, lit per fragment",
};
// clang-format on

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

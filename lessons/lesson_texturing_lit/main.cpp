// Texturing with light: the two textures times the specular lesson's light.
#include "shell.h"

static constexpr Lesson row = {
    "Teksturowanie", "teksturowanie_osw.vert", "teksturowanie_osw.frag",
    SCENE_TEXTURED, /*sceneBeforeGlew*/ false, /*perFrameLight*/ false, /*textures*/ true,
};

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

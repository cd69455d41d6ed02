// Ambient light: the surface colour scaled by the scene's ambient light.
#include "shell.h"

static constexpr Lesson row = {
    "Kolory w shaderze", "oswietlenie_otoczenia.vert", "oswietlenie_otoczenia.frag",
    SCENE_PLAIN, /*sceneBeforeGlew*/ true, /*perFrameLight*/ true, /*textures*/ false,
};

int main(int argc, char** argv) { return runLesson<row>(argc, argv); }

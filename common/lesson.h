// A lesson's row of the lesson table: the few values and switches that set
// one lesson apart from another.
#pragma once

// How much fixed-function state a lesson's scene carries before the first
// frame. Each variant does everything the one before it does.
enum SceneVariant {
    SCENE_PLAIN,    // depth test and a white background
    SCENE_LIT,      // plus a specular material and light 0 fixed to the viewer
    SCENE_TEXTURED  // plus 2D texturing on units 0 and 1
};

// One row of the lesson table: everything that sets one lesson apart.
struct Lesson {
    const char* title;         // window title
    const char* vertexFile;    // vertex shader, looked up in the working directory
    const char* fragmentFile;  // fragment shader, likewise
    SceneVariant scene;
    bool sceneBeforeGlew;  // scene state set before GLEW starts (needs only GL 1.x)
    bool perFrameLight;    // display() places light 0 in the scene every frame
    bool textures;         // loads "tex0.tga" and "tex1.tga" onto units 0 and 1
    const char* subject;   // what the lesson teaches, in English (explore mode's title)
};

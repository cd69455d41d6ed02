// The ways of drawing a lesson: OpenGL 2.0's built-in state, or the 3.3 core
// profile (also the web page's WebGL 2). Each is a small table of the few
// steps that differ between them, chosen once at start-up; the frame, the
// pictures and explore mode call through it and never ask which it is. Every
// step is given what it draws from: the lesson's row and a scene.
#pragma once

#include <string>
#include <vector>

#include "lesson.h"
#include "maths.h"
#include "scene.h"

struct WayOfDrawing {
    const char* name;          // for messages: "OpenGL 2.0's built-in state", ...
    const char* titleSuffix;   // after the window's title: "" or " - core profile"
    const char* shaderFolder;  // where the lessons' pairs for it are: "" or "core/"
    // Before the window: ask GLUT for the context this way needs.
    void (*beforeWindow)();
    // After GLEW: what the context needs before anything is drawn.
    void (*afterGlew)();
    // The scene state beyond depth test and clear colour (setupScene).
    void (*sceneState)(const Lesson& row);
    // The viewport and projection for a window of w x h (h at least 1): in
    // OpenGL's matrix stack, or into `projection` for the frame to hand over.
    void (*projection)(int w, int h, Mat4& projection);
    // The frame's matrices, light and colour: the camera, the orbit, light 0
    // where the lesson places it, the turn, the model's scale.
    void (*placeScene)(const Lesson& row, const Scene& scene, const Mat4& projection);
    // The scene's light and material, handed to OpenGL when they differ from
    // what it holds (the core profile hands them over every frame, and needs
    // nothing here).
    void (*useLook)(const Lesson& row, const Scene& scene);
    // An image into the texture bound to GL_TEXTURE_2D; false when refused.
    bool (*uploadImage)(char* fileName);
    // The teapot lit by OpenGL's own model instead of the shaders, to compare,
    // with `program` installed again afterwards; null where there is none
    // (the core profile keeps no lighting).
    void (*builtIn)(const Lesson& row, const Scene& scene, unsigned int program);
};

extern const WayOfDrawing builtInState;  // OpenGL 2.0, the lessons' own way
extern const WayOfDrawing coreProfile;   // OpenGL 3.3 core, or WebGL 2

// The ways a program of this platform offers, by the command line's choice:
// the core profile, or the built-in state where it exists.
const WayOfDrawing* chooseWay(bool core);

// The teapot with the lesson's `textures` bound, as the current program
// draws it: every way's last step (frame.cpp).
void drawTeapot(const Lesson& row, const unsigned int textures[2]);

// The w x h pixels drawn so far into the framebuffer bound now (the window's,
// before the swap, or a picture's), rows from the top, 3 bytes a pixel
// (picture.cpp).
void readPixels(int w, int h, std::vector<unsigned char>& rgb);

// A lesson's shader file as the way `w` reads it: NAME, or "core/NAME".
std::string lessonFile(const char* fileName, const WayOfDrawing& w);

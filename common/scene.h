// The state every lesson draws from, in one room below the rest: the running
// row, the turn, the light, the material, the textures, the camera, and what
// explore mode steers (the orbit, the pause, the built-in comparison). The
// ways of drawing, explore mode and the pictures read and set it here.
#pragma once

#include "lesson.h"

extern const Lesson* lesson;      // the row of the running program
extern float a;                   // the teapot's turn about y, in degrees
extern float light_pos[4];        // light 0 in scene space, for the per-frame light
extern float light_position[4];   // light 0 of the lit scenes, in eye space
extern float mat_specular[4];     // the lit scenes' material: a white highlight
extern float mat_shininess[1];    // of shininess 50
extern unsigned int textures[2];  // "tex0.tga" on unit 0, "tex1.tga" on unit 1 (GLuint)

// The camera and its lens, the same in every way of drawing: the eye on the
// z axis, 10 units out, looking towards -z; a 45-degree vertical field of view.
struct Camera {
    float eye[3], centre[3], up[3];
    float fieldOfView, nearPlane, farPlane;
};
extern const Camera camera;
extern const float teapotSize;  // glutSolidTeapot's size

// What a frame is lit and coloured by beyond the row's own arrays: in every
// lesson's run, the lessons' pink and OpenGL's defaults (the shaders get them
// as built-in state, or in the core profile as uniforms); a picture may
// choose others.
struct Look {
    float surfaceColour[4];  // glColor3f(1.0, 0.5, 0.5)
    float sceneAmbient[4];   // the light model's ambient: 0.2 grey
    float lightAmbient[4];   // light 0's colours: black, white, white
    float lightDiffuse[4];
    float lightSpecular[4];
    float materialSpecular[4];  // the front material's highlight: the lit
    float materialShininess;    // scenes' mat_specular and mat_shininess, else black, 0
    float scale[3];             // the model's own scale, before the turn
};
extern Look look;
extern const Look lessonLook;  // the look every lesson starts with

// What explore mode steers on the one frame; a plain run leaves it alone.
struct View {
    bool orbiting;        // the orbit goes between the camera and the lesson's steps
    float yaw, pitch;     // degrees
    bool paused;          // the turn holds; frames are drawn when something changes
    bool builtIn;         // OpenGL's own lighting instead of the shaders (built-in state only)
    void (*afterDraw)();  // after the frame is drawn, before the swap (screenshots)
    unsigned int beside;  // a program drawn in the window's right half (an exercise's target), or 0
    // Draws the right half itself instead (x, width, height in pixels), when set.
    void (*drawBeside)(int x, int w, int h);
};
extern View view;

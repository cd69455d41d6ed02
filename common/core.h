// The core profile (`lesson_x --core`): the same lesson without OpenGL's
// built-in state. The program computes what OpenGL kept (the matrices, the
// light's place) and hands it, with the light, the material and the colour,
// to the lesson's pair in data/core/ as uniforms.
#pragma once

#include <string>

#include "maths.h"

extern bool coreProfile;  // the lesson runs in a 3.3 core context
extern bool litMaterial;  // the shaders get the lit lessons' material (else GL's default, black)

// Whether the command line asks for the core profile.
bool coreRequested(int argc, char** argv);

// Before the window: ask GLUT for a 3.3 core context; a driver that cannot
// give one ends the lesson with a message, never an X error.
void askForCoreContext();

// After GLEW: the context is 3.3 core (or the lesson says so and ends), and
// GLUT's teapot has a vertex array object and the shaders' attribute
// locations to draw through.
void setupCore();

// A lesson's shader file in the profile it runs in (or in the one `core`
// names): NAME, or in the core profile "core/NAME".
std::string lessonFile(const char* fileName, bool core = coreProfile);

// gluPerspective's matrix, for a window of w x h.
void coreProjection(int w, int h);

// Hands the current program what the built-in state held this frame: the
// model-view, light 0 in eye space, and the constant light, material, colour.
void coreUniforms(const Mat4& modelView, const float lightEye[4]);

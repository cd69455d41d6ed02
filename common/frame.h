// One frame of a lesson, drawn the way the lesson draws: the plain run's
// display, explore mode and the pictures all draw with these.
#pragma once

// The viewport and projection for a window of w x h.
void projection(int w, int h);

// The teapot with the lesson's textures bound, as the current program draws it.
void drawTeapot();

// One frame, up to the swap: clear, the way's matrices, light and colour
// (with the orbit when explore mode turns it on), and the teapot, lit by the
// shaders or, when explore mode asks and the way has it, by OpenGL.
void drawFrame();

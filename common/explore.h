// Explore mode (`lesson_x --explore`): the learner's controls over a running
// lesson. Hold and step the turn, orbit the camera, compare with OpenGL's
// built-in lighting, load any lesson's shaders, see shader files rebuilt the
// moment they are saved, and save screenshots. Without the option the lesson
// runs exactly as it always has.
#pragma once

#include <string>

// Whether the command line asks for explore mode.
bool exploreRequested(int argc, char** argv);

// Takes over the GLUT callbacks of the lesson set up so far, with its
// program installed; `program` names the screenshots. Call before the loop.
void startExplore(const char* program);

// The shader file explore mode draws from and watches now: the pair's vertex
// shader, or with `fragment` its fragment shader. Empty before it starts.
std::string watchedFile(bool fragment);

// Explore mode (`lesson_x --explore`): the learner's controls over a running
// lesson. Hold and step the turn, orbit the camera, compare with OpenGL's
// built-in lighting, load any lesson's shaders, see shader files rebuilt the
// moment they are saved, and save screenshots. It steers the lesson's one
// frame; without the option the lesson runs exactly as it always has.
#pragma once

#include <string>

#include "shaders.h"

// Whether explore mode follows the pair's files as they are saved (the
// desktop); the web page hands over its editor's text instead (useSources).
extern bool followSavedFiles;

// What `s` does, named after `program`: on the desktop (screenshot.cpp) the
// window's picture is saved after the next frame in the screenshot folder;
// the web page (page.cpp) hands a picture to the browser.
void takeScreenshot(const char* program);

// Takes the keys and the mouse of the lesson set up so far, with its program
// installed; `program` names the screenshots. Call before the loop.
void startExplore(const char* program);

// A key pressed, as explore mode takes it from GLUT (`special`: GLUT's
// special keys, the arrows): the web page's buttons press them.
void exploreKey(int key, bool special);

// The shader file of the pair drawn now: its vertex shader, or with
// `fragment` its fragment shader. Empty before explore mode starts.
std::string watchedFile(bool fragment);

// The pair drawn now, built from the text given (an editor's): drawn from the
// next frame when it builds; otherwise the last program that built goes on
// drawing. `report` says which, with every diagnostic.
bool useSources(const char* textVert, const char* textFrag, BuildReport* report);

// Explore mode's screenshots: the window's picture, saved under a name no
// file has yet, so no earlier picture and no other run's is ever replaced.
#pragma once

#include <string>
#include <vector>

// The window's frame as drawn so far (before the swap), rows from the top,
// 3 bytes a pixel.
void readWindow(int w, int h, std::vector<unsigned char>& rgb);

// Saves `rgb` (w x h) as PROGRAM-NNN.png in the screenshot folder, under the
// first number no file has; says "Saved PATH" on standard output, or why not
// on standard error. Returns the path, or "" when nothing was saved.
std::string saveScreenshot(const std::string& program, int w, int h,
                           const std::vector<unsigned char>& rgb);

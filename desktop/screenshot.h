// Explore mode's screenshots on the desktop: the window's picture, saved
// under a name no file has yet, so no earlier picture and no other run's is
// ever replaced.
#pragma once

#include <string>
#include <vector>

// Saves `rgb` (w x h) as PROGRAM-NNN.png in the screenshot folder, numbered
// on from the highest number there (the folder is read once a run, so a
// press answers at once with thousands of pictures there); says "Saved PATH"
// on standard output, or why not on standard error. Returns the path, or ""
// when nothing was saved.
std::string saveScreenshot(const std::string& program, int w, int h,
                           const std::vector<unsigned char>& rgb);

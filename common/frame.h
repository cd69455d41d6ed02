// What every frame and picture does to draw and read back, whoever draws it.
#pragma once

#include <vector>

#include "lesson.h"

// The teapot with the lesson's `textures` bound, as the current program draws it.
void drawTeapot(const Lesson& row, const unsigned int textures[2]);

// The w x h pixels drawn so far into the framebuffer bound now (the window's,
// before the swap, or a picture's), rows from the top, 3 bytes a pixel.
void readPixels(int w, int h, std::vector<unsigned char>& rgb);

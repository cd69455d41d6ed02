// A small PNG writer for explore mode's screenshots: 8-bit RGB, stored
// without compression, so it needs no library.
#pragma once

// Writes `rgb` (width x height pixels, rows from the top, 3 bytes a pixel)
// to `path`. False when the file cannot be written.
bool writePNG(const char* path, int width, int height, const unsigned char* rgb);

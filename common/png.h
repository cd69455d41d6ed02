// A small PNG writer for explore mode's screenshots: 8-bit RGB, stored
// without compression, so it needs no library.
#pragma once

#include <vector>

// Writes `rgb` (width x height pixels, rows from the top, 3 bytes a pixel)
// to `path`, a file it creates: one that exists already is left as it is.
// Returns 0, or the errno value that says why (EEXIST: the name is taken).
int writePNG(const char* path, int width, int height, const unsigned char* rgb);

// Writes `bytes` to `path` the same way: a new file, whole or not at all.
int writeNewFile(const char* path, const std::vector<unsigned char>& bytes);

// The same picture as the bytes of a PNG file.
std::vector<unsigned char> encodePNG(int width, int height, const unsigned char* rgb);

// Writes the picture to `path` whether or not a file of that name exists
// (one the learner named for it): written beside it and renamed over, so it
// is never left half made. Returns 0 or the errno value.
int writePNGOver(const char* path, int width, int height, const unsigned char* rgb);

// Uncompressed 24- and 32-bit TGA images: reading them into RGB(A) bytes and
// uploading them into the texture bound to GL_TEXTURE_2D.
#pragma once

#include <GL/glew.h>

struct TARGAINFO {
    GLuint bpp;     // bits per pixel: 24 or 32 for an accepted image
    GLuint width;   // in pixels
    GLuint height;  // in pixels
};

// Reads `filename` into a new buffer from malloc (the caller frees it): per
// pixel R, G, B (and the fourth byte as stored), rows in file order. Fills
// `info` as soon as the size fields are read, even when the image is then
// rejected. Returns null for any file that is not of the accepted form.
GLubyte* LoadTGAImage(char* filename, TARGAINFO* info);

// Why the last LoadTGAImage or LoadTGATexture call gave no image, in words
// for the learner (which field, which size); empty after a success.
const char* TGAFailure();

// Upload the image into the texture currently bound to GL_TEXTURE_2D, as one
// level or as a full mipmap chain. False when the image cannot be read, and
// for LoadTGATexture also when it is larger than the driver's largest texture.
bool LoadTGATexture(char* filename);
bool LoadTGAMipmap(char* filename);  // in TargaMipmap.cpp: it needs GLU

// LoadTGATexture's upload in the form every context takes, OpenGL 3's core
// profile and OpenGL ES (WebGL) included: the internal format named (GL_RGB,
// GL_RGBA) rather than counted (3, 4), and no texture environment, which
// only the fixed-function pipeline has.
bool LoadTGATextureByFormat(char* filename);

// What the uploads share: the pixels' form for OpenGL, their count of
// components, the row alignment of the reader's tightly packed rows, and the
// bound texture's wrap (repeat) and filters (linear, and `minFilter`).
GLenum TGAPixelFormat(const TARGAINFO& info);
GLint TGAComponents(const TARGAINFO& info);
GLint TGAUnpackAlignment(const TARGAINFO& info);
void setTGAWrapAndFilters(GLint minFilter);

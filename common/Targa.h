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

// Set for a core-profile context, which knows neither the old internal
// formats 3 and 4 nor glTexEnv: uploads then name GL_RGB or GL_RGBA.
extern bool TGACoreProfile;

// Upload the image into the texture currently bound to GL_TEXTURE_2D, as one
// level or as a full mipmap chain. False when the image cannot be read, and
// for LoadTGATexture also when it is larger than the driver's largest texture.
bool LoadTGATexture(char* filename);
bool LoadTGAMipmap(char* filename);

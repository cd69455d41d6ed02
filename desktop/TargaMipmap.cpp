// A TGA image as a full mipmap chain, made by GLU (which the web page lacks).
#include "Targa.h"

#include <GL/glu.h>
#include <stdlib.h>

bool LoadTGAMipmap(char* filename) {
    TARGAINFO info;
    GLubyte* bits = LoadTGAImage(filename, &info);
    if (!bits) return false;
    setTGAWrapAndFilters(GL_NEAREST_MIPMAP_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, TGAUnpackAlignment(info));
    gluBuild2DMipmaps(GL_TEXTURE_2D, TGAComponents(info), info.width, info.height,
                      TGAPixelFormat(info), GL_UNSIGNED_BYTE, bits);
    free(bits);
    return true;
}

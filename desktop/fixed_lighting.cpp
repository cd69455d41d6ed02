// OpenGL's own lighting of a lesson's scene (see builtin_lighting.h).
#include "fixed_lighting.h"

#include <GL/glew.h>

void generateUnit1Coordinates() {
    glActiveTexture(GL_TEXTURE1);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glActiveTexture(GL_TEXTURE0);
}

void useBuiltInLighting(bool textures, bool highlight) {
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (textures) {
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, white);
        // The light map on unit 1 lies differently from the shaders', which
        // read unit 0's coordinates for both.
        generateUnit1Coordinates();
    } else {
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    }
    if (!highlight) return;
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 50.0f);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
}

// The lessons' own way of drawing: OpenGL 2.0's built-in state. The
// projection and camera are GL's matrix stacks, light 0 and the material are
// GL's, and the shaders read them all as gl_ModelViewMatrix, gl_LightSource[0],
// gl_FrontMaterial and gl_Color.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "Targa.h"
#include "fixed_lighting.h"
#include "drawing.h"
#include "scene.h"

namespace {

// The lit and textured scenes' state, once the depth test and clear colour
// are set.
void sceneState(const Lesson& row) {
    if (row.scene == SCENE_PLAIN) return;
    glMaterialfv(GL_FRONT, GL_SPECULAR, mat_specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, mat_shininess);
    // No frame has been drawn: the model-view is the identity, so OpenGL
    // stores this direction in eye space.
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (row.scene == SCENE_LIT) return;

    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
}

void projection(int w, int h, Mat4&) {
    float ratio = (float)w / (float)h;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, w, h);
    gluPerspective(camera.fieldOfView, ratio, camera.nearPlane, camera.farPlane);
}

bool scaled(const float* scale) { return scale[0] != 1.0f || scale[1] != 1.0f || scale[2] != 1.0f; }

void placeScene(const Lesson& row, const Scene& s, const Mat4&) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float *eye = camera.eye, *centre = camera.centre, *up = camera.up;
    gluLookAt(eye[0], eye[1], eye[2], centre[0], centre[1], centre[2], up[0], up[1], up[2]);
    if (s.orbiting) {  // the whole scene turned under the camera
        glRotatef(s.pitch, 1, 0, 0);
        glRotatef(s.yaw, 0, 1, 0);
    }
    // After the camera and before the turn: fixed in the scene.
    if (row.perFrameLight) glLightfv(GL_LIGHT0, GL_POSITION, s.light);
    glRotatef(s.a, 0, 1, 0);
    const float* scale = s.look.scale;
    if (scaled(scale)) glScalef(scale[0], scale[1], scale[2]);
    const float* colour = s.look.surfaceColour;
    glColor3f(colour[0], colour[1], colour[2]);
}

// The look's light and material as OpenGL keeps them. A light fixed to the
// viewer is given again with an identity model-view, so it stays in eye space.
void useLook(const Lesson& row, const Scene& s) {
    const Look& look = s.look;
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, look.sceneAmbient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, look.lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, look.lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, look.lightSpecular);
    glMaterialfv(GL_FRONT, GL_SPECULAR, look.materialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, look.materialShininess);
    if (!row.perFrameLight) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glLightfv(GL_LIGHT0, GL_POSITION, s.light);
        glPopMatrix();
    }
}

bool uploadImage(char* fileName) { return LoadTGATexture(fileName); }

// OpenGL's own lighting of the same scene, pushed and popped around the
// teapot so that the shaders' state is untouched.
void builtIn(const Lesson& row, const Scene& s, unsigned int program) {
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT);
    glUseProgram(0);
    useBuiltInLighting(row.textures);
    drawTeapot(row, s.textures);
    glPopAttrib();
    glUseProgram(program);
}

}  // namespace

const WayOfDrawing builtInState = {
    "OpenGL 2.0's built-in state",
    "",
    "",
    nullptr,
    nullptr,
    sceneState,
    projection,
    placeScene,
    useLook,
    uploadImage,
    builtIn,
};

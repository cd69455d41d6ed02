// The lessons' own way of drawing: OpenGL 2.0's built-in state. The
// projection and camera are GL's matrix stacks, light 0 and the material are
// GL's, and the shaders read them all as gl_ModelViewMatrix, gl_LightSource[0],
// gl_FrontMaterial and gl_Color.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "Targa.h"
#include "builtin_lighting.h"
#include "drawing.h"
#include "scene.h"
#include "shaders.h"

namespace {

// The lit and textured scenes' state, once the depth test and clear colour
// are set.
void sceneState() {
    if (lesson->scene == SCENE_PLAIN) return;
    glMaterialfv(GL_FRONT, GL_SPECULAR, mat_specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, mat_shininess);
    // No frame has been drawn: the model-view is the identity, so OpenGL
    // stores this direction in eye space.
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (lesson->scene == SCENE_LIT) return;

    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
}

void projection(int w, int h) {
    float ratio = (float)w / (float)h;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, w, h);
    gluPerspective(camera.fieldOfView, ratio, camera.nearPlane, camera.farPlane);
}

bool scaled() { return look.scale[0] != 1.0f || look.scale[1] != 1.0f || look.scale[2] != 1.0f; }

void placeScene() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float *eye = camera.eye, *centre = camera.centre, *up = camera.up;
    gluLookAt(eye[0], eye[1], eye[2], centre[0], centre[1], centre[2], up[0], up[1], up[2]);
    if (view.orbiting) {  // the whole scene turned under the camera
        glRotatef(view.pitch, 1, 0, 0);
        glRotatef(view.yaw, 0, 1, 0);
    }
    // After the camera and before the turn: fixed in the scene.
    if (lesson->perFrameLight) glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
    glRotatef(a, 0, 1, 0);
    if (scaled()) glScalef(look.scale[0], look.scale[1], look.scale[2]);
    glColor3f(look.surfaceColour[0], look.surfaceColour[1], look.surfaceColour[2]);
}

// The look's light and material as OpenGL keeps them. A light fixed to the
// viewer is given again with an identity model-view, so it stays in eye space.
void useLook() {
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, look.sceneAmbient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, look.lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, look.lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, look.lightSpecular);
    glMaterialfv(GL_FRONT, GL_SPECULAR, look.materialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, look.materialShininess);
    if (!lesson->perFrameLight) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glLightfv(GL_LIGHT0, GL_POSITION, light_position);
        glPopMatrix();
    }
}

bool uploadImage(char* fileName) { return LoadTGATexture(fileName); }

// OpenGL's own lighting of the same scene, pushed and popped around the
// teapot so that the shaders' state is untouched.
void builtIn(void (*teapot)()) {
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT);
    glUseProgram(0);
    useBuiltInLighting(lesson->textures);
    teapot();
    glPopAttrib();
    glUseProgram(shaderProg);
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

// The core profile (`lesson_x --core`, and the web page's WebGL 2): the same
// lesson without OpenGL's built-in state. The program computes what OpenGL
// kept (the matrices, the light's place) and hands it, with the light, the
// material and the colour, to the lesson's pair in data/core/ as uniforms.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "Targa.h"
#include "advice.h"
#include "drawing.h"
#include "maths.h"
#include "scene.h"

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#define USE_X11
#include <X11/Xlib.h>
#endif

namespace {

// The attribute locations the core pairs give their inputs (layout(location)).
enum { POSITION = 0, NORMAL = 1, TEX_COORD = 2 };

// No 3.3 core context: the lesson's message, the learner's advice, status 1.
void noCoreContext(const char* why) {
    puts("OpenGL 3.3 core profile nie jest wspierany\n");
    fflush(stdout);
    fputs(adviceNoCoreProfile(why).c_str(), stderr);
    exit(1);
}

void glutFailed(const char* format, va_list args) {
    char why[256];
    vsnprintf(why, sizeof why, format, args);
    noCoreContext(why);
}

#ifdef USE_X11
// X reports a context it cannot make as an error that would end the process
// with Xlib's own lines: say what it means instead.
int xFailed(Display*, XErrorEvent* event) {
    char why[128];
    snprintf(why, sizeof why, "the X server refused the context (X error %d)", event->error_code);
    noCoreContext(why);
    return 0;
}
#endif

// Before the window: ask GLUT for a 3.3 core context; a driver that cannot
// give one ends the lesson with a message, never an X error.
void askForCoreContext() {
    glutInitContextVersion(3, 3);
    glutInitContextProfile(GLUT_CORE_PROFILE);
    glutInitErrorFunc(glutFailed);
#ifdef USE_X11
    XSetErrorHandler(xFailed);
#endif
}

// After GLEW: the context is 3.3 core (or the lesson says so and ends), and
// GLUT's teapot has a vertex array object and the shaders' attribute
// locations to draw through.
void setupCore() {
#ifdef USE_X11
    XSetErrorHandler(NULL);  // the context exists: X errors are X's again
#endif
    glGetError();  // GLEW asks for core-less extension strings and leaves an error behind
    GLint major = 0, minor = 0, profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
#ifdef __EMSCRIPTEN__
    // The web page's WebGL 2 is OpenGL ES 3.0: core by nature, and all these
    // lessons need.
    if (major < 3) {
#else
    if (major * 10 + minor < 33 || !(profile & GL_CONTEXT_CORE_PROFILE_BIT)) {
#endif
        char why[128];
        snprintf(why, sizeof why, "the driver gave OpenGL %d.%d%s", major, minor,
                 profile & GL_CONTEXT_CORE_PROFILE_BIT ? " core" : ", not a core profile");
        noCoreContext(why);
    }
    // The core profile draws nothing without a vertex array object bound,
    // and GLUT makes none: one for the whole lesson.
    GLuint vao;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    // GLUT's teapot feeds these attributes instead of glVertex, glNormal and
    // glTexCoord; a shader that lacks one just leaves it unread.
    glutSetVertexAttribCoord3(POSITION);
    glutSetVertexAttribNormal(NORMAL);
    glutSetVertexAttribTexCoord2(TEX_COORD);
}

// The core profile keeps no light, material or texture switches: its
// shaders get them as uniforms every frame.
void sceneState(const Lesson&) {}

// gluPerspective's matrix.
void projection(int w, int h, Mat4& projectionMatrix) {
    glViewport(0, 0, w, h);
    projectionMatrix =
        perspective(camera.fieldOfView, (float)w / (float)h, camera.nearPlane, camera.farPlane);
}

// The uniforms the core pairs read, in the order placeScene sets them.
// Their locations are looked up once per program, not every frame.
enum Uniform {
    MVP,
    NORMAL_MATRIX,
    LIGHT_POSITION,
    SCENE_AMBIENT,
    LIGHT_AMBIENT,
    LIGHT_DIFFUSE,
    LIGHT_SPECULAR,
    MATERIAL_SPECULAR,
    MATERIAL_SHININESS,
    SURFACE_COLOUR,
    UNIFORMS
};
const char* const uniformNames[UNIFORMS] = {
    "modelViewProjection", "normalMatrix", "lightPosition", "sceneAmbient",
    "lightAmbient",        "lightDiffuse", "lightSpecular", "materialSpecular",
    "materialShininess",   "surfaceColour"};

// Where the current program keeps each uniform (-1 for one it lacks, which
// glUniform then skips): a cache of what the driver says, asked again when
// another program is installed.
const GLint* locations() {
    static GLint program = -1, where[UNIFORMS];
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    if (current != program) {
        program = current;
        for (int i = 0; i < UNIFORMS; ++i)
            where[i] = glGetUniformLocation((GLuint)current, uniformNames[i]);
    }
    return where;
}

// The built-in frame's steps as matrices of the program's own, handed to
// the current program with what the built-in state held: light 0 in eye
// space, the constant light, the material and the colour.
void placeScene(const Lesson& row, const Scene& s, const Mat4& projectionMatrix) {
    Mat4 view = lookAt(camera.eye, camera.centre, camera.up);
    if (s.orbiting)
        view = multiply(view, multiply(rotation(s.pitch, 1, 0, 0), rotation(s.yaw, 0, 1, 0)));
    // Light 0 in eye space, as OpenGL stores a position: turned by the
    // model-view current when it is given. The per-frame light is given
    // after the camera; the lit scenes' light with the identity.
    float light[4];
    if (row.perFrameLight)
        transform(view, s.light, light);
    else
        memcpy(light, s.light, sizeof light);
    const Look& look = s.look;
    Mat4 modelView = multiply(multiply(view, rotation(s.a, 0, 1, 0)),
                              scaling(look.scale[0], look.scale[1], look.scale[2]));
    Mat4 mvp = multiply(projectionMatrix, modelView);
    float normal[9];
    normalMatrix(modelView, normal);
    const GLint* at = locations();
    glUniformMatrix4fv(at[MVP], 1, GL_FALSE, mvp.m);
    glUniformMatrix3fv(at[NORMAL_MATRIX], 1, GL_FALSE, normal);
    glUniform4fv(at[LIGHT_POSITION], 1, light);
    glUniform4fv(at[SCENE_AMBIENT], 1, look.sceneAmbient);
    glUniform4fv(at[LIGHT_AMBIENT], 1, look.lightAmbient);
    glUniform4fv(at[LIGHT_DIFFUSE], 1, look.lightDiffuse);
    glUniform4fv(at[LIGHT_SPECULAR], 1, look.lightSpecular);
    glUniform4fv(at[MATERIAL_SPECULAR], 1, look.materialSpecular);
    glUniform1f(at[MATERIAL_SHININESS], look.materialShininess);
    glUniform4fv(at[SURFACE_COLOUR], 1, look.surfaceColour);
}

void useLook(const Lesson&, const Scene&) {}

bool uploadImage(char* fileName) { return LoadTGATextureByFormat(fileName); }

}  // namespace

const WayOfDrawing coreProfile = {
    "OpenGL 3.3's core profile",
    " - core profile",
    "core/",
    askForCoreContext,
    setupCore,
    sceneState,
    projection,
    placeScene,
    useLook,
    uploadImage,
    nullptr,
};

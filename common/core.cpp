// The core profile: what a lesson does itself where OpenGL 2.0 kept state.
#include "core.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "Targa.h"
#include "advice.h"
#include "shell.h"

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#define USE_X11
#include <X11/Xlib.h>
#endif

bool coreProfile = false;
bool litMaterial = false;

static Mat4 projectionMatrix;

// The attribute locations the core pairs give their inputs (layout(location)).
enum { POSITION = 0, NORMAL = 1, TEX_COORD = 2 };

bool coreRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], "--core") == 0) return true;
    return false;
}

// No 3.3 core context: the lesson's message, the learner's advice, status 1.
static void noCoreContext(const char* why) {
    puts("OpenGL 3.3 core profile nie jest wspierany\n");
    adviseNoCoreProfile(why);
    exit(1);
}

static void glutFailed(const char* format, va_list args) {
    char why[256];
    vsnprintf(why, sizeof why, format, args);
    noCoreContext(why);
}

#ifdef USE_X11
// X reports a context it cannot make as an error that would end the process
// with Xlib's own lines: say what it means instead.
static int xFailed(Display*, XErrorEvent* event) {
    char why[128];
    snprintf(why, sizeof why, "the X server refused the context (X error %d)", event->error_code);
    noCoreContext(why);
    return 0;
}
#endif

void askForCoreContext() {
    glutInitContextVersion(3, 3);
    glutInitContextProfile(GLUT_CORE_PROFILE);
    glutInitErrorFunc(glutFailed);
#ifdef USE_X11
    XSetErrorHandler(xFailed);
#endif
}

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
    litMaterial = lesson->scene != SCENE_PLAIN;
    TGACoreProfile = true;
}

std::string lessonFile(const char* fileName, bool core) {
    return core ? std::string("core/") + fileName : fileName;
}

void coreProjection(int w, int h) {
    if (h == 0) h = 1;
    glViewport(0, 0, w, h);
    projectionMatrix = perspective(45.0f, (float)w / (float)h, 1.0f, 1000.0f);
}

// The uniforms the core pairs read, in the order coreUniforms sets them.
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
static const char* const uniformNames[UNIFORMS] = {
    "modelViewProjection", "normalMatrix", "lightPosition", "sceneAmbient",
    "lightAmbient",        "lightDiffuse", "lightSpecular", "materialSpecular",
    "materialShininess",   "surfaceColour"};

// Where the current program keeps each uniform (-1 for one it lacks, which
// glUniform then skips).
static const GLint* locations() {
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

void coreUniforms(const Mat4& modelView, const float lightEye[4]) {
    // OpenGL's defaults for light 0 and the scene, as the built-in lessons get them.
    static const GLfloat sceneAmbient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    static const GLfloat black[] = {0.0f, 0.0f, 0.0f, 1.0f};
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const GLfloat pink[] = {1.0f, 0.5f, 0.5f, 1.0f};  // glColor3f(1.0, 0.5, 0.5)
    Mat4 mvp = multiply(projectionMatrix, modelView);
    float normal[9];
    normalMatrix(modelView, normal);
    const GLint* at = locations();
    glUniformMatrix4fv(at[MVP], 1, GL_FALSE, mvp.m);
    glUniformMatrix3fv(at[NORMAL_MATRIX], 1, GL_FALSE, normal);
    glUniform4fv(at[LIGHT_POSITION], 1, lightEye);
    glUniform4fv(at[SCENE_AMBIENT], 1, sceneAmbient);
    glUniform4fv(at[LIGHT_AMBIENT], 1, black);
    glUniform4fv(at[LIGHT_DIFFUSE], 1, white);
    glUniform4fv(at[LIGHT_SPECULAR], 1, white);
    glUniform4fv(at[MATERIAL_SPECULAR], 1, litMaterial ? mat_specular : black);
    glUniform1f(at[MATERIAL_SHININESS], litMaterial ? mat_shininess[0] : 0.0f);
    glUniform4fv(at[SURFACE_COLOUR], 1, pink);
}

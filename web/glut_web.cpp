// What the browser's GLUT and GLEW (emscripten's) lack and the lessons call.
// The page runs every lesson in the core profile on WebGL 2 (OpenGL ES 3.0):
// the teapot is GLUT's own, drawn from buffers through the attribute
// locations the lesson gives. OpenGL's fixed-function calls are not here:
// the page is built without the desktop's OpenGL 2.0 way of drawing.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "teapot.h"

static GLint positionAt = -1, normalAt = -1, texCoordAt = -1;

void glutSetVertexAttribCoord3(GLint attrib) { positionAt = attrib; }
void glutSetVertexAttribNormal(GLint attrib) { normalAt = attrib; }
void glutSetVertexAttribTexCoord2(GLint attrib) { texCoordAt = attrib; }

// The context is WebGL 2, asked for when the page is built.
void glutInitContextVersion(int, int) {}
void glutInitContextProfile(int) {}
void glutInitErrorFunc(void (*)(const char*, va_list)) {}

// GLUT's loop on the page is the browser's: the lesson lives on its
// callbacks from here on, until Escape ends it (emscripten_force_exit). A
// lesson that fails before this point ends, and the page says with what
// status. The window's first reshape, which draws the first frame as on the
// desktop, comes with the browser's first animation frame.
static EM_BOOL firstFrame(double, void*) {
    glutReshapeWindow(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    return EM_FALSE;
}

void glutMainLoop() {
    emscripten_request_animation_frame(firstFrame, NULL);
    emscripten_exit_with_live_runtime();
}

// The page shows the title above the picture.
void glutSetWindowTitle(const char* title) {
    EM_ASM({ document.title = UTF8ToString($0); }, title);
}

// GLEW's version names: WebGL 2 does what OpenGL 2.0 and 3.3's core profile
// do for these lessons; a context that is not WebGL 2 never gets this far.
GLboolean glewIsSupported(const char* name) {
    if (!emscripten_webgl_get_current_context()) return GL_FALSE;  // the browser gave none
    return strncmp(name, "GL_VERSION_", 11) == 0 && strcmp(name, "GL_VERSION_3_4") < 0;
}

// The teapot's buffers: positions, normals and texture coordinates one after
// the other, then the triangles; filled again when the size asked for changes.
static GLuint vertices = 0, triangles = 0;
static GLsizeiptr normalsAt, texCoordsAt;
static GLsizei indices;

static void upload(const TeapotMesh& mesh) {
    const GLsizeiptr p = mesh.positions.size() * sizeof(float),
                     t = mesh.texCoords.size() * sizeof(float);
    if (!vertices) {
        glGenBuffers(1, &vertices);
        glGenBuffers(1, &triangles);
    }
    glBindBuffer(GL_ARRAY_BUFFER, vertices);
    glBufferData(GL_ARRAY_BUFFER, 2 * p + t, NULL, GL_STATIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, p, mesh.positions.data());
    glBufferSubData(GL_ARRAY_BUFFER, p, p, mesh.normals.data());
    glBufferSubData(GL_ARRAY_BUFFER, 2 * p, t, mesh.texCoords.data());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, triangles);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, mesh.triangles.size() * sizeof(unsigned short),
                 mesh.triangles.data(), GL_STATIC_DRAW);
    normalsAt = p;
    texCoordsAt = 2 * p;
    indices = (GLsizei)mesh.triangles.size();
}

void glutSolidTeapot(GLdouble size) {
    static float made = 0;
    if (made != (float)size) upload(teapotMesh(made = (float)size));
    glBindBuffer(GL_ARRAY_BUFFER, vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, triangles);
    const struct {
        GLint at, size;
        GLsizeiptr offset;
    } attributes[] = {{positionAt, 3, 0}, {normalAt, 3, normalsAt}, {texCoordAt, 2, texCoordsAt}};
    for (const auto& a : attributes) {
        if (a.at < 0) continue;
        glEnableVertexAttribArray((GLuint)a.at);
        glVertexAttribPointer((GLuint)a.at, a.size, GL_FLOAT, GL_FALSE, 0, (const void*)a.offset);
    }
    glDrawElements(GL_TRIANGLES, indices, GL_UNSIGNED_SHORT, 0);
}

// What <GL/freeglut.h> holds for the web page (the build writes a
// GL/freeglut.h that includes this file): the browser's GLUT (emscripten's)
// has freeglut's standard part, and glut_web.cpp gives the few freeglut
// additions the lessons call.
#pragma once

#include <GL/freeglut_std.h>
#include <stdarg.h>

#define GLUT_CORE_PROFILE 0x0001

void glutInitContextVersion(int major, int minor);
void glutInitContextProfile(int profile);
void glutInitErrorFunc(void (*callback)(const char* format, va_list args));
void glutSetVertexAttribCoord3(GLint attrib);
void glutSetVertexAttribNormal(GLint attrib);
void glutSetVertexAttribTexCoord2(GLint attrib);

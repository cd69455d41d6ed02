// Reading GLSL source files and building the lesson's shader program.
#pragma once

#include <GL/glew.h>

extern GLuint shaderVert;
extern GLuint shaderFrag;
extern GLuint shaderProg;

// Reads a whole file into a new NUL-terminated buffer from malloc; the caller
// frees it. Returns null when the file cannot be read or is no regular file
// (a folder, a FIFO, a device). Prints nothing.
char* loadTextFile(const char* fileName);

// Compiles, links and installs the program from a vertex and a fragment
// shader file. Returns only on success; otherwise reports and ends the process.
void setupShaders(char* fileVert, char* fileFrag);

// Returns only when the shader compiled; otherwise reports and ends the process.
void checkErrors(GLuint object);

// Returns only when the program linked; otherwise reports and ends the process.
void checkLink(GLuint program);

// Builds a program from a vertex and a fragment shader file without ending the
// process: the linked program (not installed), or 0 after saying on standard
// error which file failed to compile, or that the pair did not link, with the
// compiler's log. For shaders loaded while a lesson runs, and offline checks.
// With `report` false it says nothing.
GLuint buildProgram(const char* fileVert, const char* fileFrag, bool report = true);

// Points the samplers tex0 and tex1 of the installed program at texture units
// 0 and 1. A sampler the shaders do not declare is simply skipped by OpenGL.
void bindSamplers();

// Draws with `program` from now on (a pair built while the lesson runs): it
// becomes shaderProg, with its samplers bound when the lesson has textures.
void installProgram(GLuint program, bool samplers);

// Reading GLSL source files and building the lesson's shader program.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

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

// One thing the compiler or the linker said, as data.
struct Diagnostic {
    std::string file;     // the shader's file ("" for the linker)
    std::string stage;    // "vertex", "fragment", or "link"
    int line;             // the line of the file it points at, from 1; 0 for none
    std::string message;  // what it says, without its place
};

// How a build from text went: whether it linked, and every diagnostic.
struct BuildReport {
    bool built = false;
    std::vector<Diagnostic> diagnostics;
};

// Builds a program from two shaders' text in memory (named `fileVert` and
// `fileFrag` in the report), saying nothing: the linked program (not
// installed), or 0 with the reasons in `report`. For the web page's editor.
GLuint buildProgramFromText(const char* fileVert, const char* textVert, const char* fileFrag,
                            const char* textFrag, BuildReport* report);

// A compiler's or linker's log as diagnostics, one per line of the log
// (Mesa's "0:LINE(COLUMN): ...", ANGLE's "ERROR: 0:LINE: ...", NVIDIA's
// "0(LINE) : ..."; a line without a place has line 0).
void readLog(const char* log, const std::string& file, const char* stage,
             std::vector<Diagnostic>& into);

// Points the samplers tex0 and tex1 of the installed program at texture units
// 0 and 1. A sampler the shaders do not declare is simply skipped by OpenGL.
void bindSamplers();

// Draws with `program` from now on (a pair built while the lesson runs): it
// becomes shaderProg, with its samplers bound when the lesson has textures.
void installProgram(GLuint program, bool samplers);

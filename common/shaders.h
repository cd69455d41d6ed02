// Reading GLSL source files and building a pair of shaders into a program:
// one way for the lesson's start-up, a save, an editor's text and a check,
// whose outcome comes back as data for the front ends to show.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include "file_status.h"

// Reads a whole file into a new NUL-terminated buffer from malloc; the caller
// frees it. Returns null when the file cannot be read or is no regular file
// (a folder, a FIFO, a device). Prints nothing.
char* loadTextFile(const char* fileName);

// One thing the compiler or the linker said, as data.
struct Diagnostic {
    std::string file;     // the shader's file ("" for the linker)
    std::string stage;    // "vertex", "fragment", or "link"
    int line;             // the line of the file it points at, from 1; 0 for none
    std::string message;  // what it says, without its place
};

// How building a pair went. Either shader's file may be unreadable (the
// vertex shader's is read first, and the fragment shader's only after it),
// either may fail to compile, and two that compile may not link; the
// compiler's and the linker's logs come as the driver gives them and as
// diagnostics, every one of both stages.
struct BuildReport {
    enum Outcome { BUILT, UNREADABLE, NOT_COMPILED, NOT_LINKED };
    Outcome outcome = UNREADABLE;
    bool built = false;
    GLuint program = 0;         // the linked program, or 0
    GLuint vert = 0, frag = 0;  // the shader objects, kept only at start-up
    std::string fileVert, fileFrag;
    // The versions of the files read, as they were just before reading
    // (a save that lands during the build differs from them); gone() for
    // text given in memory, and for a file not read.
    FileStamp stampVert, stampFrag;
    // What failed first, vertex shader before fragment shader before the
    // link: its file ("" for the link), stage and log.
    std::string failedFile;
    const char* failedStage = "";
    std::string log;
    std::vector<Diagnostic> diagnostics;
    std::string textVert, textFrag;  // the texts built (not kept at start-up)
};

// A pair's two shaders: each named by its file and read from it, or given
// as text (then the file only names it).
struct PairSource {
    std::string fileVert, fileFrag;
    const char* textVert = nullptr;
    const char* textFrag = nullptr;
};

// Builds the pair: both shader objects first, then each text (read from its
// file when none is given), both compiled, linked, and only then the results
// looked at. At start-up the program is installed at once and every object
// lives as long as the lesson; otherwise the shader objects go with the
// program, and a program that did not build goes at once. Prints nothing.
BuildReport buildPair(const PairSource& source, bool atStartUp);

// Where the shader in `file` is written for the other way of drawing than
// `core` says (a GLSL 1.10 shader for the core profile, a core one for
// OpenGL 2.0's state): one sentence saying so and what to do; otherwise "".
std::string otherDialect(const std::string& file, bool core);

// The pair of two files built quietly: the linked program, or 0.
GLuint buildProgram(const char* fileVert, const char* fileFrag);

// A compiler's or linker's log as diagnostics, one per line of the log
// (Mesa's "0:LINE(COLUMN): ...", ANGLE's "ERROR: 0:LINE: ...", NVIDIA's
// "0(LINE) : ..."; a line without a place has line 0).
void readLog(const char* log, const std::string& file, const char* stage,
             std::vector<Diagnostic>& into);

// The names of `program`'s active uniforms that `wanted` picks (by name and
// type): its samplers, say, or what it reads of the light.
std::vector<std::string> uniformsOf(GLuint program, bool (*wanted)(const char* name, GLenum type));

// Points the samplers tex0 and tex1 of `program` at texture units 0 and 1;
// `program` is installed afterwards. A sampler the shaders do not declare
// is simply skipped by OpenGL.
void bindSamplers(GLuint program);

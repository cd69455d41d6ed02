// Reading GLSL source files and building the lesson's shader program.
#include "shaders.h"

#include <stdio.h>
#include <stdlib.h>

#include "advice.h"
#include "filekind.h"

GLuint shaderVert;
GLuint shaderFrag;
GLuint shaderProg;
GLint loc;  // the uniform location looked up last

char* loadTextFile(const char* fileName) {
    // A FIFO would hold the lesson in fopen until something writes to it; a
    // folder or a device is no shader either. Only regular files are read.
    if (*notAFile(fileName)) return NULL;
    FILE* file = fopen(fileName, "rb");
    if (!file) return NULL;

    char* buff = NULL;
    long fSize = -1;
    if (fseek(file, 0, SEEK_END) == 0) {
        fSize = ftell(file);
        if (fseek(file, 0, SEEK_SET) != 0) fSize = -1;
    }
    if (fSize >= 0) buff = (char*)malloc((size_t)fSize + 1);
    if (buff) {
        // A file that shrank since ftell gives fewer bytes: end the text there.
        size_t got = fread(buff, 1, (size_t)fSize, file);
        buff[got] = '\0';
        if (ferror(file)) {
            free(buff);
            buff = NULL;
        }
    }
    fclose(file);
    return buff;
}

// Writes an object's info log on its own line: with puts on standard output
// (the lesson's report), or on `to`. An empty log, or one whose buffer cannot
// be had, gives an empty line.
typedef void(GLAPIENTRY* GetIv)(GLuint, GLenum, GLint*);
typedef void(GLAPIENTRY* GetLog)(GLuint, GLsizei, GLsizei*, GLchar*);

static void printInfoLog(GLuint object, GetIv getIv, GetLog getLog, FILE* to = stdout) {
    GLint logLen = 0;
    getIv(object, GL_INFO_LOG_LENGTH, &logLen);
    char* buff = logLen > 0 ? (char*)malloc((size_t)logLen) : NULL;
    if (buff) {
        buff[0] = '\0';
        getLog(object, logLen, NULL, buff);
        buff[logLen - 1] = '\0';
    }
    if (to == stdout)
        puts(buff ? buff : "");
    else
        fprintf(to, "%s\n", buff ? buff : "");
    free(buff);
}

// How a pair that does not build ends. At start-up the lesson reports on
// standard output and ends (setupShaders); while it runs, explore mode gets
// the report on standard error and goes on, or, quiet, no report at all.
enum Failure { END_LESSON, REPORT, QUIET };

// The files of the pair being built, for the advice after a failure.
static const char* nameVert = "";
static const char* nameFrag = "";

// Whether `object` compiled; otherwise the failure is reported as `failure` says.
static bool compiled(GLuint object, const char* stage, const char* fileName, Failure failure) {
    GLint res = 0;
    glGetShaderiv(object, GL_COMPILE_STATUS, &res);
    if (res || failure == QUIET) return res != 0;
    if (failure == END_LESSON) {
        puts("GL_COMPILE_STATUS ERROR!");
        printInfoLog(object, glGetShaderiv, glGetShaderInfoLog);
    } else {
        fprintf(stderr, "%s: the %s shader did not compile:\n", fileName, stage);
        printInfoLog(object, glGetShaderiv, glGetShaderInfoLog, stderr);
    }
    adviseCompile(stage, fileName);
    if (failure == END_LESSON) exit(1);
    return false;
}

static bool linked(GLuint program, Failure failure) {
    GLint res = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &res);
    if (res || failure == QUIET) return res != 0;
    if (failure == END_LESSON) {
        puts("GL_LINK_STATUS ERROR!");
        printInfoLog(program, glGetProgramiv, glGetProgramInfoLog);
    } else {
        fprintf(stderr, "%s + %s: the program did not link:\n", nameVert, nameFrag);
        printInfoLog(program, glGetProgramiv, glGetProgramInfoLog, stderr);
    }
    adviseLink(nameVert, nameFrag);
    if (failure == END_LESSON) exit(1);
    return false;
}

void checkErrors(GLuint object) {
    if (object == shaderVert)
        compiled(object, "vertex", nameVert, END_LESSON);
    else
        compiled(object, "fragment", nameFrag, END_LESSON);
}

void checkLink(GLuint program) { linked(program, END_LESSON); }

// A shader file's text, or null when it cannot be read: at start-up, the
// lesson's message, and the end (`held`, the other text read so far, freed).
static char* readSource(const char* fileName, const char* stage, const char* message,
                        Failure failure, char* held = NULL) {
    char* text = loadTextFile(fileName);
    if (text || failure == QUIET) return text;
    if (failure == END_LESSON) puts(message);
    adviseShaderFile(stage, fileName);
    if (failure == END_LESSON) {
        free(held);
        exit(1);
    }
    return NULL;
}

// The one way a pair is built, at start-up and while the lesson runs: both
// shader objects, both sources, both compiled, linked; the results looked at
// only then, vertex shader first (a broken vertex shader is the one
// reported even when both are broken). Returns the program, or 0.
static GLuint buildPair(const char* fileVert, const char* fileFrag, Failure failure, GLuint* vert,
                        GLuint* frag) {
    // Both objects exist before either file is read.
    *vert = glCreateShader(GL_VERTEX_SHADER);
    *frag = glCreateShader(GL_FRAGMENT_SHADER);
    nameVert = fileVert;
    nameFrag = fileFrag;
    char* strVert = readSource(fileVert, "vertex", "** Błąd ładowania pliku *.vert", failure);
    char* strFrag = strVert ? readSource(fileFrag, "fragment", "** Błąd ładowania pliku *.frag",
                                         failure, strVert)
                            : NULL;
    if (!strFrag) {  // at start-up the lesson has ended already
        free(strVert);
        glDeleteShader(*vert);
        glDeleteShader(*frag);
        return 0;
    }

    // One NUL-terminated string per shader; OpenGL keeps its own copy.
    glShaderSource(*vert, 1, (const GLchar**)&strVert, NULL);
    glShaderSource(*frag, 1, (const GLchar**)&strFrag, NULL);
    free(strVert);
    free(strFrag);

    glCompileShader(*vert);
    glCompileShader(*frag);

    GLuint program = glCreateProgram();
    glAttachShader(program, *vert);
    glAttachShader(program, *frag);
    glLinkProgram(program);
    if (failure == END_LESSON) glUseProgram(program);

    bool ok = compiled(*vert, "vertex", fileVert, failure) &&
              compiled(*frag, "fragment", fileFrag, failure) && linked(program, failure);
    if (failure == END_LESSON) return program;  // the lesson's objects live as long as it does
    // Attached shaders live on with their program; the rest go now.
    glDeleteShader(*vert);
    glDeleteShader(*frag);
    if (ok) return program;
    glDeleteProgram(program);
    return 0;
}

void setupShaders(char* fileVert, char* fileFrag) {
    shaderProg = buildPair(fileVert, fileFrag, END_LESSON, &shaderVert, &shaderFrag);
}

void bindSamplers() {
    loc = glGetUniformLocation(shaderProg, "tex0");
    glUniform1i(loc, 0);
    loc = glGetUniformLocation(shaderProg, "tex1");
    glUniform1i(loc, 1);
}

GLuint buildProgram(const char* fileVert, const char* fileFrag, bool report) {
    GLuint vert, frag;
    return buildPair(fileVert, fileFrag, report ? REPORT : QUIET, &vert, &frag);
}

void installProgram(GLuint program, bool samplers) {
    glUseProgram(program);
    shaderProg = program;
    if (samplers) bindSamplers();
}

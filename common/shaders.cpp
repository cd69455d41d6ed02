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

// The files the shaders came from, for the advice after a failure.
static const char* nameVert = "";
static const char* nameFrag = "";

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

void checkErrors(GLuint object) {
    GLint res = 0;
    glGetShaderiv(object, GL_COMPILE_STATUS, &res);
    if (res) return;
    puts("GL_COMPILE_STATUS ERROR!");
    printInfoLog(object, glGetShaderiv, glGetShaderInfoLog);
    if (object == shaderVert)
        adviseCompile("vertex", nameVert);
    else
        adviseCompile("fragment", nameFrag);
    exit(1);
}

void checkLink(GLuint program) {
    GLint res = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &res);
    if (res) return;
    puts("GL_LINK_STATUS ERROR!");
    printInfoLog(program, glGetProgramiv, glGetProgramInfoLog);
    adviseLink(nameVert, nameFrag);
    exit(1);
}

void setupShaders(char* fileVert, char* fileFrag) {
    // Both objects exist before either file is read.
    shaderVert = glCreateShader(GL_VERTEX_SHADER);
    shaderFrag = glCreateShader(GL_FRAGMENT_SHADER);

    nameVert = fileVert;
    nameFrag = fileFrag;
    char* strVert = loadTextFile(fileVert);
    if (!strVert) {
        puts("** Błąd ładowania pliku *.vert");
        adviseShaderFile("vertex", fileVert);
        exit(1);
    }
    char* strFrag = loadTextFile(fileFrag);
    if (!strFrag) {
        puts("** Błąd ładowania pliku *.frag");
        adviseShaderFile("fragment", fileFrag);
        free(strVert);
        exit(1);
    }

    // One NUL-terminated string per shader; OpenGL keeps its own copy.
    glShaderSource(shaderVert, 1, (const GLchar**)&strVert, NULL);
    glShaderSource(shaderFrag, 1, (const GLchar**)&strFrag, NULL);
    free(strVert);
    free(strFrag);

    glCompileShader(shaderVert);
    glCompileShader(shaderFrag);

    shaderProg = glCreateProgram();
    glAttachShader(shaderProg, shaderVert);
    glAttachShader(shaderProg, shaderFrag);
    glLinkProgram(shaderProg);
    glUseProgram(shaderProg);

    // Results are looked at only now, vertex shader first: a broken vertex
    // shader is the one reported even when both are broken.
    checkErrors(shaderVert);
    checkErrors(shaderFrag);
    checkLink(shaderProg);
}

void bindSamplers() {
    loc = glGetUniformLocation(shaderProg, "tex0");
    glUniform1i(loc, 0);
    loc = glGetUniformLocation(shaderProg, "tex1");
    glUniform1i(loc, 1);
}

// One shader of a pair built while the lesson runs: null after saying on
// standard error which file failed, at which stage, and the compiler's log.
static GLuint compileFile(GLenum type, const char* fileName, const char* stage, bool report) {
    char* text = loadTextFile(fileName);
    if (!text) {
        if (report) adviseShaderFile(stage, fileName);
        return 0;
    }
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, (const GLchar**)&text, NULL);
    free(text);
    glCompileShader(shader);
    GLint res = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &res);
    if (res) return shader;
    if (report) {
        fprintf(stderr, "%s: the %s shader did not compile:\n", fileName, stage);
        printInfoLog(shader, glGetShaderiv, glGetShaderInfoLog, stderr);
        adviseCompile(stage, fileName);
    }
    glDeleteShader(shader);
    return 0;
}

GLuint buildProgram(const char* fileVert, const char* fileFrag, bool report) {
    GLuint vert = compileFile(GL_VERTEX_SHADER, fileVert, "vertex", report);
    GLuint frag = compileFile(GL_FRAGMENT_SHADER, fileFrag, "fragment", report);
    GLuint program = 0;
    if (vert && frag) {
        program = glCreateProgram();
        glAttachShader(program, vert);
        glAttachShader(program, frag);
        glLinkProgram(program);
        GLint res = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &res);
        if (!res && report) {
            fprintf(stderr, "%s + %s: the program did not link:\n", fileVert, fileFrag);
            printInfoLog(program, glGetProgramiv, glGetProgramInfoLog, stderr);
            adviseLink(fileVert, fileFrag);
        }
        if (!res) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    // Attached shaders live on with their program; the rest go now.
    if (vert) glDeleteShader(vert);
    if (frag) glDeleteShader(frag);
    return program;
}

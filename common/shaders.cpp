// Reading GLSL source files and building the lesson's shader program.
#include "shaders.h"

#include <stdio.h>
#include <ctype.h>
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

// An object's info log: in a buffer from malloc, freed here, as the lesson
// obtains it; "" when it is empty or its buffer cannot be had.
typedef void(GLAPIENTRY* GetIv)(GLuint, GLenum, GLint*);
typedef void(GLAPIENTRY* GetLog)(GLuint, GLsizei, GLsizei*, GLchar*);

static std::string infoLog(GLuint object, GetIv getIv, GetLog getLog) {
    GLint logLen = 0;
    getIv(object, GL_INFO_LOG_LENGTH, &logLen);
    char* buff = logLen > 0 ? (char*)malloc((size_t)logLen) : NULL;
    if (!buff) return "";
    buff[0] = '\0';
    getLog(object, logLen, NULL, buff);
    buff[logLen - 1] = '\0';
    std::string log = buff;
    free(buff);
    return log;
}

// How a pair that does not build ends. At start-up the lesson reports on
// standard output and ends (setupShaders); while it runs, explore mode gets
// the report on standard error and goes on, or, quiet, no report at all.
enum Failure { END_LESSON, REPORT, QUIET };

// The pair being built: its files, for the reports and the advice.
static struct {
    const char* vert = "";
    const char* frag = "";
} pair;

// A shader that did not compile, or a pair that did not link: the lesson's
// line and the log on standard output, or, while it runs, on standard error
// with the file, then the advice. At start-up the lesson ends.
static void reportFailure(Failure failure, const char* lessonLine, const std::string& live,
                          const std::string& log, void (*advice)()) {
    if (failure == END_LESSON) {
        puts(lessonLine);
        puts(log.c_str());
    } else {
        fprintf(stderr, "%s\n%s\n", live.c_str(), log.c_str());
    }
    advice();
    if (failure == END_LESSON) exit(1);
}

// Whether `object` compiled; otherwise the failure is reported as `failure` says.
static bool compiled(GLuint object, bool vertex, Failure failure) {
    GLint res = 0;
    glGetShaderiv(object, GL_COMPILE_STATUS, &res);
    if (res || failure == QUIET) return res != 0;
    const char* file = vertex ? pair.vert : pair.frag;
    std::string live = std::string(file) + ": the " + (vertex ? "vertex" : "fragment") +
                       " shader did not compile:";
    reportFailure(
        failure, "GL_COMPILE_STATUS ERROR!", live,
        infoLog(object, glGetShaderiv, glGetShaderInfoLog),
        vertex ? +[] { adviseCompile("vertex", pair.vert); }
               : +[] { adviseCompile("fragment", pair.frag); });
    return false;
}

static bool linked(GLuint program, Failure failure) {
    GLint res = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &res);
    if (res || failure == QUIET) return res != 0;
    std::string live = std::string(pair.vert) + " + " + pair.frag + ": the program did not link:";
    reportFailure(failure, "GL_LINK_STATUS ERROR!", live,
                  infoLog(program, glGetProgramiv, glGetProgramInfoLog),
                  [] { adviseLink(pair.vert, pair.frag); });
    return false;
}

void checkErrors(GLuint object) { compiled(object, object == shaderVert, END_LESSON); }

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

// Both shaders compiled from their text and linked into a new program; the
// results are looked at afterwards. OpenGL keeps its own copy of the text.
static GLuint compileAndLink(GLuint vert, GLuint frag, const char* strVert, const char* strFrag,
                             bool install) {
    glShaderSource(vert, 1, (const GLchar**)&strVert, NULL);
    glShaderSource(frag, 1, (const GLchar**)&strFrag, NULL);
    glCompileShader(vert);
    glCompileShader(frag);

    GLuint program = glCreateProgram();
    glAttachShader(program, vert);
    glAttachShader(program, frag);
    glLinkProgram(program);
    if (install) glUseProgram(program);
    return program;
}

// A program built while the lesson runs: its shaders live on attached to it
// and go with it; a program that did not build goes now.
static GLuint keepIfBuilt(GLuint program, GLuint vert, GLuint frag, bool ok) {
    glDeleteShader(vert);
    glDeleteShader(frag);
    if (ok) return program;
    if (program) glDeleteProgram(program);
    return 0;
}

// The one way a pair is built from its files, at start-up and while the
// lesson runs: both shader objects, both sources, both compiled, linked; the
// results looked at only then, vertex shader first (a broken vertex shader
// is the one reported even when both are broken). Returns the program, or 0.
static GLuint buildPair(const char* fileVert, const char* fileFrag, Failure failure, GLuint* vert,
                        GLuint* frag) {
    // Both objects exist before either file is read.
    *vert = glCreateShader(GL_VERTEX_SHADER);
    *frag = glCreateShader(GL_FRAGMENT_SHADER);
    pair.vert = fileVert;
    pair.frag = fileFrag;
    char* strVert = readSource(fileVert, "vertex", "** Błąd ładowania pliku *.vert", failure);
    char* strFrag = strVert ? readSource(fileFrag, "fragment", "** Błąd ładowania pliku *.frag",
                                         failure, strVert)
                            : NULL;
    if (!strFrag) {  // at start-up the lesson has ended already
        free(strVert);
        return keepIfBuilt(0, *vert, *frag, false);
    }
    GLuint program = compileAndLink(*vert, *frag, strVert, strFrag, failure == END_LESSON);
    free(strVert);
    free(strFrag);

    bool ok = compiled(*vert, true, failure) && compiled(*frag, false, failure) &&
              linked(program, failure);
    if (failure == END_LESSON) return program;  // the lesson's objects live as long as it does
    return keepIfBuilt(program, *vert, *frag, ok);
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

// Where a log line names its place: "0:LINE(", "0:LINE:" or "0(LINE)".
static int lineOf(const std::string& text, size_t* rest) {
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] != '0' || (i > 0 && isalnum((unsigned char)text[i - 1]))) continue;
        char open = text[i + 1];
        if (open != ':' && open != '(') continue;
        size_t j = i + 2;
        int line = 0;
        while (j < text.size() && isdigit((unsigned char)text[j]))
            line = line * 10 + (text[j++] - '0');
        if (j == i + 2 || j >= text.size()) continue;
        bool closed = open == ':' ? (text[j] == '(' || text[j] == ':') : text[j] == ')';
        if (!closed) continue;
        if (text[j] == '(') j = text.find(')', j);  // the column
        if (j == std::string::npos) continue;
        j = text.find_first_not_of(" :", j + 1);
        *rest = j == std::string::npos ? text.size() : j;
        return line;
    }
    return 0;
}

void readLog(const char* log, const std::string& file, const char* stage,
             std::vector<Diagnostic>& into) {
    std::string all = log;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        std::string text = all.substr(start, end - start);
        start = end + 1;
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
        if (text.empty() || text[0] == '\0') continue;
        size_t rest = 0;
        int line = lineOf(text, &rest);
        into.push_back({file, stage, line, line ? text.substr(rest) : text});
    }
}

GLuint buildProgramFromText(const char* fileVert, const char* textVert, const char* fileFrag,
                            const char* textFrag, BuildReport* report) {
    GLuint vert = glCreateShader(GL_VERTEX_SHADER), frag = glCreateShader(GL_FRAGMENT_SHADER);
    GLuint program = compileAndLink(vert, frag, textVert, textFrag, false);
    report->diagnostics.clear();
    const struct {
        GLuint object;
        const char* file;
        const char* stage;
    } stages[] = {{vert, fileVert, "vertex"}, {frag, fileFrag, "fragment"}};
    bool compiledBoth = true;
    for (const auto& s : stages) {
        GLint res = 0;
        glGetShaderiv(s.object, GL_COMPILE_STATUS, &res);
        if (res) continue;
        compiledBoth = false;
        std::string log = infoLog(s.object, glGetShaderiv, glGetShaderInfoLog);
        size_t before = report->diagnostics.size();
        readLog(log.c_str(), s.file, s.stage, report->diagnostics);
        if (report->diagnostics.size() == before)  // a driver that says nothing
            report->diagnostics.push_back({s.file, s.stage, 0, "did not compile"});
    }
    GLint res = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &res);
    report->built = compiledBoth && res;
    if (compiledBoth && !res) {
        std::string log = infoLog(program, glGetProgramiv, glGetProgramInfoLog);
        readLog(log.c_str(), "", "link", report->diagnostics);
        if (report->diagnostics.empty())
            report->diagnostics.push_back({"", "link", 0, "the pair did not link"});
    }
    return keepIfBuilt(program, vert, frag, report->built);
}

void installProgram(GLuint program, bool samplers) {
    glUseProgram(program);
    shaderProg = program;
    if (samplers) bindSamplers();
}

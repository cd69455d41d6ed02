// Reading GLSL source files and building a pair into a program (see shaders.h).
#include "shaders.h"

#include <stdio.h>
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <iterator>

#include "file_status.h"
#include "json.h"

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
        // A UTF-8 byte-order mark (editors on Windows write one) is no GLSL.
        if (got >= 3 && memcmp(buff, "\xef\xbb\xbf", 3) == 0) memmove(buff, buff + 3, got - 2);
        if (ferror(file)) {
            free(buff);
            buff = NULL;
        }
    }
    fclose(file);
    return buff;
}

std::string otherDialect(const std::string& file, bool core) {
    char* text = loadTextFile(file.c_str());
    if (!text) return "";
    // The first #version, as the compiler reads it (none: GLSL 1.10).
    int version = 110;
    const char* p = text;
    while ((p = strstr(p, "#version")) != NULL) {
        const char* line = p;
        while (line > text && (line[-1] == ' ' || line[-1] == '\t')) --line;
        if (line == text || line[-1] == '\n') {
            version = atoi(p + 8);
            break;
        }
        p += 8;
    }
    free(text);
    char glsl[32];
    snprintf(glsl, sizeof glsl, "GLSL %d.%02d", version / 100, version % 100);
    if (core && version < 140)
        return file + " is " + glsl + ", for OpenGL 2.0's built-in state: check it without --core.";
    if (!core && version >= 140)
        return file + " is " + glsl + ", for the core profile: check it with --core.";
    return "";
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

// One stage's outcome into the report: whether it compiled, and if not its
// log as the driver gives it and as diagnostics.
static bool compiled(GLuint object, const std::string& file, const char* stage,
                     BuildReport& report) {
    GLint res = 0;
    glGetShaderiv(object, GL_COMPILE_STATUS, &res);
    if (res) return true;
    std::string log = infoLog(object, glGetShaderiv, glGetShaderInfoLog);
    size_t before = report.diagnostics.size();
    readLog(log.c_str(), file, stage, report.diagnostics);
    if (report.diagnostics.size() == before)  // a driver that says nothing
        report.diagnostics.push_back({file, stage, 0, "did not compile"});
    if (report.outcome == BuildReport::BUILT) {  // the first failure is the one told
        report.outcome = BuildReport::NOT_COMPILED;
        report.failedFile = file;
        report.failedStage = stage;
        report.log = log;
    }
    return false;
}

// A shader's text: the one given, or its file's, read into a buffer from
// malloc that the caller frees (null when the file cannot be read).
static char* sourceText(const std::string& file, const char* given) {
    if (!given) return loadTextFile(file.c_str());
    size_t size = strlen(given) + 1;
    char* text = (char*)malloc(size);
    if (text) memcpy(text, given, size);
    return text;
}

// A shader's text with its comments blanked out (newlines kept, so lines
// still count) and every parenthesised group dropped outside functions
// (layout(location = 0)), for reading its declarations.
static std::string declarationsOf(const std::string& text) {
    std::string out;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "//") == 0) {
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (text.compare(i, 2, "/*") == 0) {
            size_t end = text.find("*/", i + 2);
            end = end == std::string::npos ? text.size() : end + 2;
            for (; i < end; ++i)
                if (text[i] == '\n') out += '\n';
            --i;
            continue;
        }
        if (i >= text.size()) break;
        char c = text[i];
        if (c == '{') ++depth;
        if (c == '}') --depth;
        out += depth > 0 && c != '\n' ? ' ' : c;  // only the global declarations
    }
    for (size_t open = out.find('('); open != std::string::npos; open = out.find('(', open)) {
        size_t close = out.find(')', open);
        if (close == std::string::npos) break;
        for (size_t k = open; k <= close; ++k)
            if (out[k] != '\n') out[k] = ' ';
    }
    return out;
}

// The names a shader declares at global scope with `qualifier` (in, out,
// varying), each with the line it is on.
static std::vector<std::pair<std::string, int>> declared(const std::string& text,
                                                         const char* qualifier) {
    std::vector<std::pair<std::string, int>> names;
    std::string plain = declarationsOf(text);
    int line = 1;
    size_t start = 0;
    for (size_t i = 0; i <= plain.size(); ++i) {
        if (i < plain.size() && plain[i] != ';') continue;
        std::string statement = plain.substr(start, i - start);
        int at = line;
        for (size_t k = 0; k < statement.size() && isspace((unsigned char)statement[k]); ++k)
            if (statement[k] == '\n') ++at;
        for (char c : statement) line += c == '\n';
        start = i + 1;
        std::vector<std::string> words;
        std::string word;
        for (char c : statement + " ") {
            if (isalnum((unsigned char)c) || c == '_') {
                word += c;
            } else {
                if (!word.empty()) words.push_back(word);
                word.clear();
                if (c == ',') words.push_back(",");
            }
        }
        size_t q = 0;
        while (q < words.size() && words[q] != qualifier) ++q;
        if (q >= words.size()) continue;
        // After the qualifier: more qualifiers, the type, then the names.
        static const char* const more[] = {"flat",      "smooth", "noperspective", "centroid",
                                           "invariant", "highp",  "mediump",       "lowp"};
        size_t k = q + 1;
        while (k < words.size() &&
               std::find(std::begin(more), std::end(more), words[k]) != std::end(more))
            ++k;
        for (++k; k < words.size(); ++k)
            if (words[k] != "," && !isdigit((unsigned char)words[k][0]))
                names.push_back({words[k], at});
    }
    return names;
}

// What the fragment shader takes in that the vertex shader never sends out,
// said at its line: some drivers link such a pair without a word, and the
// input then reads nothing. Whether every input has its output.
static bool interfaceFits(const std::string& vert, const std::string& frag,
                          const std::string& fileFrag, BuildReport& report) {
    bool core = frag.find("#version 3") != std::string::npos;
    auto outputs = declared(vert, core ? "out" : "varying");
    auto inputs = declared(frag, core ? "in" : "varying");
    std::string sent;
    for (const auto& o : outputs) sent += (sent.empty() ? "" : ", ") + o.first;
    bool fits = true;
    for (const auto& in : inputs) {
        bool found = false;
        for (const auto& o : outputs) found = found || o.first == in.first;
        if (found) continue;
        fits = false;
        std::string message = "`" + in.first + "` comes in, but the vertex shader sends out no `" +
                              in.first + "` (it sends " + (sent.empty() ? "none" : sent) +
                              "): it would read nothing";
        report.diagnostics.push_back({fileFrag, "link", in.second, message});
        report.log += fileFrag + ":" + std::to_string(in.second) + ": " + message + "\n";
    }
    return fits;
}

BuildReport buildPair(const PairSource& source, bool atStartUp) {
    BuildReport report;
    report.fileVert = source.fileVert;
    report.fileFrag = source.fileFrag;
    // Both objects exist before either file is read.
    GLuint vert = glCreateShader(GL_VERTEX_SHADER);
    GLuint frag = glCreateShader(GL_FRAGMENT_SHADER);
    // The versions about to be read: a save that lands while this one builds
    // differs from them, and is built next.
    if (!source.textVert) report.stampVert = stampOf(source.fileVert.c_str());
    if (!source.textFrag) report.stampFrag = stampOf(source.fileFrag.c_str());
    char* strVert = sourceText(source.fileVert, source.textVert);
    char* strFrag = strVert ? sourceText(source.fileFrag, source.textFrag) : NULL;
    if (!strFrag) {  // the vertex shader's file is the one told when neither can be read
        report.failedFile = strVert ? source.fileFrag : source.fileVert;
        report.failedStage = strVert ? "fragment" : "vertex";
        free(strVert);
        if (!atStartUp) {
            glDeleteShader(vert);
            glDeleteShader(frag);
        }
        return report;
    }
    glShaderSource(vert, 1, (const GLchar**)&strVert, NULL);
    glShaderSource(frag, 1, (const GLchar**)&strFrag, NULL);
    std::string textVert = atStartUp ? "" : strVert, textFrag = atStartUp ? "" : strFrag;
    report.textVert = textVert;
    report.textFrag = textFrag;
    free(strVert);  // OpenGL keeps its own copy of the text
    free(strFrag);
    glCompileShader(vert);
    glCompileShader(frag);

    GLuint program = glCreateProgram();
    glAttachShader(program, vert);
    glAttachShader(program, frag);
    glLinkProgram(program);
    if (atStartUp) glUseProgram(program);

    // The results, looked at only now: the vertex shader's first.
    report.outcome = BuildReport::BUILT;
    bool both = compiled(vert, source.fileVert, "vertex", report);
    both = compiled(frag, source.fileFrag, "fragment", report) && both;
    GLint res = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &res);
    if (both && !res) {
        report.outcome = BuildReport::NOT_LINKED;
        report.failedStage = "link";
        report.log = infoLog(program, glGetProgramiv, glGetProgramInfoLog);
        readLog(report.log.c_str(), "", "link", report.diagnostics);
        if (report.diagnostics.empty())
            report.diagnostics.push_back({"", "link", 0, "the pair did not link"});
    }
    report.built = both && res;
    // While the lesson runs, a pair whose interface does not fit is refused
    // on every driver, as the strictest ones refuse it.
    if (report.built && !atStartUp && !interfaceFits(textVert, textFrag, source.fileFrag, report)) {
        report.built = false;
        report.outcome = BuildReport::NOT_LINKED;
        report.failedStage = "link";
    }
    if (atStartUp) {  // the lesson's objects live as long as it does
        report.program = program;
        report.vert = vert;
        report.frag = frag;
        return report;
    }
    // Built while the lesson runs: the shaders live on attached to the
    // program and go with it; a program that did not build goes now.
    glDeleteShader(vert);
    glDeleteShader(frag);
    if (report.built)
        report.program = program;
    else
        glDeleteProgram(program);
    return report;
}

GLuint buildProgram(const char* fileVert, const char* fileFrag) {
    PairSource source;
    source.fileVert = fileVert;
    source.fileFrag = fileFrag;
    return buildPair(source, false).program;
}

std::vector<std::string> uniformsOf(GLuint program, bool (*wanted)(const char* name, GLenum type)) {
    std::vector<std::string> names;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, (GLuint)i, sizeof name, NULL, &size, &type, name);
        if (wanted(name, type)) names.push_back(name);
    }
    return names;
}

void bindSamplers(GLuint program) {
    glUseProgram(program);
    GLint loc = glGetUniformLocation(program, "tex0");
    glUniform1i(loc, 0);
    loc = glGetUniformLocation(program, "tex1");
    glUniform1i(loc, 1);
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

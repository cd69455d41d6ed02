// The lessons on a web page: one program for all six, run as
// `lesson_x --core --explore` runs on the desktop, from the same code. The
// page (page.js) asks which lessons and files there are, puts the files in
// the program's folder, starts the lesson it names, and hands over its
// editor's text in calls: what the compiler says comes back as data.
#include <emscripten.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "checkmode.h"
#include "drawing.h"
#include "exercise.h"
#include "explore.h"
#include "lesson_table.h"
#include "picture.h"
#include "png.h"
#include "practice.h"
#include "shaders.h"
#include "shell.h"

// WebGL 2 has only the core profile's way of drawing.
const WayOfDrawing* chooseWay(bool) { return &coreProfile; }

// One line per lesson: its name, a tab, what it teaches.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageLessons() {
    static std::string lines;
    lines.clear();
    for (const LessonEntry& e : lessonTable)
        lines += std::string(e.name) + "\t" + e.row.subject + "\n";
    return lines.c_str();
}

// Text as a JSON string.
static std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

// The exercises' file, where the page puts it in the program's folder.
static const char* const exercisesTxt = "exercises/exercises.txt";

// One line per file the lessons read, as they open it: the core profile's
// shaders of every lesson (any lesson's pair can be loaded), the images, and
// the exercises' pairs (once the page has put exercises.txt in place).
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageFiles() {
    static std::string lines;
    lines.clear();
    for (const LessonEntry& e : lessonTable)
        lines += lessonFile(e.row.vertexFile, coreProfile) + "\n" +
                 lessonFile(e.row.fragmentFile, coreProfile) + "\n";
    lines += "tex0.tga\ntex1.tga\n";
    std::vector<Exercise> exercises;
    std::string why;
    if (readExercises(exercisesTxt, exercises, why))
        for (const Exercise& e : exercises)
            for (const std::string* f :
                 {&e.startVert, &e.startFrag, &e.solutionVert, &e.solutionFrag})
                if (lines.find(pairFile(*f, true) + "\n") == std::string::npos)
                    lines += pairFile(*f, true) + "\n";
    return lines.c_str();
}

// The shader file of the pair drawn now (0 vertex, 1 fragment), for the
// page's editor.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageWatched(int fragment) {
    static std::string file;
    file = watchedFile(fragment != 0);
    return file.c_str();
}

// The exercises: [{"name", "lesson", "teaches", "statement", "hints": [...],
// "start": [VERT, FRAG], "solution": [VERT, FRAG], "files": [VERT, FRAG]}],
// the pairs' files in the core profile, "files" the lesson's own pair (where
// the learner's text goes).
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageExercises() {
    static std::string json;
    std::vector<Exercise> exercises;
    std::string why;
    json = "[";
    if (readExercises(exercisesTxt, exercises, why)) {
        for (size_t i = 0; i < exercises.size(); ++i) {
            const Exercise& e = exercises[i];
            const Lesson* row = nullptr;
            for (const LessonEntry& l : lessonTable)
                if (e.lesson == l.name) row = &l.row;
            if (!row) continue;
            std::string hints;
            for (const std::string& h : e.hints) hints += (hints.empty() ? "" : ",") + quoted(h);
            json += (json.size() > 1 ? "," : "") + std::string("{\"name\":") + quoted(e.name) +
                    ",\"lesson\":" + quoted(e.lesson) + ",\"teaches\":" + quoted(e.teaches) +
                    ",\"statement\":" + quoted(e.statement) + ",\"hints\":[" + hints + "]" +
                    ",\"start\":[" + quoted(pairFile(e.startVert, true)) + "," +
                    quoted(pairFile(e.startFrag, true)) + "],\"solution\":[" +
                    quoted(pairFile(e.solutionVert, true)) + "," +
                    quoted(pairFile(e.solutionFrag, true)) + "],\"files\":[" +
                    quoted(lessonFile(row->vertexFile, coreProfile)) + "," +
                    quoted(lessonFile(row->fragmentFile, coreProfile)) + "]}";
        }
    }
    json += "]";
    return json.c_str();
}

// Practises the exercise `name` in the running lesson (its own): its target
// drawn beside, every build checked.
extern "C" EMSCRIPTEN_KEEPALIVE void pageExercise(const char* name) {
    Options options;
    options.explore = true;
    options.exercise = name;
    options.exercises = exercisesTxt;
    practiseExercise(options);
}

// A key of explore mode, pressed by one of the page's buttons (`special`:
// GLUT's arrows, 100 Left and 102 Right).
extern "C" EMSCRIPTEN_KEEPALIVE void pageKey(int key, int special) {
    exploreKey(key, special != 0);
}

// The next hint, or after the last the solution, said as on the desktop.
extern "C" EMSCRIPTEN_KEEPALIVE void pageHint() { nextHint(); }

// The last check: {"helped": bool, "probes": [{"name", "scene", "means",
// "passed", "differing", "covered"}]}.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageCheck() {
    static std::string json;
    json = std::string("{\"helped\":") + (practiceHelped() ? "true" : "false") + ",\"probes\":[";
    const std::vector<ProbeResult>& results = practiceResults();
    for (size_t i = 0; i < results.size(); ++i) {
        const ProbeResult& r = results[i];
        json += (i ? "," : "") + std::string("{\"name\":") + quoted(r.name) +
                ",\"scene\":" + quoted(r.scene) + ",\"means\":" + quoted(r.means) +
                ",\"passed\":" + (r.passed ? "true" : "false") +
                ",\"differing\":" + std::to_string(r.differing) +
                ",\"covered\":" + std::to_string(r.covered) + "}";
    }
    json += "]}";
    return json.c_str();
}

// Probe `i`'s picture of the last check (0 the learner's, 1 the target's,
// 2 their difference) as a PNG's bytes in Module.picture: their count, or 0.
extern "C" EMSCRIPTEN_KEEPALIVE int pageProbePicture(int i, int kind) {
    const std::vector<ProbePictures>& pictures = practicePictures();
    if (i < 0 || (size_t)i >= pictures.size() || kind < 0 || kind > 2) return 0;
    const ProbePictures& p = pictures[i];
    const std::vector<unsigned char>& rgb = kind == 0   ? p.answer
                                            : kind == 1 ? p.target
                                                        : p.difference;
    if (rgb.empty()) return 0;
    std::vector<unsigned char> png = encodePNG(200, 200, rgb.data());
    EM_ASM({ Module.picture = HEAPU8.slice($0, $0 + $1); }, png.data(), png.size());
    return (int)png.size();
}

// The pair drawn now, built from the editor's text: {"built": true|false,
// "diagnostics": [{"file", "stage", "line", "message"}...]}. The last program
// that built goes on drawing when this one does not.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageBuild(const char* vert, const char* frag) {
    static std::string json;
    BuildReport report;
    useSources(vert, frag, &report);
    json = std::string("{\"built\":") + (report.built ? "true" : "false") + ",\"diagnostics\":[";
    for (size_t i = 0; i < report.diagnostics.size(); ++i) {
        const Diagnostic& d = report.diagnostics[i];
        json += (i ? "," : "") + std::string("{\"file\":") + quoted(d.file) +
                ",\"stage\":" + quoted(d.stage) + ",\"line\":" + std::to_string(d.line) +
                ",\"message\":" + quoted(d.message) + "}";
    }
    json += "]}";
    return json.c_str();
}

// A picture of the pair drawn now, in the scene as drawn now but turned by
// `angle` and (with `orbiting`) orbited by `yaw` and `pitch`, drawn off screen
// at w x h: its PNG's bytes go to Module.picture. Returns their count, or 0
// when it could not be drawn.
extern "C" EMSCRIPTEN_KEEPALIVE int pagePicture(float angle, int orbiting, float yaw, float pitch,
                                                int w, int h) {
    PictureScene scene = currentScene();
    scene.angle = angle;
    scene.orbiting = orbiting != 0;
    scene.yaw = yaw;
    scene.pitch = pitch;
    std::vector<unsigned char> rgb;
    if (w < 1 || h < 1 || w > 8192 || h > 8192 || !drawPicture(shaderProg, scene, w, h, rgb))
        return 0;
    std::vector<unsigned char> png = encodePNG(w, h, rgb.data());
    EM_ASM({ Module.picture = HEAPU8.slice($0, $0 + $1); }, png.data(), png.size());
    return (int)png.size();
}

// Key s on the page: the scene as drawn now, off screen at the picture's
// size, handed to the page as a PNG to download.
void takeScreenshot(const char*) {
    PictureScene now = currentScene();
    if (pagePicture(now.angle, now.orbiting, now.yaw, now.pitch, glutGet(GLUT_WINDOW_WIDTH),
                    glutGet(GLUT_WINDOW_HEIGHT)))
        EM_ASM({ Module.downloadPicture(Module.picture); });
}

// argv[1] names the lesson; the page offers only the table's names.
int main(int argc, char** argv) {
    const LessonEntry* chosen = &lessonTable[0];
    for (const LessonEntry& e : lessonTable)
        if (argc > 1 && strcmp(argv[1], e.name) == 0) chosen = &e;
    followSavedFiles = false;  // the editor hands its text over itself
    char* args[] = {(char*)chosen->name, (char*)"--core", (char*)"--explore", NULL};
    return startLesson(chosen->row, 3, args);
}

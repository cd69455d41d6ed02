// The page's front end: the lessons on a web page, one program for all six,
// run as `lesson_x --core --explore` runs on the desktop, from the same code.
// The page (page.js) asks which lessons and files there are, puts the files
// in the program's folder, starts the lesson it names, and hands over its
// editor's text in calls. Every report of the running lesson reaches the page
// as one event with data (Module.lessonReport): its lines, the title, the
// pair drawn, the build's diagnostics, the check.
#include <emscripten.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "exercises.h"
#include "frontend.h"
#include "json.h"
#include "lesson_table.h"
#include "png.h"
#include "shell.h"
#include "problems.h"

// WebGL 2 has only the core profile's way of drawing.
const WayOfDrawing* chooseWay(bool) { return &coreProfile; }

namespace {

std::string pairJson(const std::string& vert, const std::string& frag) {
    return Json('[').item(quoted(vert)).item(quoted(frag)).done();
}

// {"built": true|false, "diagnostics": [{"file", "stage", "line", "message"}...]}
std::string buildJson(const BuildReport& report) {
    Json build('{');
    addBuild(build, report);
    return build.done();
}

// {"helped": bool, and the verdict: "passed", "probes": [...], "mistake",
// "likely", "alsoDiffers"}.
std::string checkJson(const Practice& practice) {
    Json check('{');
    check.boolean("helped", practice.helped);
    addVerdict(check, practice.verdict);
    return check.done();
}

// The exercises' file, where the page puts it in the program's folder.
const char* const exercisesTxt = "exercises/exercises.txt";

// The PNG of w x h pixels in Module.picture: its size in bytes.
int handOver(int w, int h, const std::vector<unsigned char>& rgb) {
    std::vector<unsigned char> png = encodePNG(w, h, rgb.data());
    EM_ASM({ Module.picture = HEAPU8.slice($0, $0 + $1); }, png.data(), png.size());
    return (int)png.size();
}

// A picture of the pair drawn now, in the scene as drawn now but turned by
// `angle` and (with `orbiting`) orbited: its PNG in Module.picture, or 0.
int picture(float angle, bool orbiting, float yaw, float pitch, int w, int h) {
    LessonRun& run = runningLesson();
    Scene scene = run.scene;
    scene.a = angle;
    scene.orbiting = orbiting;
    scene.yaw = yaw;
    scene.pitch = pitch;
    std::vector<unsigned char> rgb;
    Report report;
    if (w < 1 || h < 1 || w > 8192 || h > 8192 ||
        !run.drawPicture(run.shaderProg, scene, w, h, rgb, report)) {
        show(run, report);
        return 0;
    }
    return handOver(w, h, rgb);
}

}  // namespace

// Every report, as one event: {"lines": [{"error", "text"}], "title",
// "pair": [VERT, FRAG], "pairChanged", "build"?: {...}, "check"?: {...}}.
void show(LessonRun& run, const Report& report) {
    Json lines('[');
    for (const Report::Line& l : report.lines)
        lines.item(Json('{').boolean("error", l.error).string("text", l.text).done());
    std::string title = run.title();
    Json event('{');
    event.field("lines", lines.done())
        .string("title", title)
        .field("pair", pairJson(run.fileVert, run.fileFrag))
        .boolean("pairChanged", report.pairChanged);
    if (report.built) event.field("build", buildJson(report.build));
    if (report.checked) event.field("check", checkJson(run.practice));
    if (report.progress) event.string("progress", report.progress);
    if (!report.hint.empty())
        event.field("hint",
                    Json('{').string("text", report.hint).boolean("last", report.lastHint).done());
    if (!report.solution.empty()) {
        Json files('[');
        for (const auto& f : report.solution)
            files.item(Json('{').string("file", f.first).string("text", f.second).done());
        event.field("solution", files.done());
    }
    glutSetWindowTitle(title.c_str());
    EM_ASM({ Module.lessonReport(JSON.parse(UTF8ToString($0))); }, event.done().c_str());
    if (report.screenshot &&
        picture(run.scene.a, run.scene.orbiting, run.scene.yaw, run.scene.pitch,
                glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT)))
        EM_ASM({ Module.downloadPicture(Module.picture); });
    if (report.end)
        emscripten_force_exit(0);  // the page's timers would keep a plain exit from ending it
}

// The page hands the lesson its editor's text itself (pageBuild).
void followLearner(LessonRun&, const Report&) {}

void afterFrame(LessonRun&) {}

void beforeLoop(LessonRun&, const Options&) { startExplore(); }

// The page's edits are checked where they are typed; a browser keeps the
// page apart from its GPU process itself.
std::string checkedApart(const Options&, const std::string&, const std::string&) { return ""; }

// One line per lesson: its name, a tab, what it teaches.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageLessons() {
    static std::string lines;
    lines.clear();
    for (const LessonEntry& e : lessonTable)
        lines += std::string(e.name) + "\t" + e.row.subject + "\n";
    return lines.c_str();
}

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

// The exercises, as --list-exercises json lists them for the core profile.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageExercises() {
    static std::string json;
    std::vector<Exercise> exercises;
    std::string why;
    json =
        readExercises(exercisesTxt, exercises, why) ? exercisesJson(exercises, coreProfile) : "[]";
    return json.c_str();
}

// Practises the exercise `name` in the running lesson (its own): its target
// drawn beside, every build checked.
extern "C" EMSCRIPTEN_KEEPALIVE void pageExercise(const char* name) {
    Options options;
    options.explore = true;
    options.exercise = name;
    options.exercises = exercisesTxt;
    startExercise(options);
}

// A key of explore mode, pressed by one of the page's buttons (`special`:
// GLUT's arrows, 100 Left and 102 Right).
extern "C" EMSCRIPTEN_KEEPALIVE void pageKey(int key, int special) {
    LessonRun& run = runningLesson();
    show(run, run.press(key, special != 0));
    glutPostRedisplay();
}

// The next hint, or after the last the solution, said as on the desktop.
extern "C" EMSCRIPTEN_KEEPALIVE void pageHint() {
    LessonRun& run = runningLesson();
    show(run, run.nextHint());
}

// The last check, as the event carries it.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageCheck() {
    static std::string json;
    json = checkJson(runningLesson().practice);
    return json.c_str();
}

// Probe `i`'s picture of the last check (0 the learner's, 1 the target's,
// 2 their difference) as a PNG's bytes in Module.picture: their count, or 0.
extern "C" EMSCRIPTEN_KEEPALIVE int pageProbePicture(int i, int kind) {
    const std::vector<ProbePictures>& pictures = runningLesson().practice.pictures;
    if (i < 0 || (size_t)i >= pictures.size() || kind < 0 || kind > 2) return 0;
    const ProbePictures& p = pictures[i];
    const std::vector<unsigned char>& rgb = kind == 0   ? p.answer
                                            : kind == 1 ? p.target
                                                        : p.difference;
    if (rgb.empty()) return 0;
    return handOver(200, 200, rgb);
}

// The pair drawn now, built from the editor's text: the build's part of the
// report, as JSON. The last program that built goes on drawing when this one
// does not.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageBuild(const char* vert, const char* frag) {
    static std::string json;
    LessonRun& run = runningLesson();
    Report report = run.useSources(vert, frag);
    show(run, report);
    glutPostRedisplay();
    json = buildJson(report.build);
    return json.c_str();
}

// A picture of the pair drawn now, in the scene as drawn now but turned by
// `angle` and (with `orbiting`) orbited by `yaw` and `pitch`, drawn off screen
// at w x h: its PNG's bytes go to Module.picture. Returns their count, or 0
// when it could not be drawn.
extern "C" EMSCRIPTEN_KEEPALIVE int pagePicture(float angle, int orbiting, float yaw, float pitch,
                                                int w, int h) {
    return picture(angle, orbiting != 0, yaw, pitch, w, h);
}

// argv[1] names the lesson; the page offers only the table's names.
int main(int argc, char** argv) {
    const LessonEntry* chosen = &lessonTable[0];
    for (const LessonEntry& e : lessonTable)
        if (argc > 1 && strcmp(argv[1], e.name) == 0) chosen = &e;
    char* args[] = {(char*)chosen->name, (char*)"--core", (char*)"--explore", NULL};
    return startLesson(*chosen, 3, args);
}

// The running lesson: one object that owns everything a lesson holds while it
// runs (its row, the way it draws, the window's scene, the program and the
// files it was built from, what explore mode steers, the exercise being
// practised) and answers each thing done to it with a report. It draws, and
// prints nothing: the front ends (the desktop's terminal and window, the
// web page) drive it and show what it reports.
#pragma once

#include <string>
#include <vector>

#include "drawing.h"
#include "exercise_file.h"
#include "lesson_table.h"
#include "maths.h"
#include "probe.h"
#include "scene.h"
#include "shaders.h"

// What an operation has to tell the learner, in order, and what it asks of
// the front end. A line is written as it stands (its own newlines included):
// to standard output, or with `error` to standard error.
struct Report {
    struct Line {
        bool error;
        std::string text;
    };
    std::vector<Line> lines;
    bool screenshot = false;   // the window's next frame is to be saved
    bool end = false;          // the learner ended the lesson (Escape)
    bool pairChanged = false;  // another pair's files are drawn (or asked for)
    bool built = false;        // a pair was built: `build` says how
    bool checked = false;      // the exercise was checked: the practice's results are new
    // How far the learner got with the exercise, to be kept by the front end:
    // "started", "solved with help", "solved"; null when nothing new.
    const char* progress = nullptr;
    // A hint given now ("" for none), and whether it was the last before the
    // solution; the solution's files and their text, when it is shown.
    std::string hint;
    bool lastHint = false;
    std::vector<std::pair<std::string, std::string>> solution;
    BuildReport build;

    void say(const char* format, ...);   // a line for standard output
    void warn(const char* format, ...);  // one for standard error
    void add(const Report& more);
};

// What a pair that did not build says while the lesson runs, on standard
// error: which file and stage, the compiler's or linker's log, and what to
// do about it (`live`: in explore mode, save it again).
void sayBuildFailure(const BuildReport& build, bool live, Report& report);

// An exercise's target and known mistakes drawn in its probes, once while
// the lesson runs.
struct DrawnExercise {
    std::string name;
    int size = 0;
    unsigned int target = 0;
    bool lit = false;                 // the target reads the light
    std::vector<ProbeImages> probes;  // the target's, one per probe (empty: not drawn)
    struct Mistake {
        std::string name, sentence;
        std::vector<ProbeImages> probes;
        std::vector<bool> fails;  // per probe: it differs from the target there
    };
    std::vector<Mistake> mistakes;
};

// The exercise's solution (the texts `vert` and `frag`) with a variant's
// edits (a known mistake, a term drawn as a colour), built: its program, or
// 0, said in `report` (`what` names the kind), when it does not build.
unsigned int buildVariant(const Exercise& e, const KnownMistake& v, const char* vert,
                          const char* frag, const char* what, Report& report);

// A term's name as its picture's label: "n_dot_l" -> "n dot l".
std::string termLabel(const std::string& name);

// What practising an exercise holds: the exercise, its target, the last
// check, how much help was given, and where the view was taken.
struct Practice {
    bool active = false;
    Exercise exercise;
    unsigned int target = 0;              // the target's program
    Verdict verdict;                      // the last check's
    std::vector<ProbePictures> pictures;  // and its pictures
    size_t hintsGiven = 0;
    bool helped = false;      // the solution was shown
    size_t probeShown = 0;    // the next failing probe to jump to, counted among the failing
    Scene ownScene;           // the lesson's scene, to come back to
    bool difference = false;  // the right half shows where yours differs from the target
    std::vector<unsigned int> terms;  // the target's terms' programs, made at the first t
    size_t termShown = 0;             // 1 + the term the right half shows, 0 for the target
    unsigned int pixelsTexture = 0, pixelsFramebuffer = 0;  // for pictures made here
    std::string probeShownName;  // the probe whose scene the window shows, or ""
};

class LessonRun {
   public:
    LessonRun(const LessonEntry& entry, const WayOfDrawing& way);

    const LessonEntry& entry;  // the running lesson's name and row
    const Lesson& row;
    const WayOfDrawing& way;

    Scene scene;  // what the window draws

    // The program drawing the teapot, and at start-up the shaders it was
    // built from (they live as long as the lesson; later pairs' go with
    // their programs).
    unsigned int shaderVert = 0, shaderFrag = 0, shaderProg = 0;

    // What explore mode steers on the one frame; a plain run leaves it alone.
    bool exploring = false;
    bool paused = false;   // the turn holds; frames are drawn when something changes
    bool builtIn = false;  // OpenGL's own lighting instead of the shaders (built-in state only)

    // The pair drawn now (or asked for last): whose it is, and its files as
    // opened (data/'s own when the lesson runs in the build's folder).
    const LessonEntry* pair;
    std::string fileVert, fileFrag;
    bool broken = false;   // the pair asked for does not build; the last good program draws
    std::string awayFile;  // a file of the pair that is not there now, or ""

    Practice practice;

    // --- Start-up: the scene state, once the window and GLEW are there.
    void setupScene();

    // --- Frames. The window's size, then its frame up to the swap; the
    // turn steps on after it unless explore mode holds it.
    void reshape(int w, int h);
    void drawFrame();
    void advance();

    // `program` in `scene`, drawn off screen at w x h, its pixels handed back
    // in `rgb` (rows from the top, 3 bytes a pixel). Nothing the window
    // draws changes. False, with the reason in `report`, when the driver
    // cannot draw off screen.
    bool drawPicture(unsigned int program, const Scene& scene, int w, int h,
                     std::vector<unsigned char>& rgb, Report& report);

    // --- Explore mode.
    Report startExplore();
    // A key (`special`: GLUT's special keys, the arrows); a drag of the
    // mouse by dx, dy pixels.
    Report press(int key, bool special);
    void drag(int dx, int dy);
    // The colours at (x, y) of the window (from its top left), as numbers:
    // the learner's picture's and, in an exercise, the target's, in the
    // scene shown.
    Report valuesAt(int x, int y);
    // The pair drawn now, built again from its files (a save). `quiet`: a
    // pair that does not build says nothing yet (report.built false and no
    // lines), to be tried again once the save has surely ended.
    Report rebuild(bool quiet);
    // The pair drawn now, built from text (an editor's).
    Report useSources(const char* textVert, const char* textFrag);
    // The window's title in explore mode: the lesson, the pair, the state.
    std::string title() const;
    // The keys as the help text lists them.
    Report keys() const;

    // --- Exercises.
    // Practises `e`, whose target is the linked program `target`.
    Report startPractice(const Exercise& e, unsigned int target);
    // `program` checked against the target in every probe.
    Report check(unsigned int program);
    Report nextHint();
    Report nextFailingProbe();
    Report toggleDifference();
    // The right half: the target's next term as a colour, and after the
    // last the target again.
    Report nextTerm();
    // Samplers of `program` that the lesson does not bind (it binds tex0 and
    // tex1 by name), said with the names it binds.
    void sayUnboundSamplers(unsigned int program, Report& report) const;
    // The probe scene called `name`, from the lesson's own scene turned by 30
    // degrees; false for a name no probe has, or one the lesson cannot draw.
    bool probeScene(const std::string& name, Scene& scene);
    // Draws `answer` and `target` in every probe of `e` at size x size and
    // compares them, and the answer with each known mistake of `e` (drawn
    // once); `pictures`, when given, receives each probe's pictures.
    Verdict checkAnswer(const Exercise& e, unsigned int answer, unsigned int target, int size,
                        std::vector<ProbePictures>* pictures, Report& report);

   private:
    Mat4 projection;  // the window's, or a picture's while it is drawn
    int width = 400, height = 400;
    Scene sceneInGL;  // the light and material OpenGL holds (the built-in state's)
    unsigned int probeImages[2] = {0, 0};  // the probe "images"'s, made once
    std::vector<DrawnExercise> drawnExercises;

    std::vector<ProbeImages> drawProbes(const Exercise& e, unsigned int program, int size,
                                        Report& report);
    const DrawnExercise& drawExercise(const Exercise& e, unsigned int target, int size,
                                      Report& report);

    void drawScene(const Scene& s, unsigned int program, bool lit);
    void drawSideBySide();
    void drawDifference(int x, int w, int h);
    // Pixels made here (rows from the top) copied into the window's frame,
    // their top left at (x, y) from the window's top left; and words so drawn.
    void putPixels(int x, int y, int w, int h, const std::vector<unsigned char>& rgb);
    void drawLabel(int x, int y, const std::string& text);
    void project(int w, int h);

    Report usePair(const LessonEntry& e, bool quiet = false);
    Report install(const LessonEntry& e, unsigned int program);
    bool pairAway(Report& report);
    bool needsTextures(unsigned int program, const std::string& vert, const std::string& frag,
                       Report& report);
    void useMaterialOf(const Lesson& other);
    void sayWhatDiffers(const LessonEntry& e, unsigned int program, Report& report);
    void makeProbeImages();

    // The keys' actions, and their table (explore.cpp).
    static const std::vector<struct Binding>& bindings();
    void togglePause(int, Report&);
    void step(int key, Report&);
    void cameraBack(int, Report&);
    void toggleBuiltIn(int, Report&);
    void otherPair(int key, Report&);
    void snapshot(int, Report&);
    void hint(int, Report&);
    void failingProbe(int, Report&);
    void difference(int, Report&);
    void term(int, Report&);
    void printKeys(int, Report&);
    void endLesson(int, Report&);
};

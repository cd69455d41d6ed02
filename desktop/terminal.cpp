// The desktop's front end: the running lesson's reports as lines in the
// terminal and as the window's title, its shader files followed as they are
// saved, its screenshots, and the command line's pictures and checks.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "apart.h"
#include "exercises.h"
#include "file_status.h"
#include "json.h"
#include "frontend.h"
#include "folders.h"
#include "png.h"
#include "screenshot.h"
#include "shell.h"
#include "watcher.h"
#include "problems.h"

namespace {

const int watchMilliseconds = 15;  // how often the shader files are looked at
const char* const progressFile = "progress.txt";

Watcher watcher;
bool following = false;               // explore mode follows the pair's files
const Options* practising = nullptr;  // an exercise: its saves are checked apart first
bool screenshotDue = false;           // the next frame is saved as a screenshot
std::string programName;              // names the screenshots
std::string titleShown;               // the window's title as set last

// Keeps the exercise's state in this profile in the working folder's
// progress.txt, one line a
// profile ("GLSL 1.10: solved"); a better state is never replaced by a
// worse one. Written beside it and renamed over, so it is never half made.
void keepProgress(const WayOfDrawing& way, const char* state) {
    static const char* const order[] = {"started", "solved with help", "solved"};
    auto rank = [](const std::string& s) {
        for (int i = 0; i < 3; ++i)
            if (s == order[i]) return i;
        return -1;
    };
    std::vector<std::string> lines;
    std::string prefix = std::string(way.shaderFolder[0] ? "core profile" : "GLSL 1.10") + ": ";
    bool found = false;
    if (*notAFile(progressFile)) {  // a folder of that name, say
        fprintf(stderr, "Your progress is not kept: %s here is %s, not a file. Move it away.\n",
                progressFile, notAFile(progressFile));
        return;
    }
    if (FILE* f = fopen(progressFile, "r")) {
        char line[256];
        while (fgets(line, sizeof line, f)) {
            std::string l(line);
            while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
            if (l.compare(0, prefix.size(), prefix) == 0) {
                found = true;
                if (rank(l.substr(prefix.size())) >= rank(state)) return;  // as good already
                l = prefix + state;
            }
            lines.push_back(l);
        }
        fclose(f);
    }
    if (!found) lines.push_back(prefix + state);
    // Written beside it and renamed over it (a symlink there is replaced,
    // never written through): a file of ours, made afresh.
    std::string temporary = std::string(progressFile) + ".part";
    remove(temporary.c_str());
#ifdef _WIN32
    FILE* f = fopen(temporary.c_str(), "w");
#else
    FILE* f = fopen(temporary.c_str(), "wx");  // fails rather than follow a link made since
#endif
    bool ok = f != NULL;
    if (f) {
        for (const std::string& l : lines) fprintf(f, "%s\n", l.c_str());
        ok = fclose(f) == 0;
    }
#ifdef _WIN32
    if (ok) remove(progressFile);
#endif
    if (!ok || rename(temporary.c_str(), progressFile) != 0) {
        fprintf(stderr, "Your progress could not be kept in %s: %s.\n", progressFile,
                strerror(errno));
        remove(temporary.c_str());
    }
}

// The report's lines as they stand: standard output flushed before each
// line on standard error, so the two read in order in one log too.
void writeLines(const Report& report) {
    for (const Report::Line& l : report.lines) {
        if (l.error) {
            fflush(stdout);
            fputs(l.text.c_str(), stderr);
        } else {
            fputs(l.text.c_str(), stdout);
        }
    }
    fflush(stdout);
}

// The files the running lesson draws from now on, as the report left them:
// the versions just read when it built them, or the ones there now.
void followFiles(LessonRun& run, const Report& report) {
    if (!following) return;
    if (report.built && !report.build.stampVert.gone())
        watcher.follow(report.build.fileVert, report.build.fileFrag, report.build.stampVert,
                       report.build.stampFrag);
    else
        watcher.follow(run.fileVert, run.fileFrag, stampOf(run.fileVert.c_str()),
                       stampOf(run.fileFrag.c_str()));
}

void lookAtFiles(int) {
    glutTimerFunc(watchMilliseconds, lookAtFiles, 0);
    Watcher::Ask ask = watcher.look(glutGet(GLUT_ELAPSED_TIME));
    if (ask == Watcher::NOTHING) return;
    LessonRun& run = runningLesson();
    bool quiet = ask == Watcher::BUILD_QUIETLY;
    if (practising) {  // checked apart first: a pair that crashes or hangs stays out of the window
        FileStamp vert = stampOf(run.fileVert.c_str()), frag = stampOf(run.fileFrag.c_str());
        std::string refused = checkApart(*practising, run.fileVert, run.fileFrag);
        if (!refused.empty()) {
            Report report;
            report.warn(
                "Your pair is not built: %s. The window keeps the last pair that "
                "worked; change the shader and save again.\n",
                refused.c_str());
            show(run, report);
            watcher.follow(run.fileVert, run.fileFrag, vert, frag);  // a save since is looked at
            return;
        }
    }
    Report report = run.rebuild(quiet);
    show(run, report);                            // which follows the files as the build read them
    if (!report.built) followFiles(run, report);  // a file away: followed as it is now
    // A save that did not build and said nothing is built once more before
    // it is reported: its editor may still have been writing it.
    if (quiet && report.built && !report.build.built && report.lines.empty()) watcher.retryLater();
    glutPostRedisplay();
}

std::string baseName(const char* path) {
    const char* slash = strrchr(path, '/');
#ifdef _WIN32
    const char* backslash = strrchr(path, '\\');
    if (backslash > slash) slash = backslash;
#endif
    std::string name = slash ? slash + 1 : path;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name;
}

// --picture: the scene the options describe, drawn off screen and saved;
// the lesson ends. A picture that cannot be made ends it with status 1.
[[noreturn]] void savePicture(LessonRun& run, const Options& o) {
    Scene scene = run.scene;
    scene.a = o.angle;
    scene.orbiting = o.orbiting;
    scene.yaw = o.yaw;
    scene.pitch = o.pitch;
    std::vector<unsigned char> rgb;
    Report report;
    bool drawn = run.drawPicture(run.shaderProg, scene, o.width, o.height, rgb, report);
    writeLines(report);
    if (!drawn) exit(1);
    int why = writePNGOver(o.picture, o.width, o.height, rgb.data());
    if (why) {
        fprintf(stderr, "Could not save the picture %s: %s.\n", o.picture, strerror(why));
        exit(1);
    }
    printf("Picture (%s): %s\n", run.way.name, o.picture);
    exit(0);
}

// A probe's pictures as PAIR-PROBE-answer.png, -target.png and
// -difference.png in `folder`; a picture that cannot be written is said.
void savePictures(const char* folder, size_t pair, const std::string& probe, int size,
                  const ProbePictures& p) {
    const std::vector<unsigned char>* images[] = {&p.answer, &p.target, &p.difference};
    const char* const kinds[] = {"answer", "target", "difference"};
    for (int k = 0; k < 3; ++k) {
        if (images[k]->empty()) continue;
        std::string path = std::string(folder) + "/" + std::to_string(pair) + "-" + probe + "-" +
                           kinds[k] + ".png";
        int why = writePNGOver(path.c_str(), size, size, images[k]->data());
        if (why) fprintf(stderr, "Could not save %s: %s.\n", path.c_str(), strerror(why));
    }
}

// --check: every pair of the options against the exercise's target, then
// the end: status 0 when every probe of every pair passes, 1 otherwise, 2
// for an exercise that does not exist or a pair of the other way of drawing.
[[noreturn]] void runCheck(LessonRun& run, const Options& options) {
    GLuint target;
    Exercise exercise = loadExercise(run, options, options.check, &target);
    const bool core = run.way.shaderFolder[0] != '\0';
    bool passed = true, otherWay = false;
    for (size_t i = 0; i + 1 < options.pairs.size(); i += 2) {
        Json result('{');
        result.string("vertex", options.pairs[i])
            .string("fragment", options.pairs[i + 1])
            .string("exercise", exercise.name)
            .string("profile", run.way.name);
        if (!options.json) {
            printf("%s and %s against %s (%s):\n", options.pairs[i], options.pairs[i + 1],
                   exercise.name.c_str(), run.way.name);
            fflush(stdout);
        }
        // A pair written for the other way of drawing builds and draws
        // nothing: said as such (a teacher who forgot --core, or used it).
        std::string other = otherDialect(options.pairs[i], core);
        if (other.empty()) other = otherDialect(options.pairs[i + 1], core);
        if (!other.empty()) {
            otherWay = true;
            if (options.json)
                printf("%s\n", result.boolean("built", false)
                                   .string("otherWay", other)
                                   .boolean("passed", false)
                                   .done()
                                   .c_str());
            else
                printf("FAIL  %s\n", other.c_str());
            continue;
        }
        PairSource source;
        source.fileVert = options.pairs[i];
        source.fileFrag = options.pairs[i + 1];
        BuildReport answer = buildPair(source, false);
        passed = passed && answer.built;
        if (!answer.built && options.json) {
            addBuild(result, answer);
            printf("%s\n", result.boolean("passed", false).done().c_str());
            continue;
        }
        if (!answer.built) {
            Report failed;
            sayBuildFailure(answer, false, failed);
            writeLines(failed);
            printf("FAIL  the pair does not build: see the compiler's log above\n");
            continue;
        }
        std::vector<ProbePictures> pictures;
        const int size = 200;
        Report report;
        run.sayUnboundSamplers(answer.program, report);
        Verdict verdict = run.checkAnswer(exercise, answer.program, target, size,
                                          options.pictures ? &pictures : nullptr, report);
        const std::vector<ProbeResult>& results = verdict.probes;
        writeLines(report);
        for (size_t p = 0; p < pictures.size(); ++p)
            savePictures(options.pictures, i / 2 + 1, results[p].name, size, pictures[p]);
        if (options.json) {
            result.boolean("built", true);
            addVerdict(result, verdict);
            printf("%s\n", result.done().c_str());
        } else {
            fputs(resultLines(verdict).c_str(), stdout);
        }
        passed = passed && allPassed(results);
        glDeleteProgram(answer.program);
    }
    fflush(stdout);
    exit(otherWay ? 2 : passed ? 0 : 1);
}

}  // namespace

void show(LessonRun& run, const Report& report) {
    writeLines(report);
    if (report.built || report.pairChanged) followFiles(run, report);
    if (report.end) exit(0);
    if (report.screenshot) screenshotDue = true;
    if (report.progress) keepProgress(run.way, report.progress);
    if (!run.exploring) return;  // the plain run's title is the lesson's own
    std::string title = run.title();
    if (title != titleShown) glutSetWindowTitle(title.c_str());
    titleShown = title;
}

void followLearner(LessonRun& run, const Report& started) {
    following = true;
    followFiles(run, started);
    printf("Watching %s and %s: save either and the window shows it.\n",
           wholePath(run.fileVert.c_str()).c_str(), wholePath(run.fileFrag.c_str()).c_str());
    fflush(stdout);
    glutTimerFunc(watchMilliseconds, lookAtFiles, 0);
}

void afterFrame(LessonRun&) {
    if (!screenshotDue) return;
    screenshotDue = false;
    int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> rgb;
    readPixels(w, h, rgb);  // the window's frame, before the swap
    saveScreenshot(programName, w, h, rgb);
}

std::string checkedApart(const Options& options, const std::string& vert, const std::string& frag) {
    return checkApart(options, vert, frag);
}

void beforeLoop(LessonRun& run, const Options& options) {
    programName = baseName(options.program);
    if (options.apart) glutHideWindow();  // a practising window's check: nothing to see
    static Options kept = options;
    if (options.exercise) practising = &kept;
    if (options.picture) savePicture(run, options);
    if (options.check) runCheck(run, options);
    if (options.exercise) startExercise(options);  // checked at every build from now on
    if (options.explore) startExplore();           // the learner's keys, mouse and live shaders
}

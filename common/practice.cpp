// Practising an exercise in explore mode (see practice.h).
#include "practice.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "check.h"
#include "drawing.h"
#include "picture.h"
#include "scene.h"
#include "shaders.h"

namespace {

Exercise exercise;
bool active = false;
GLuint target = 0;
std::vector<ProbeResult> results;     // the last check's
std::vector<ProbePictures> pictures;  // and its pictures
size_t hintsGiven = 0;
bool helped = false;    // the solution was shown
size_t probeShown = 0;  // the next failing probe to jump to, counted among the failing
PictureScene ownScene;  // the lesson's scene, to come back to

const char* const progressFile = "progress.txt";

const char* profileName() { return way->shaderFolder[0] ? "core profile" : "GLSL 1.10"; }

// Keeps this exercise's state in this profile in progress.txt, one line a
// profile ("GLSL 1.10: solved"); a better state is never replaced by a
// worse one. Written beside it and renamed over, so it is never half made.
void keepProgress(const char* state) {
    static const char* const order[] = {"started", "solved with help", "solved"};
    auto rank = [](const std::string& s) {
        for (int i = 0; i < 3; ++i)
            if (s == order[i]) return i;
        return -1;
    };
    std::vector<std::string> lines;
    std::string prefix = std::string(profileName()) + ": ";
    bool found = false;
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
    std::string temporary = std::string(progressFile) + ".part";
    FILE* f = fopen(temporary.c_str(), "w");
    if (!f) return;
    for (const std::string& l : lines) fprintf(f, "%s\n", l.c_str());
    bool ok = fclose(f) == 0;
#ifdef _WIN32
    if (ok) remove(progressFile);
#endif
    if (!ok || rename(temporary.c_str(), progressFile) != 0) remove(temporary.c_str());
}

void printFile(const std::string& path) {
    printf("---- %s\n", path.c_str());
    char* text = loadTextFile(path.c_str());
    if (text) {
        fputs(text, stdout);
        free(text);
    }
}

}  // namespace

bool practising() { return active; }

void startPractice(const Exercise& e, unsigned int program) {
    exercise = e;
    target = program;
    active = true;
    ownScene = currentScene();
    view.beside = target;
    glutReshapeWindow(800, 400);
    printf(
        "Exercise %s (%s): %s\n%s\nYour picture is on the left, the target's on the right "
        "(d: where they differ). Every save that builds is checked in %d scenes.\n",
        e.name.c_str(), profileName(), e.teaches.c_str(), e.statement.c_str(),
        (int)e.probes.size());
    fflush(stdout);
    keepProgress("started");
}

void practiceCheck(unsigned int program) {
    if (!active) return;
    pictures.clear();
    results = checkAnswer(exercise, program, target, 200, &pictures);
    probeShown = 0;
    size_t passed = 0;
    for (const ProbeResult& r : results) passed += r.passed;
    printf("Check: %d of %d probes pass.\n", (int)passed, (int)results.size());
    printResults(results);
    if (allPassed(results)) {
        printf(helped ? "Solved with help: every probe passes. Try it again later without.\n"
                      : "Solved: every probe passes.\n");
        keepProgress(helped ? "solved with help" : "solved");
    } else {
        printf("p shows the first scene that fails; n gives a hint.\n");
    }
    fflush(stdout);
}

namespace {

// The right half as the difference between the learner's picture (the
// program drawing now) and the target's, in the scene as drawn now: both
// drawn off screen, compared, and the result copied into the window.
void drawDifference(int x, int w, int h) {
    PictureScene scene = currentScene();
    std::vector<unsigned char> mine, theirs;
    if (!drawPicture(shaderProg, scene, w, h, mine) || !drawPicture(target, scene, w, h, theirs))
        return;
    std::vector<unsigned char> rgb = differencePicture(mine, theirs);
    std::vector<unsigned char> rows(rgb.size());  // OpenGL's first row is the bottom one
    for (int y = 0; y < h; ++y)
        memcpy(&rows[(size_t)y * w * 3], &rgb[(size_t)(h - 1 - y) * w * 3], (size_t)w * 3);
    static GLuint texture = 0, framebuffer = 0;
    if (!texture) {
        glGenTextures(1, &texture);
        glGenFramebuffers(1, &framebuffer);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, w, h, x, 0, x + w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace

void toggleDifference() {
    if (!active) return;
#ifndef __EMSCRIPTEN__
    if (!glBlitFramebuffer) {
        printf("This driver cannot copy pictures between framebuffers: no difference view.\n");
        return;
    }
#endif
    view.drawBeside = view.drawBeside ? nullptr : drawDifference;
    printf(view.drawBeside ? "The right half shows where yours differs from the target (red).\n"
                           : "The right half shows the target again.\n");
    fflush(stdout);
}

const std::vector<ProbeResult>& practiceResults() { return results; }
const std::vector<ProbePictures>& practicePictures() { return pictures; }
bool practiceHelped() { return helped; }

std::string practiceTitle() {
    if (!active || results.empty()) return "";
    size_t passed = 0;
    for (const ProbeResult& r : results) passed += r.passed;
    if (passed == results.size()) return helped ? " - solved with help" : " - solved";
    return " - " + std::to_string(passed) + " of " + std::to_string(results.size()) +
           " probes pass";
}

void nextHint() {
    if (!active) {
        printf(
            "No exercise: ./run.sh --exercise NAME starts one (./run.sh --exercises lists "
            "them).\n");
    } else if (hintsGiven < exercise.hints.size()) {
        ++hintsGiven;
        printf("Hint %d of %d: %s\n", (int)hintsGiven, (int)exercise.hints.size(),
               exercise.hints[hintsGiven - 1].c_str());
        if (hintsGiven == exercise.hints.size()) printf("n once more shows the solution.\n");
    } else {
        helped = true;
        printf("The solution (the exercise counts as solved with help from now on):\n");
        printFile(exercise.solutionVert);
        printFile(exercise.solutionFrag);
    }
    fflush(stdout);
}

void nextFailingProbe() {
    if (!active) return;
    std::vector<const ProbeResult*> failing;
    for (const ProbeResult& r : results)
        if (!r.passed) failing.push_back(&r);
    if (probeShown >= failing.size()) {
        useScene(ownScene);
        probeShown = 0;
        printf("The lesson's own scene again.\n");
    } else {
        const ProbeResult& r = *failing[probeShown++];
        PictureScene scene;
        if (probeScene(r.name, scene)) {
            useScene(scene);
            view.paused = true;
            printf("Probe %s: %s. %s (p: the next one)\n", r.name.c_str(), r.scene.c_str(),
                   r.means.c_str());
        }
    }
    fflush(stdout);
}

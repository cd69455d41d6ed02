// Practising an exercise in explore mode (`lesson_x --explore --exercise
// NAME`): every pair that builds is checked against the exercise's target in
// its probe scenes at once; the window shows the learner's picture beside the
// target's; keys give the hints one at a time and, last, the solution, and
// jump the view to a probe scene that fails. How far the learner got is
// reported; each front end keeps it in its own place.
#include <GL/glew.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "run.h"
#include "shaders.h"

namespace {

const char* profileName(const WayOfDrawing& way) {
    return way.shaderFolder[0] ? "core profile" : "GLSL 1.10";
}

// A file's text for the learner to read, under a line naming it.
void showFile(const std::string& path, Report& report) {
    report.say("---- %s\n", path.c_str());
    char* text = loadTextFile(path.c_str());
    report.solution.push_back({path, text ? text : ""});
    if (text) {
        report.say("%s", text);
        free(text);
    }
}

}  // namespace

Report LessonRun::startPractice(const Exercise& e, unsigned int target) {
    Report report;
    practice.exercise = e;
    practice.target = target;
    practice.active = true;
    practice.ownScene = scene;
    report.say(
        "Exercise %s (%s): %s\n%s\nYour picture is on the left, the target's on the right "
        "(d: where they differ). Every save that builds is checked in %d scenes.\n",
        e.name.c_str(), profileName(way), e.teaches.c_str(), e.statement.c_str(),
        (int)e.probes.size());
    // Where to start: the line of the learner's pair the exercise opens at.
    for (const std::string& text : e.opens) {
        int line = 0;
        const std::string* in = nullptr;
        for (const std::string* file : {&fileVert, &fileFrag}) {
            char* source = line ? NULL : loadTextFile(file->c_str());
            const char* at = source ? strstr(source, text.c_str()) : NULL;
            if (at) {
                line = 1;
                for (const char* c = source; c < at; ++c) line += *c == '\n';
                in = file;
            }
            free(source);
        }
        if (!line) continue;
        report.say("Start at line %d of %s: the line with %s\n", line, in->c_str(), text.c_str());
        break;
    }
    report.progress = "started";
    return report;
}

Report LessonRun::check(unsigned int program) {
    Report report;
    if (!practice.active) return report;
    practice.pictures.clear();
    practice.verdict =
        checkAnswer(practice.exercise, program, practice.target, 200, &practice.pictures, report);
    const std::vector<ProbeResult>& results = practice.verdict.probes;
    practice.probeShown = 0;
    report.checked = true;
    size_t passed = 0;
    for (const ProbeResult& r : results) passed += r.passed;
    report.say("Check: %d of %d probes pass.\n", (int)passed, (int)results.size());
    report.say("%s", resultLines(practice.verdict).c_str());
    if (allPassed(results)) {
        report.say(practice.helped
                       ? "Solved with help: every probe passes. Try it again later without.\n"
                       : "Solved: every probe passes.\n");
        if (!practice.exercise.next.empty())
            report.say("The next exercise: %s.\n", practice.exercise.next.c_str());
        report.progress = practice.helped ? "solved with help" : "solved";
    } else {
        report.say("p shows the first scene that fails; n gives a hint.\n");
    }
    return report;
}

// The right half as the difference between the learner's picture (the
// program drawing now) and the target's, in the scene as drawn now: both
// drawn off screen, compared, and the result copied into the window.
void LessonRun::drawDifference(int x, int w, int h) {
    std::vector<unsigned char> mine, theirs;
    Report unsaid;  // a driver that cannot draw off screen has no difference view
    if (!drawPicture(shaderProg, scene, w, h, mine, unsaid) ||
        !drawPicture(practice.target, scene, w, h, theirs, unsaid))
        return;
    std::vector<unsigned char> rgb = differencePicture(mine, theirs);
    putPixels(x, 0, w, h, rgb);
}

Report LessonRun::toggleDifference() {
    Report report;
    if (!practice.active) return report;
#ifndef __EMSCRIPTEN__
    if (!glBlitFramebuffer) {
        report.say("This driver cannot copy pictures between framebuffers: no difference view.\n");
        return report;
    }
#endif
    practice.difference = !practice.difference;
    practice.termShown = 0;
    report.say(practice.difference
                   ? "The right half shows where yours differs from the target (red).\n"
                   : "The right half shows the target again.\n");
    return report;
}

std::string termLabel(const std::string& name) {
    std::string label = name;
    for (char& c : label)
        if (c == '_') c = ' ';
    return label;
}

Report LessonRun::nextTerm() {
    Report report;
    const Exercise& e = practice.exercise;
    if (!practice.active) return report;
    if (e.terms.empty()) {
        report.say(
            "This exercise draws none of its target's terms as colours (t is for the lit ones).\n");
        return report;
    }
    if (practice.terms.empty()) {  // made once, at the first t
        char* vert = loadTextFile(e.solutionVert.c_str());
        char* frag = loadTextFile(e.solutionFrag.c_str());
        for (const KnownMistake& t : e.terms) {
            GLuint program = vert && frag ? buildVariant(e, t, vert, frag, "term", report) : 0;
            if (program && row.textures) bindSamplers(program);  // as the lesson binds its own
            practice.terms.push_back(program);
        }
        glUseProgram(shaderProg);
        free(vert);
        free(frag);
    }
    // The next term that built, or the target after the last.
    do {
        practice.termShown = (practice.termShown + 1) % (e.terms.size() + 1);
    } while (practice.termShown && !practice.terms[practice.termShown - 1]);
    practice.difference = false;
    if (!practice.termShown) {
        report.say("The right half shows the target again.\n");
        return report;
    }
    const KnownMistake& t = e.terms[practice.termShown - 1];
    report.say("The right half shows the target's %s as a colour (t: the next): %s\n",
               termLabel(t.name).c_str(), t.sentence.c_str());
    return report;
}

Report LessonRun::nextHint() {
    Report report;
    const std::vector<std::string>& hints = practice.exercise.hints;
    if (!practice.active) {
        report.say(
            "No exercise: ./run.sh --exercise NAME starts one (./run.sh --exercises lists "
            "them).\n");
    } else if (practice.hintsGiven < hints.size()) {
        ++practice.hintsGiven;
        report.hint = hints[practice.hintsGiven - 1];
        report.lastHint = practice.hintsGiven == hints.size();
        report.say("Hint %d of %d: %s\n", (int)practice.hintsGiven, (int)hints.size(),
                   hints[practice.hintsGiven - 1].c_str());
        if (practice.hintsGiven == hints.size()) report.say("n once more shows the solution.\n");
    } else {
        practice.helped = true;
        report.say("The solution (the exercise counts as solved with help from now on):\n");
        showFile(practice.exercise.solutionVert, report);
        showFile(practice.exercise.solutionFrag, report);
    }
    return report;
}

Report LessonRun::nextFailingProbe() {
    Report report;
    if (!practice.active) return report;
    std::vector<const ProbeResult*> failing;
    for (const ProbeResult& r : practice.verdict.probes)
        if (!r.passed) failing.push_back(&r);
    if (practice.probeShown >= failing.size()) {
        scene = practice.ownScene;
        practice.probeShown = 0;
        practice.probeShownName.clear();
        report.say("The lesson's own scene again.\n");
    } else {
        const ProbeResult& r = *failing[practice.probeShown++];
        Scene probed;
        if (probeScene(r.name, probed)) {
            scene = probed;
            paused = true;
            practice.probeShownName = r.name;
            report.say("Probe %s: %s. %s (p: the next one)\n", r.name.c_str(), r.scene.c_str(),
                       r.means.c_str());
        }
    }
    return report;
}

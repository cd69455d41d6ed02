// The running lesson as its owner keeps it: pictures, probes and a check
// draw their own scenes and leave the window's alone. The window's frame
// drawn after them, in a window wider than it is tall, is the frame drawn
// before them, pixel for pixel, with the same program installed and the same
// scene. Needs a display (it runs under the tests' Xvfb); reads the
// lesson's pair and images in FOLDER (the programs' own, build/bin).
//   run_test FOLDER LESSON [--core]
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "run.h"
#include "shaders.h"
#include "shell.h"

static int failures = 0;

static void expect(bool ok, const std::string& what) {
    if (!ok) {
        printf("FAIL: %s\n", what.c_str());
        ++failures;
    }
}

// The window's frame as the lesson draws it, read back before the swap.
static std::vector<unsigned char> windowFrame(LessonRun& run, int w, int h) {
    run.drawFrame();
    std::vector<unsigned char> rgb;
    readPixels(w, h, rgb);
    return rgb;
}

int main(int argc, char** argv) {
    bool core = argc > 3 && strcmp(argv[3], "--core") == 0;
    const LessonEntry* entry = nullptr;
    for (const LessonEntry& e : lessonTable)
        if (argc > 2 && strcmp(argv[2], e.name) == 0) entry = &e;
    if (!entry || chdir(argv[1]) != 0) {
        fprintf(stderr, "usage: run_test FOLDER LESSON [--core]\n");
        return 2;
    }
    static LessonRun run(*entry, core ? coreProfile : builtInState);
    driveLesson(run);
    const int w = 300, h = 200;
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(w, h);
    if (run.way.beforeWindow) run.way.beforeWindow();
    glutCreateWindow("run test");
    glewInit();
    if (run.way.afterGlew) run.way.afterGlew();
    setupShaders((char*)lessonFile(entry->row.vertexFile, run.way).c_str(),
                 (char*)lessonFile(entry->row.fragmentFile, run.way).c_str());
    if (entry->row.textures) {
        bindSamplers(run.shaderProg);
        setupTexture();
    }
    setupScene();
    run.reshape(w, h);
    run.scene.a = 20.0f;

    Scene before = run.scene;
    std::vector<unsigned char> first = windowFrame(run, w, h);

    // A picture of another size and scene, every probe's scene, and a check
    // of the lesson's own pair against itself.
    Report report;
    Scene other = run.scene;
    other.a = 75.0f;
    other.orbiting = true;
    other.yaw = 40.0f;
    other.look.surfaceColour[1] = 0.9f;
    std::vector<unsigned char> picture;
    expect(run.drawPicture(run.shaderProg, other, 120, 90, picture, report), "no picture drawn");
    Exercise e;
    for (const char* probe : {"seen", "orbit", "behind", "shininess", "scale", "images", "colours"})
        e.probes.push_back({probe, ""});
    std::vector<ProbeResult> results =
        run.checkAnswer(e, run.shaderProg, run.shaderProg, 64, nullptr, report).probes;
    for (const ProbeResult& r : results)
        expect(r.passed || r.scene == "no such probe in this lesson",
               "the pair differs from itself in " + r.name);

    GLint installed = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &installed);
    expect((GLuint)installed == run.shaderProg, "another program is installed afterwards");
    expect(memcmp(&before, &run.scene, sizeof before) == 0, "the window's scene changed");
    std::vector<unsigned char> again = windowFrame(run, w, h);
    size_t differing = 0;
    for (size_t i = 0; i < first.size(); ++i) differing += first[i] != again[i];
    expect(differing == 0, "the window's frame differs afterwards in " + std::to_string(differing) +
                               " of " + std::to_string(first.size()) + " bytes");
    // Practising: the right half is the target's, whatever the learner's
    // program draws on the left (here the lesson's own pair, then blue).
    const char* blue =
        core ? "#version 330 core\nlayout(location = 0) out vec4 fragColour;\n"
               "void main() { fragColour = vec4(0.0, 0.0, 1.0, 1.0); }\n"
             : "#version 110\nvoid main() { gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0); }\n";
    char* ownVert = loadTextFile(lessonFile(entry->row.vertexFile, run.way).c_str());
    PairSource learner;
    learner.fileVert = "learner.vert";
    learner.fileFrag = "learner.frag";
    learner.textVert = ownVert;
    learner.textFrag = blue;
    GLuint theirs = buildPair(learner, false).program;
    free(ownVert);
    expect(theirs != 0, "the learner's blue pair did not build");
    const GLuint lessons = run.shaderProg;
    run.startPractice(e, lessons);
    std::vector<unsigned char> same = windowFrame(run, w, h);
    run.shaderProg = theirs;
    glUseProgram(theirs);
    std::vector<unsigned char> mine = windowFrame(run, w, h);
    size_t left = 0, right = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x) {
            size_t i = (size_t)y * w * 3 + x;
            (x < w / 2 * 3 ? left : right) += same[i] != mine[i];
        }
    expect(left > 0 && right == 0,
           "practising, the learner's program changed the target's half in " +
               std::to_string(right) + " bytes (its own half in " + std::to_string(left) + ")");
    run.shaderProg = lessons;
    glUseProgram(lessons);
    glDeleteProgram(theirs);

    expect(glGetError() == GL_NO_ERROR, "OpenGL reported an error");
    printf(failures ? "%s: the running lesson's state did not hold\n"
                    : "%s: the window's frame is the same after pictures and a check\n",
           entry->name);
    return failures ? 1 : 0;
}

// The lesson shell: start-up, scene state, and the three GLUT callbacks.
// Every lesson runs this code, on the desktop and on the page; its row of
// the lesson table picks the variant, and the command line the way of
// drawing, once. The running lesson is one object, made here; the front end
// shows what it reports.
#include "shell.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "advice.h"
#include "exercises.h"
#include "lesson_table.h"
#include "frontend.h"
#include "options.h"
#include "run.h"

// The running lesson, for GLUT's callbacks, which carry no data of their own.
static LessonRun* run;

#ifdef _WIN32
#include <windows.h>

// The messages are UTF-8 ("** Błąd ładowania pliku *.vert"); a Windows
// console shows bytes through its own code page (852, 437, 1252...). The
// console is switched to UTF-8 for the lesson's life and given its own code
// page back at the end: every way out goes through exit(). The bytes written
// are the same either way, so a redirected output sees no change.
static UINT consoleCodePage;

static void restoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePage); }

static void useUtf8Console() {
    consoleCodePage = GetConsoleOutputCP();
    if (consoleCodePage == 0 || consoleCodePage == CP_UTF8) return;  // no console, or UTF-8 already
    if (SetConsoleOutputCP(CP_UTF8)) atexit(restoreConsoleCodePage);
}
#else
static void useUtf8Console() {}
#endif

// The lesson's own message on standard output, then the learner's advice on
// standard error, and the end of the lesson.
[[noreturn]] static void failAtStartUp(const char* message, const std::string& advice, int status) {
    puts(message);
    fflush(stdout);
    fputs(advice.c_str(), stderr);
    exit(status);
}

void setupScene() { run->setupScene(); }

// Returns only when the pair built; otherwise the lesson's message, the
// compiler's or linker's log, the advice, and the end. The vertex shader is
// the one told when both fail.
static void checkErrors(const BuildReport& report) {
    const char* stage = report.failedStage;
    const char* file = report.failedFile.c_str();
    switch (report.outcome) {
        case BuildReport::BUILT:
            return;
        case BuildReport::UNREADABLE:
            failAtStartUp(strcmp(stage, "vertex") == 0 ? "** Błąd ładowania pliku *.vert"
                                                       : "** Błąd ładowania pliku *.frag",
                          adviceShaderFile(stage, file, false), 1);
        case BuildReport::NOT_COMPILED:
            puts("GL_COMPILE_STATUS ERROR!");
            failAtStartUp(report.log.c_str(), adviceCompile(stage, file, false), 1);
        case BuildReport::NOT_LINKED:
            puts("GL_LINK_STATUS ERROR!");
            failAtStartUp(report.log.c_str(),
                          adviceLink(report.fileVert.c_str(), report.fileFrag.c_str(), false), 1);
    }
}

// The pair built and installed for the whole run, or the lesson ends.
void setupShaders(char* fileVert, char* fileFrag) {
    PairSource source;
    source.fileVert = fileVert;
    source.fileFrag = fileFrag;
    BuildReport report = buildPair(source, true);
    run->shaderVert = report.vert;
    run->shaderFrag = report.frag;
    run->shaderProg = report.program;
    checkErrors(report);
}

void setupTexture() {
    unsigned int* textures = run->scene.textures;
    glGenTextures(2, textures);
    for (int i = 0; i < 2; ++i) {
        char* fileName = (char*)(i == 0 ? "tex0.tga" : "tex1.tga");
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        if (!run->way.uploadImage(fileName))
            failAtStartUp("blad podczas wczytywania tekstury", adviceTexture(fileName), 1);
    }
}

void reshape(int w, int h) {
    run->reshape(w, h);
    display();
}

void display() {
    run->drawFrame();
    afterFrame(*run);
    run->advance();
    if (!run->paused) glutPostRedisplay();
    glutSwapBuffers();
}

void normalKeys(unsigned char key, int, int) {
    if (key == 27) exit(0);  // Escape
}

// Explore mode's keys and mouse, handed to the running lesson; what they
// change is shown and drawn.
static void pressed(int key, bool special) {
    Report report = run->press(key, special);
    show(*run, report);
    glutPostRedisplay();
}

static void exploreKeys(unsigned char key, int, int) { pressed(key, false); }
static void exploreSpecialKeys(int key, int, int) { pressed(key, true); }

static int dragX, dragY;
static bool dragging = false;
static bool dragged = false;  // the pointer moved since the button went down: no click

// A drag orbits the camera; a click (the button down and up in one place)
// says the colours under the pointer.
static void exploreMouse(int button, int state, int x, int y) {
    if (button != GLUT_LEFT_BUTTON) return;
    if (state == GLUT_UP && dragging && !dragged) show(*run, run->valuesAt(x, y));
    dragging = state == GLUT_DOWN;
    if (dragging) dragged = false;
    dragX = x;
    dragY = y;
}

static void exploreDrag(int x, int y) {
    if (!dragging) return;
    dragged = dragged || abs(x - dragX) > 2 || abs(y - dragY) > 2;
    if (!dragged) return;
    run->drag(x - dragX, y - dragY);
    dragX = x;
    dragY = y;
    glutPostRedisplay();
}

const LessonEntry& lessonOf(const Lesson& row) {
    for (const LessonEntry& e : lessonTable)
        if (strcmp(e.row.vertexFile, row.vertexFile) == 0) return e;
    return lessonTable[0];
}

LessonRun& runningLesson() { return *run; }

void driveLesson(LessonRun& lesson) { run = &lesson; }

void startExplore() {
    glutKeyboardFunc(exploreKeys);
    glutSpecialFunc(exploreSpecialKeys);
    glutMouseFunc(exploreMouse);
    glutMotionFunc(exploreDrag);
    Report report = run->startExplore();
    show(*run, report);
    followLearner(*run, report);
}

void startExercise(const Options& options) {
    Report report = practiseExercise(*run, options);
    glutReshapeWindow(800, 400);  // room for the target beside the learner's picture
    show(*run, report);
}

int startLesson(const LessonEntry& entry, int argc, char** argv) {
    Options options = readOptions(argc, argv);
    static LessonRun lesson(entry, *chooseWay(options.core));
    run = &lesson;
    if (options.listExercises) listExercises(options, lesson.way);  // no window for a list
    const Lesson& row = entry.row;
    const WayOfDrawing& way = run->way;
    useUtf8Console();
    if (options.exercise) {  // the learner's pair, before this window builds it
        std::string refused = checkedApart(options, lessonFile(row.vertexFile, way),
                                           lessonFile(row.fragmentFile, way));
        if (!refused.empty()) {
            fprintf(stderr, "Your pair (%s and %s) is not built: %s. Change it and start again.\n",
                    lessonFile(row.vertexFile, way).c_str(),
                    lessonFile(row.fragmentFile, way).c_str(), refused.c_str());
            exit(1);
        }
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(400, 400);
    if (way.beforeWindow) way.beforeWindow();
    glutCreateWindow((std::string(row.title) + way.titleSuffix).c_str());
    if (row.sceneBeforeGlew) setupScene();

    glewInit();  // a failed start shows up as the missing version below
    if (!glewIsSupported("GL_VERSION_2_0"))
        failAtStartUp("OpenGL 2.0 nie jest wspierany\n", adviceNoOpenGL2(), 1);
    if (way.afterGlew) way.afterGlew();

    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutKeyboardFunc(normalKeys);

    setupShaders((char*)lessonFile(row.vertexFile, way).c_str(),
                 (char*)lessonFile(row.fragmentFile, way).c_str());
    if (row.textures) {
        bindSamplers(run->shaderProg);
        setupTexture();
    }
    if (!row.sceneBeforeGlew) setupScene();

    beforeLoop(*run, options);
    glutMainLoop();
    return 0;
}

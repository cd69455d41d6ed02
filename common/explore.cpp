// Explore mode: one module beside the shell that owns every key but Escape,
// the mouse camera, the pause and the live shaders. The lesson's row stays the
// whole lesson: explore mode steers its one frame (the orbit between the
// camera and whatever the lesson places after the camera, the pause, the
// program, the built-in comparison, a screenshot after the draw).
#include "explore.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <string>
#include <vector>

#include "advice.h"
#include "drawing.h"
#include "lesson_table.h"
#include "places.h"
#include "practice.h"
#include "scene.h"
#include "watcher.h"

bool followSavedFiles = true;

namespace {

const float stepDegrees = 5.0f;    // one step of the turn while paused
const float orbitPerPixel = 0.5f;  // degrees of orbit per pixel dragged
const float pitchLimit = 89.0f;    // the orbit never looks from straight above or below

int dragX, dragY;
bool dragging = false;
std::string programName;  // names the screenshots

// The pair drawing now (or asked for last), its program, and its files.
const LessonEntry* pair;         // the lesson whose pair it is
std::string fileVert, fileFrag;  // as opened: data/'s files when the lesson runs in build/bin
GLuint current;                  // the program drawing the teapot
bool broken = false;             // the pair asked for does not build; the last good program draws
std::string awayFile;            // a file of the pair that is not there now, or ""

// Where explore mode reads a lesson's shader: the file in data/ itself when
// the lesson runs in the build's folder (whose copies the next build would
// overwrite), otherwise the file in the working folder. The same file
// whatever happens to it: one that is away is waited for, never swapped for
// the build's copy.
std::string watched(const char* name) {
    std::string fileName = lessonFile(name);
    std::string source = dataFileOf(fileName.c_str());
    return source.empty() ? fileName : source;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const LessonEntry& own() {
    for (const LessonEntry& e : lessonTable)
        if (strcmp(e.row.vertexFile, lesson->vertexFile) == 0) return e;
    return lessonTable[0];
}

void redraw() { glutPostRedisplay(); }

void updateTitle() {
    std::string title =
        std::string(lesson->title) + way->titleSuffix + " - " + own().name + ": " + lesson->subject;
    if (view.builtIn)
        title += " - built-in lighting";
    else if (pair == &own())
        title += " - " + baseName(fileVert) + ", " + baseName(fileFrag);
    else
        title += " - " + std::string(pair->name) + "'s " + baseName(fileVert) + ", " +
                 baseName(fileFrag);
    if (view.paused) title += " - paused";
    if (!awayFile.empty())
        title += " - waiting for " + baseName(awayFile);
    else if (broken)
        title += " - shader error";
    title += practiceTitle();
    glutSetWindowTitle(title.c_str());
}

// Whether any active uniform of the program passes `wanted`: the samplers,
// whatever their names, or the material, whichever way it is handed over.
bool hasUniform(GLuint program, bool (*wanted)(const char* name, GLenum type)) {
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, (GLuint)i, sizeof name, NULL, &size, &type, name);
        if (wanted(name, type)) return true;
    }
    return false;
}

bool isSampler(const char*, GLenum type) {
    static const GLenum samplers[] = {GL_SAMPLER_1D,        GL_SAMPLER_2D,
                                      GL_SAMPLER_3D,        GL_SAMPLER_CUBE,
                                      GL_SAMPLER_1D_SHADOW, GL_SAMPLER_2D_SHADOW,
                                      GL_SAMPLER_2D_RECT,   GL_SAMPLER_2D_RECT_SHADOW,
                                      GL_SAMPLER_1D_ARRAY,  GL_SAMPLER_2D_ARRAY,
                                      GL_SAMPLER_BUFFER,    GL_SAMPLER_CUBE_SHADOW,
                                      GL_INT_SAMPLER_2D,    GL_UNSIGNED_INT_SAMPLER_2D,
                                      GL_INT_SAMPLER_3D,    GL_UNSIGNED_INT_SAMPLER_3D};
    for (GLenum sampler : samplers)
        if (type == sampler) return true;
    return false;
}

// gl_FrontMaterial's highlight, or the core profile's uniforms for it.
bool isMaterial(const char* name, GLenum) {
    return strstr(name, "gl_FrontMaterial.s") || strcmp(name, "materialSpecular") == 0 ||
           strcmp(name, "materialShininess") == 0;
}

// The material of the lit lessons: what their shaders read as
// gl_FrontMaterial. A plain scene sets none (black, shininess 0), so another
// lesson's lit pair is given its own lesson's while it draws here.
void useMaterialOf(const Lesson& row) {
    static const float black[] = {0.0f, 0.0f, 0.0f, 1.0f};
    if (lesson->scene != SCENE_PLAIN) return;
    bool lit = row.scene != SCENE_PLAIN;
    memcpy(look.materialSpecular, lit ? mat_specular : black, sizeof look.materialSpecular);
    look.materialShininess = lit ? mat_shininess[0] : 0.0f;
    way->useLook();
}

// What differs between another lesson's pair drawing here and in its own lesson.
void sayWhatDiffers(const LessonEntry& e, GLuint program) {
    if (&e == &own()) return;
    if (lesson->scene == SCENE_PLAIN && e.row.scene != SCENE_PLAIN &&
        hasUniform(program, isMaterial))
        printf(
            "%s's shaders read the material's highlight (gl_FrontMaterial; in the core "
            "profile, materialSpecular), which %s's scene does not set: "
            "they get %s's own, a white highlight of shininess 50.\n",
            e.name, own().name, e.name);
    if (e.row.perFrameLight != lesson->perFrameLight) {
        const char* inScene =
            "given in the scene towards (0.5, 0.2, 1), so it stays put as you orbit";
        const char* inEye = "given in eye space towards (1, 1, 1), so it stays with the viewer";
        printf("The light is %s's, %s; %s's own is %s: the lit side is not where it is there.\n",
               own().name, lesson->perFrameLight ? inScene : inEye, e.name,
               e.row.perFrameLight ? inScene : inEye);
    }
    fflush(stdout);
}

// Says the pair was refused: the last good program goes on drawing.
void refused() {
    broken = true;
    fprintf(stderr, "Still drawing with the last program that worked.\n");
    updateTitle();
}

// A program that samples textures where the lesson binds none: refused.
bool needsTextures(GLuint program, const std::string& vert, const std::string& frag) {
    if (lesson->textures || !hasUniform(program, isSampler)) return false;
    fprintf(stderr,
            "%s and %s sample textures, which only the texturing lessons load: %s draws none.\n",
            vert.c_str(), frag.c_str(), own().name);
    return true;
}

// Draws with `program`, built from the pair of `e`, from the next frame.
void install(const LessonEntry& e, GLuint program) {
    installProgram(program, lesson->textures);
    glDeleteProgram(current);  // no longer in use: it goes
    current = program;
    useMaterialOf(e.row);
    broken = false;
    updateTitle();
    redraw();
}

// Whether a file of the pair is not there now (moved or renamed for a moment,
// a checkout of another branch, not made yet). The first time, it says so:
// the last program that built keeps drawing, and the pair is built again
// once the file is back.
bool pairAway() {
    std::string gone;
    for (const std::string* file : {&fileVert, &fileFrag}) {
        struct stat st;
        if (gone.empty() && stat(file->c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
            gone = *file;
    }
    if (gone != awayFile && !gone.empty()) {
        printf(
            "%s is not there now (moved, renamed, or not made yet): the window keeps the "
            "last program that built, and draws the pair again once the file is back.\n",
            wholePath(gone.c_str()).c_str());
        fflush(stdout);
    }
    awayFile = gone;
    if (!gone.empty()) updateTitle();
    return !gone.empty();
}

// In an exercise, the learner's own pair checked against the target.
void checkPractice(GLuint program) {
    practiceCheck(program);
    updateTitle();
}

// Builds the pair of `e` and draws with it from the next frame, or keeps the
// last program that worked. From now on the pair's files are the ones watched.
// `quiet`: a pair that does not build says nothing yet, and is tried again.
void usePair(const LessonEntry& e, bool quiet = false) {
    pair = &e;
    fileVert = watched(e.row.vertexFile);
    fileFrag = watched(e.row.fragmentFile);
    // The versions about to be read: a save that lands while this one builds
    // differs from them, and is built next.
    followPair(fileVert, fileFrag);
    if (pairAway()) return;
    GLuint program = buildProgram(fileVert.c_str(), fileFrag.c_str(), !quiet);
    if (!program && quiet) return retryLater();
    if (program && needsTextures(program, fileVert, fileFrag)) {
        glDeleteProgram(program);
        program = 0;
    }
    if (!program) return refused();
    install(e, program);
    printf("Drawing with %s and %s\n", fileVert.c_str(), fileFrag.c_str());
    fflush(stdout);
    sayWhatDiffers(e, program);
    if (&e == &own()) checkPractice(program);
}

void rebuild(bool quiet) { usePair(*pair, quiet); }

void sayBuiltIn() {
    if (!way->builtIn) {
        view.builtIn = false;
        printf(
            "There is no built-in lighting in the core profile: OpenGL keeps no light, "
            "material or matrices there, and draws only what the shaders compute. That is "
#ifdef __EMSCRIPTEN__
            "the lesson. The desktop's lessons compare with it: ./run.sh --explore LESSON.\n");
#else
            "the lesson. Run without --core to compare with it.\n");
#endif
        fflush(stdout);
    }
    if (!view.builtIn) return;
    printf(
        "Built-in lighting: OpenGL's own model at the vertices (Gouraud), ambient + diffuse + a "
        "white highlight of shininess 50, with this lesson's light%s. The shaders may "
        "compute less (the ambient lesson only the ambient term), or per fragment.\n",
        lesson->textures ? " and textures; the teapot gives OpenGL texture coordinates for "
                           "unit 0 only, so tex1.tga is laid on by coordinates made from the "
                           "vertices, and its pattern lies differently"
                         : "");
    fflush(stdout);
}

// The keys, once: each binding's key (a character, or GLUT's code for a
// special key), the action, and the help text printed from it. A binding for
// a run of keys (the lessons' numbers) covers `key` to `last`.
struct Binding {
    int key, last;
    bool special;      // GLUT_KEY_... rather than a character
    const char* name;  // as the help text shows it (the numbers': from the table)
    const char* help;
    void (*action)(int key);
};

void printKeys(int);

void togglePause(int) { view.paused = !view.paused; }
void step(int key) {
    float by = key == GLUT_KEY_LEFT ? -stepDegrees : stepDegrees;
    a = (float)fmod(a + by + 360.0, 360.0);
}
void cameraBack(int) { view.yaw = view.pitch = 0.0f; }
void toggleBuiltIn(int) {
    view.builtIn = !view.builtIn;
    sayBuiltIn();
}
// Another lesson's pair. A texturing pair where no textures are bound is
// refused before anything changes: the pair drawn, its files and the title
// stay as they are.
void otherPair(int key) {
    const LessonEntry& e = lessonTable[key - '1'];
    if (e.row.textures && !lesson->textures) {
        fprintf(stderr,
                "%s's shaders sample tex0.tga and tex1.tga, which only the texturing lessons "
                "load: %s goes on drawing with %s.\n",
                e.name, own().name, baseName(fileFrag).c_str());
        return;
    }
    usePair(e);
}
void snapshot(int) { takeScreenshot(programName.c_str()); }
void hint(int) { nextHint(); }
void failingProbe(int) { nextFailingProbe(); }
void difference(int) { toggleDifference(); }
void endLesson(int) {
#ifdef __EMSCRIPTEN__
    // The page's timers would keep a plain exit from ending the lesson.
    emscripten_force_exit(0);
#endif
    exit(0);
}

const Binding bindings[] = {
    {' ', ' ', false, "Space", "pause or resume the turn", togglePause},
    {GLUT_KEY_LEFT, GLUT_KEY_LEFT, true, "Left", "step the turn back by 5 degrees", step},
    {GLUT_KEY_RIGHT, GLUT_KEY_RIGHT, true, "Right", "step the turn on by 5 degrees", step},
    {0, -1, false, "drag", "orbit the camera round the teapot (the mouse's left button)", NULL},
    {'r', 'r', false, "r", "put the camera back", cameraBack},
    {'b', 'b', false, "b", "OpenGL's built-in lighting, or the shaders again", toggleBuiltIn},
    {'1', '0' + lessonCount, false, NULL, "another lesson's shaders:", otherPair},
#ifdef __EMSCRIPTEN__
    {'s', 's', false, "s", "download the picture as a PNG", snapshot},
#else
    {'s', 's', false, "s", "save the picture as a PNG in", snapshot},
#endif
    {'n', 'n', false, "n", "in an exercise: the next hint, and last the solution", hint},
    {'p', 'p', false, "p", "in an exercise: the view of a scene that fails, or back", failingProbe},
    {'d', 'd', false, "d", "in an exercise: where yours differs from the target, or the target",
     difference},
    {'h', 'h', false, "h", "these keys", printKeys},
    {27, 27, false, "Escape", "end", endLesson},
};

void printKeys(int) {
    printf("Explore mode. Keys:\n");
    for (const Binding& b : bindings) {
        char numbers[16];
        snprintf(numbers, sizeof numbers, "1-%d", lessonCount);
        printf("  %-12s %s", b.name ? b.name : numbers, b.help);
        if (b.action == otherPair)
            for (int i = 0; i < lessonCount; ++i) printf(" %d %s", i + 1, lessonTable[i].name);
#ifndef __EMSCRIPTEN__
        if (b.action == snapshot) printf(" %s", screenshotFolder().c_str());
#endif
        printf("\n");
    }
    fflush(stdout);
}

void press(int key, bool special) {
    for (const Binding& b : bindings)
        if (b.special == special && key >= b.key && key <= b.last && b.action) b.action(key);
    updateTitle();
    redraw();
}

void exploreKeys(unsigned char key, int, int) { press(key, false); }
void exploreSpecialKeys(int key, int, int) { press(key, true); }

void exploreMouse(int button, int state, int x, int y) {
    if (button != GLUT_LEFT_BUTTON) return;
    dragging = state == GLUT_DOWN;
    dragX = x;
    dragY = y;
}

void exploreDrag(int x, int y) {
    if (!dragging) return;
    view.yaw += (x - dragX) * orbitPerPixel;
    float pitch = view.pitch + (y - dragY) * orbitPerPixel;
    // Past straight above, the teapot would turn upside down and a sideways
    // drag turn it the other way: the orbit keeps its up direction.
    view.pitch = pitch > pitchLimit ? pitchLimit : pitch < -pitchLimit ? -pitchLimit : pitch;
    dragX = x;
    dragY = y;
    redraw();
}

}  // namespace

void startExplore(const char* program) {
    programName = baseName(program);
    if (programName.size() > 4 && programName.compare(programName.size() - 4, 4, ".exe") == 0)
        programName.resize(programName.size() - 4);
    adviseLive();
    // The whole scene turns under the fixed camera, so whatever comes after
    // the orbit (the per-frame light) turns with the scene, and a light given
    // in eye space stays with the viewer.
    view.orbiting = true;
    current = shaderProg;
    glutKeyboardFunc(exploreKeys);
    glutSpecialFunc(exploreSpecialKeys);
    glutMouseFunc(exploreMouse);
    glutMotionFunc(exploreDrag);
    printf("Explore mode: %s, %s.\n", own().name, lesson->subject);
    printKeys(0);
    // The lesson started with the files in its working folder; in the
    // build's folder, data/'s own are built now and watched from here on.
    pair = &own();
    fileVert = watched(lesson->vertexFile);
    fileFrag = watched(lesson->fragmentFile);
    if (fileVert != lessonFile(lesson->vertexFile)) {
        usePair(own());
    } else {
        followPair(fileVert, fileFrag);
        updateTitle();
    }
    if (!followSavedFiles) return;
    printf("Watching %s and %s: save either and the window shows it.\n",
           wholePath(fileVert.c_str()).c_str(), wholePath(fileFrag.c_str()).c_str());
    fflush(stdout);
    startWatching(rebuild);
}

void exploreKey(int key, bool special) { press(key, special); }

std::string watchedFile(bool fragment) { return fragment ? fileFrag : fileVert; }

bool useSources(const char* textVert, const char* textFrag, BuildReport* report) {
    GLuint program =
        buildProgramFromText(fileVert.c_str(), textVert, fileFrag.c_str(), textFrag, report);
    if (program && needsTextures(program, fileVert, fileFrag)) {
        glDeleteProgram(program);
        program = 0;
        report->built = false;
        report->diagnostics.push_back(
            {fileFrag, "fragment", 0,
             "it samples textures, which only the texturing lessons load: " +
                 std::string(own().name) + " draws none"});
    }
    if (!program) {
        broken = true;
        updateTitle();
        return false;
    }
    install(*pair, program);
    if (pair == &own()) checkPractice(program);
    return true;
}

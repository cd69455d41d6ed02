// Explore mode: one module beside the shell that owns every key but Escape,
// the mouse camera, the pause and the live shaders. The lesson's row stays the
// whole lesson: this draws the same scene, the same way, with the orbit put
// between the camera and whatever the lesson places after the camera.
#include "explore.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <string>
#include <vector>

#include "advice.h"
#include "core.h"
#include "lesson_table.h"
#include "places.h"
#include "png.h"
#include "shaders.h"
#include "shell.h"

namespace {

const float stepDegrees = 5.0f;    // one step of the turn while paused
const float orbitPerPixel = 0.5f;  // degrees of orbit per pixel dragged
const float pitchLimit = 89.0f;    // the orbit never looks from straight above or below
const int watchMilliseconds = 15;  // how often the shader files are looked at
// A save is built once its files have kept still this long: editors that
// truncate and then write are never caught half-way. A file that is gone
// waits longer, for editors that delete and then rename a new one in.
const int settleMilliseconds = 30;
const int goneMilliseconds = 500;
// A save that does not build is built once more before it is reported, after
// it has kept still this long: an editor held up half-way through its write
// (a busy machine) would otherwise have its half file reported.
const int retryMilliseconds = 300;
#ifdef _WIN32
const char separator = '\\';
#else
const char separator = '/';
#endif

bool paused = false;
bool builtIn = false;  // OpenGL's fixed-function lighting instead of the shaders
int dragX, dragY;
bool dragging = false;
bool snapshotWanted = false;
std::string programName;  // names the screenshots
int lastShot = 0;         // the number of the last screenshot's name tried

// What a file looked like: a change of any of these means it was saved
// (written in place, or another file renamed over it).
struct Stamp {
    long long seconds = -1, nanoseconds = 0, size = -1, inode = 0;
    bool operator==(const Stamp& o) const {
        return seconds == o.seconds && nanoseconds == o.nanoseconds && size == o.size &&
               inode == o.inode;
    }
    bool operator!=(const Stamp& o) const { return !(*this == o); }
    bool gone() const { return seconds < 0; }
};

Stamp stampOf(const std::string& file) {
    Stamp s;
    struct stat st;
    if (stat(file.c_str(), &st) != 0) return s;
    s.seconds = (long long)st.st_mtime;
#if defined(__linux__)
    s.nanoseconds = (long long)st.st_mtim.tv_nsec;
#endif
    s.size = (long long)st.st_size;
    s.inode = (long long)st.st_ino;
    return s;
}

// How long ago, in milliseconds, the file was last written; -1 when the
// clock cannot tell (then only a stamp that keeps still counts).
long long ageOf(const Stamp& s) {
#if defined(__linux__)
    struct timespec now;
    if (s.gone() || clock_gettime(CLOCK_REALTIME, &now) != 0) return -1;
    return ((long long)now.tv_sec - s.seconds) * 1000 + (now.tv_nsec - s.nanoseconds) / 1000000;
#else
    (void)s;
    return -1;
#endif
}

// The pair drawing now (or asked for last), its program, and its files.
const LessonEntry* pair;         // the lesson whose pair it is
std::string fileVert, fileFrag;  // as opened: data/'s files when the lesson runs in build/bin
Stamp builtVert, builtFrag;      // the versions built last, whether or not they worked
Stamp seenVert, seenFrag;        // the versions seen last, and since when
int seenSince = 0;
bool retryPending = false;  // the last save did not build, and was not reported yet
GLuint current;             // the program drawing the teapot
bool broken = false;        // the pair asked for does not build; the last good program draws

// Where explore mode reads a lesson's shader: the file in data/ itself when
// the lesson runs in the build's folder (whose copies the next build would
// overwrite), otherwise the file in the working folder.
std::string watched(const char* name) {
    std::string fileName = lessonFile(name);
    std::string source = sourceOf(fileName.c_str());
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
    std::string title = std::string(lesson->title) + " - " + own().name + ": " + lesson->subject;
    if (builtIn)
        title += " - built-in lighting";
    else if (pair == &own())
        title += " - " + baseName(fileVert) + ", " + baseName(fileFrag);
    else
        title += " - " + std::string(pair->name) + "'s " + baseName(fileVert) + ", " +
                 baseName(fileFrag);
    if (paused) title += " - paused";
    if (broken) title += " - shader error";
    glutSetWindowTitle(title.c_str());
}

// Whether the program reads a texture: any active uniform of a sampler type,
// whatever its name.
bool samplesTextures(GLuint program) {
    static const GLenum samplers[] = {GL_SAMPLER_1D,        GL_SAMPLER_2D,
                                      GL_SAMPLER_3D,        GL_SAMPLER_CUBE,
                                      GL_SAMPLER_1D_SHADOW, GL_SAMPLER_2D_SHADOW,
                                      GL_SAMPLER_2D_RECT,   GL_SAMPLER_2D_RECT_SHADOW,
                                      GL_SAMPLER_1D_ARRAY,  GL_SAMPLER_2D_ARRAY,
                                      GL_SAMPLER_BUFFER,    GL_SAMPLER_CUBE_SHADOW,
                                      GL_INT_SAMPLER_2D,    GL_UNSIGNED_INT_SAMPLER_2D,
                                      GL_INT_SAMPLER_3D,    GL_UNSIGNED_INT_SAMPLER_3D};
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, (GLuint)i, sizeof name, NULL, &size, &type, name);
        for (GLenum sampler : samplers)
            if (type == sampler) return true;
    }
    return false;
}

// The material of the lit lessons: what their shaders read as
// gl_FrontMaterial. A plain scene sets none (black, shininess 0), so another
// lesson's lit pair is given its own lesson's while it draws here.
void useMaterialOf(const Lesson& row) {
    static const GLfloat black[] = {0.0f, 0.0f, 0.0f, 1.0f};
    if (lesson->scene != SCENE_PLAIN) return;
    bool lit = row.scene != SCENE_PLAIN;
    litMaterial = lit;  // the core profile's uniforms
    if (coreProfile) return;
    glMaterialfv(GL_FRONT, GL_SPECULAR, lit ? mat_specular : black);
    glMaterialfv(GL_FRONT, GL_SHININESS, lit ? mat_shininess : black);
}

// What differs between another lesson's pair drawing here and in its own lesson.
void sayWhatDiffers(const LessonEntry& e) {
    if (&e == &own()) return;
    if (lesson->scene == SCENE_PLAIN && e.row.scene != SCENE_PLAIN)
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

// Builds the pair of `e` and draws with it from the next frame, or keeps the
// last program that worked. From now on the pair's files are the ones watched.
// `quiet`: a pair that does not build says nothing yet, and is tried again.
void usePair(const LessonEntry& e, bool quiet = false) {
    pair = &e;
    fileVert = watched(e.row.vertexFile);
    fileFrag = watched(e.row.fragmentFile);
    // The versions about to be read: a save that lands while this one builds
    // differs from them, and is built next.
    builtVert = seenVert = stampOf(fileVert);
    builtFrag = seenFrag = stampOf(fileFrag);
    retryPending = false;
    GLuint program = buildProgram(fileVert.c_str(), fileFrag.c_str(), !quiet);
    if (!program && quiet) {
        retryPending = true;
        return;
    }
    if (program && !lesson->textures && samplesTextures(program)) {
        fprintf(
            stderr,
            "%s and %s sample textures, which only the texturing lessons load: %s draws none.\n",
            fileVert.c_str(), fileFrag.c_str(), own().name);
        glDeleteProgram(program);
        program = 0;
    }
    if (!program) return refused();
    installProgram(program, lesson->textures);
    glDeleteProgram(current);  // no longer in use: it goes
    current = program;
    useMaterialOf(e.row);
    broken = false;
    printf("Drawing with %s and %s\n", fileVert.c_str(), fileFrag.c_str());
    fflush(stdout);
    sayWhatDiffers(e);
    updateTitle();
    redraw();
}

// Builds a saved pair once both files have kept still: a change that lands
// during a build is seen on the next look, since the build remembers the
// versions it read, not the ones on disk after it.
void watchFiles(int) {
    glutTimerFunc(watchMilliseconds, watchFiles, 0);
    Stamp v = stampOf(fileVert), f = stampOf(fileFrag);
    int now = glutGet(GLUT_ELAPSED_TIME);
    if (v != seenVert || f != seenFrag) {
        seenVert = v;
        seenFrag = f;
        seenSince = now;
    }
    if (v == builtVert && f == builtFrag) {
        if (retryPending && now - seenSince >= retryMilliseconds) usePair(*pair);
        return;
    }
    int wait = v.gone() || f.gone() ? goneMilliseconds : settleMilliseconds;
    bool still = now - seenSince >= wait;
    // The files' own times can say so at once.
    long long ageVert = ageOf(v), ageFrag = ageOf(f);
    if (!v.gone() && !f.gone() && ageVert >= wait && ageFrag >= wait) still = true;
    if (still) usePair(*pair, true);
}

// OpenGL's own lighting of the same scene: light 0 where the lesson put it,
// the pink current colour as ambient and diffuse colour (white under the
// textures, which give the colour, as in the shaders), the lessons' white
// highlight of shininess 50 added after the textures. Pushed and popped
// around the teapot, so the shaders' state is untouched.
void beginBuiltIn() {
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT);
    glUseProgram(0);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (lesson->textures) {
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, white);
        // The teapot gives texture coordinates to unit 0 only: unit 1 makes
        // its own from the vertices, so the light map lies differently.
        glActiveTexture(GL_TEXTURE1);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glActiveTexture(GL_TEXTURE0);
    } else {
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    }
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 50.0f);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
}

void endBuiltIn() {
    glPopAttrib();
    glUseProgram(current);
}

void sayBuiltIn() {
    if (coreProfile) {
        builtIn = false;
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
    if (!builtIn) return;
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

// The frame just drawn, before the swap, as a PNG named after the program,
// under the first number no file has.
void saveSnapshot() {
    snapshotWanted = false;
    int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
    // RGBA: the one form every OpenGL reads back, OpenGL ES (WebGL) included.
    std::vector<unsigned char> pixels((size_t)w * h * 4), rows((size_t)w * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (int y = 0; y < h; ++y)  // OpenGL's first row is the bottom one
        for (int x = 0; x < w; ++x)
            memcpy(&rows[((size_t)y * w + x) * 3], &pixels[((size_t)(h - 1 - y) * w + x) * 4], 3);
    std::string folder = screenshotFolder();
    for (;;) {
        char name[64];
        snprintf(name, sizeof name, "-%03d.png", ++lastShot);
        std::string path = folder + separator + programName + name;
        int why = writePNG(path.c_str(), w, h, rows.data());
        if (why == EEXIST) continue;  // taken, by an earlier run or another one
        if (why == 0)
            printf("Saved %s\n", path.c_str());
        else
            fprintf(stderr, "Could not save the screenshot %s: %s.\n", path.c_str(), strerror(why));
        fflush(stdout);
        return;
    }
}

void builtInTeapot() {
    beginBuiltIn();
    drawTeapot();
    endBuiltIn();
}

void exploreDisplay() {
    // The lesson's own frame, with the orbit: it turns the whole scene under
    // the fixed camera, so whatever comes after it (the per-frame light)
    // turns with the scene, and a light given in eye space stays with the viewer.
    drawScene(builtIn ? builtInTeapot : drawTeapot);
    if (snapshotWanted) saveSnapshot();
    // Turning, the next frame follows at once; held, a frame is drawn only
    // when something changes (a key, the orbit, a saved shader).
    if (!paused) {
        a = (GLfloat)fmod(a + 0.1, 360.0);
        redraw();
    }
    glutSwapBuffers();
}

void exploreReshape(int w, int h) {
    projection(w, h);
    redraw();
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

void togglePause(int) { paused = !paused; }
void step(int key) {
    float by = key == GLUT_KEY_LEFT ? -stepDegrees : stepDegrees;
    a = (GLfloat)fmod(a + by + 360.0, 360.0);
}
void cameraBack(int) { orbitYaw = orbitPitch = 0.0f; }
void toggleBuiltIn(int) {
    builtIn = !builtIn;
    sayBuiltIn();
}
void otherPair(int key) { usePair(lessonTable[key - '1']); }
void snapshot(int) { snapshotWanted = true; }
void end(int) {
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
    {'h', 'h', false, "h", "these keys", printKeys},
    {27, 27, false, "Escape", "end", end},
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
    orbitYaw += (x - dragX) * orbitPerPixel;
    float pitch = orbitPitch + (y - dragY) * orbitPerPixel;
    // Past straight above, the teapot would turn upside down and a sideways
    // drag turn it the other way: the orbit keeps its up direction.
    orbitPitch = pitch > pitchLimit ? pitchLimit : pitch < -pitchLimit ? -pitchLimit : pitch;
    dragX = x;
    dragY = y;
    redraw();
}

}  // namespace

bool exploreRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], "--explore") == 0) return true;
    return false;
}

void startExplore(const char* program) {
    programName = baseName(program);
    if (programName.size() > 4 && programName.compare(programName.size() - 4, 4, ".exe") == 0)
        programName.resize(programName.size() - 4);
    adviseLive();
    orbiting = true;
    current = shaderProg;
    glutReshapeFunc(exploreReshape);
    glutDisplayFunc(exploreDisplay);
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
        builtVert = seenVert = stampOf(fileVert);
        builtFrag = seenFrag = stampOf(fileFrag);
        updateTitle();
    }
#ifdef __EMSCRIPTEN__
    const char* watching =
        "Watching %s and %s: change either in the editor and the picture shows it.\n";
#else
    const char* watching = "Watching %s and %s: save either and the window shows it.\n";
#endif
    printf(watching, wholePath(fileVert.c_str()).c_str(), wholePath(fileFrag.c_str()).c_str());
    fflush(stdout);
    glutTimerFunc(watchMilliseconds, watchFiles, 0);
}

std::string watchedFile(bool fragment) { return fragment ? fileFrag : fileVert; }

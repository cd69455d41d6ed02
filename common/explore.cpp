// Explore mode: the learner's controls over the running lesson: every key
// but Escape, the mouse camera, the pause and the live shaders. The lesson's
// row stays the whole lesson: explore mode steers its one frame (the orbit
// between the camera and whatever the lesson places after the camera, the
// pause, the program, the built-in comparison). What each control changes
// comes back as a report, for the front ends to show.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "advice.h"
#include "folders.h"
#include "run.h"
#include "problems.h"

namespace {

const float stepDegrees = 5.0f;    // one step of the turn while paused
const float orbitPerPixel = 0.5f;  // degrees of orbit per pixel dragged
const float pitchLimit = 89.0f;    // the orbit never looks from straight above or below

// Where explore mode reads a lesson's shader: the file in data/ itself when
// the lesson runs in the build's folder (whose copies the next build would
// overwrite), otherwise the file in the working folder. The same file
// whatever happens to it: one that is away is waited for, never swapped for
// the build's copy.
std::string watched(const char* name, const WayOfDrawing& way) {
    std::string fileName = lessonFile(name, way);
    std::string source = dataFileOf(fileName.c_str());
    return source.empty() ? fileName : source;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether any active uniform of the program passes `wanted`: the samplers,
// whatever their names, or the material, whichever way it is handed over.
bool hasUniform(GLuint program, bool (*wanted)(const char* name, GLenum type)) {
    return !uniformsOf(program, wanted).empty();
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

// A sampler the lessons do not bind: they bind tex0 and tex1, by name.
bool isUnboundSampler(const char* name, GLenum type) {
    return isSampler(name, type) && strcmp(name, "tex0") != 0 && strcmp(name, "tex1") != 0;
}

// gl_FrontMaterial's highlight, or the core profile's uniforms for it.
bool isMaterial(const char* name, GLenum) {
    return strstr(name, "gl_FrontMaterial.s") || strcmp(name, "materialSpecular") == 0 ||
           strcmp(name, "materialShininess") == 0;
}

}  // namespace

std::string LessonRun::title() const {
    std::string title =
        std::string(row.title) + way.titleSuffix + " - " + entry.name + ": " + row.subject;
    if (builtIn)
        title += " - built-in lighting";
    else if (pair == &entry)
        title += " - " + baseName(fileVert) + ", " + baseName(fileFrag);
    else
        title += " - " + std::string(pair->name) + "'s " + baseName(fileVert) + ", " +
                 baseName(fileFrag);
    if (paused) title += " - paused";
    if (!awayFile.empty())
        title += " - waiting for " + baseName(awayFile);
    else if (broken)
        title += " - shader error";
    // In an exercise the title starts with it and how it stands, where a
    // window manager that cuts long titles keeps it.
    if (!practice.active) return title;
    const std::vector<ProbeResult>& probes = practice.verdict.probes;
    size_t passed = 0;
    for (const ProbeResult& r : probes) passed += r.passed;
    std::string state =
        probes.empty() ? "not checked yet"
        : passed < probes.size()
            ? std::to_string(passed) + " of " + std::to_string(probes.size()) + " scenes pass"
        : practice.helped ? "solved with help"
                          : "solved";
    return practice.exercise.name + ": " + state + " - " + title;
}

// The material of the lit lessons: what their shaders read as
// gl_FrontMaterial. A plain scene sets none (black, shininess 0), so another
// lesson's lit pair is given its own lesson's while it draws here.
void LessonRun::useMaterialOf(const Lesson& other) {
    static const float black[] = {0.0f, 0.0f, 0.0f, 1.0f};
    if (row.scene != SCENE_PLAIN) return;
    bool lit = other.scene != SCENE_PLAIN;
    memcpy(scene.look.materialSpecular, lit ? mat_specular : black,
           sizeof scene.look.materialSpecular);
    scene.look.materialShininess = lit ? mat_shininess[0] : 0.0f;
}

// What differs between another lesson's pair drawing here and in its own lesson.
void LessonRun::sayWhatDiffers(const LessonEntry& e, GLuint program, Report& report) {
    if (&e == &entry) return;
    if (row.scene == SCENE_PLAIN && e.row.scene != SCENE_PLAIN && hasUniform(program, isMaterial))
        report.say(
            "%s's shaders read the material's highlight (gl_FrontMaterial; in the core "
            "profile, materialSpecular), which %s's scene does not set: "
            "they get %s's own, a white highlight of shininess 50.\n",
            e.name, entry.name, e.name);
    if (e.row.perFrameLight != row.perFrameLight) {
        const char* inScene =
            "given in the scene towards (0.5, 0.2, 1), so it stays put as you orbit";
        const char* inEye = "given in eye space towards (1, 1, 1), so it stays with the viewer";
        report.say(
            "The light is %s's, %s; %s's own is %s: the lit side is not where it is there.\n",
            entry.name, row.perFrameLight ? inScene : inEye, e.name,
            e.row.perFrameLight ? inScene : inEye);
    }
}

void LessonRun::sayUnboundSamplers(GLuint program, Report& report) const {
    if (!row.textures) return;
    std::string unbound;
    for (const std::string& name : uniformsOf(program, isUnboundSampler))
        unbound += (unbound.empty() ? "" : " and ") + name;
    if (!unbound.empty())
        report.warn(
            "The shaders sample %s, which %s does not bind: it binds its samplers by name, tex0 to "
            "unit 0 (tex0.tga) and tex1 to unit 1 (tex1.tga). Name yours tex0 and tex1.\n",
            unbound.c_str(), entry.name);
}

// A program that samples textures where the lesson binds none: refused.
bool LessonRun::needsTextures(GLuint program, const std::string& vert, const std::string& frag,
                              Report& report) {
    if (row.textures || !hasUniform(program, isSampler)) return false;
    report.warn(
        "%s and %s sample textures, which only the texturing lessons load: %s draws none.\n",
        vert.c_str(), frag.c_str(), entry.name);
    return true;
}

// Draws with `program`, built from the pair of `e`, from the next frame; the
// program it replaces goes. In an exercise, the learner's own pair is
// checked against the target at once.
Report LessonRun::install(const LessonEntry& e, GLuint program) {
    glUseProgram(program);
    if (row.textures) bindSamplers(program);
    glDeleteProgram(shaderProg);  // no longer in use: it goes
    shaderProg = program;
    useMaterialOf(e.row);
    broken = false;
    Report report;
    sayUnboundSamplers(program, report);
    if (&e == &entry) report.add(check(program));
    return report;
}

// Whether a file of the pair is not there now (moved or renamed for a moment,
// a checkout of another branch, not made yet). The first time, it says so:
// the last program that built keeps drawing, and the pair is built again
// once the file is back.
bool LessonRun::pairAway(Report& report) {
    std::string gone;
    for (const std::string* file : {&fileVert, &fileFrag}) {
        struct stat st;
        if (gone.empty() && stat(file->c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
            gone = *file;
    }
    if (gone != awayFile && !gone.empty())
        report.say(
            "%s is not there now (moved, renamed, or not made yet): the window keeps the "
            "last program that built, and draws the pair again once the file is back.\n",
            wholePath(gone.c_str()).c_str());
    awayFile = gone;
    return !gone.empty();
}

void sayBuildFailure(const BuildReport& build, bool live, Report& report) {
    const char* stage = build.failedStage;
    const char* file = build.failedFile.c_str();
    if (build.outcome == BuildReport::UNREADABLE) {
        report.warn("%s", adviceShaderFile(stage, file, live).c_str());
    } else if (build.outcome == BuildReport::NOT_COMPILED) {
        report.warn("%s: the %s shader did not compile:\n%s", file, stage,
                    problemsText(problemsOf(build)).c_str());
        report.warn("%s", adviceCompile(stage, file, live).c_str());
    } else if (build.outcome == BuildReport::NOT_LINKED) {
        report.warn("%s + %s: the program did not link:\n%s", build.fileVert.c_str(),
                    build.fileFrag.c_str(), problemsText(problemsOf(build)).c_str());
        report.warn("%s", adviceLink(build.fileVert.c_str(), build.fileFrag.c_str(), live).c_str());
    }
}

// Builds the pair of `e` and draws with it from the next frame, or keeps the
// last program that worked. From now on the pair's files are the ones drawn.
// `quiet`: a pair that does not build says nothing yet, and is tried again.
Report LessonRun::usePair(const LessonEntry& e, bool quiet) {
    Report report;
    report.pairChanged = &e != pair;
    pair = &e;
    fileVert = watched(e.row.vertexFile, way);
    fileFrag = watched(e.row.fragmentFile, way);
    if (pairAway(report)) return report;
    PairSource source;
    source.fileVert = fileVert;
    source.fileFrag = fileFrag;
    report.built = true;
    report.build = buildPair(source, false);
    GLuint program = report.build.program;
    if (!program && quiet) return report;
    if (!program) sayBuildFailure(report.build, true, report);
    if (program && needsTextures(program, fileVert, fileFrag, report)) {
        glDeleteProgram(program);
        program = 0;
    }
    if (!program) {
        broken = true;
        report.warn("Still drawing with the last program that worked.\n");
        return report;
    }
    Report checked = install(e, program);
    report.say("Drawing with %s and %s\n", fileVert.c_str(), fileFrag.c_str());
    sayWhatDiffers(e, program, report);
    report.add(checked);
    return report;
}

Report LessonRun::rebuild(bool quiet) { return usePair(*pair, quiet); }

// An editor's text says nothing of a build that failed but its diagnostics,
// which the editor marks at their lines: it is built at every keystroke.
Report LessonRun::useSources(const char* textVert, const char* textFrag) {
    Report report;
    PairSource source;
    source.fileVert = fileVert;
    source.fileFrag = fileFrag;
    source.textVert = textVert;
    source.textFrag = textFrag;
    report.built = true;
    report.build = buildPair(source, false);
    GLuint program = report.build.program;
    if (program && needsTextures(program, fileVert, fileFrag, report)) {
        glDeleteProgram(program);
        program = 0;
        report.build.built = false;
        report.build.program = 0;
        report.build.diagnostics.push_back(
            {fileFrag, "fragment", 0,
             "it samples textures, which only the texturing lessons load: " +
                 std::string(entry.name) + " draws none"});
    }
    if (!program) {
        broken = true;
        return report;
    }
    report.add(install(*pair, program));
    return report;
}

// The keys, once: each binding's key (a character, or GLUT's code for a
// special key), the action, and the help text printed from it. A binding for
// a run of keys (the lessons' numbers) covers `key` to `last`.
struct Binding {
    int key, last;
    bool special;      // GLUT_KEY_... rather than a character
    const char* name;  // as the help text shows it (the numbers': from the table)
    const char* help;
    void (LessonRun::*action)(int key, Report& report);
};

const std::vector<Binding>& LessonRun::bindings() {
    static const std::vector<Binding> table = {
        {' ', ' ', false, "Space", "pause or resume the turn", &LessonRun::togglePause},
        {GLUT_KEY_LEFT, GLUT_KEY_LEFT, true, "Left", "step the turn back by 5 degrees",
         &LessonRun::step},
        {GLUT_KEY_RIGHT, GLUT_KEY_RIGHT, true, "Right", "step the turn on by 5 degrees",
         &LessonRun::step},
        {0, -1, false, "drag", "orbit the camera round the teapot (the mouse's left button)", NULL},
        {0, -1, false, "click", "the colours under the pointer, yours and the target's, as numbers",
         NULL},
        {'r', 'r', false, "r", "put the camera back", &LessonRun::cameraBack},
        {'b', 'b', false, "b", "OpenGL's built-in lighting, or the shaders again",
         &LessonRun::toggleBuiltIn},
        {'1', '0' + lessonCount, false, NULL, "another lesson's shaders:", &LessonRun::otherPair},
#ifdef __EMSCRIPTEN__
        {'s', 's', false, "s", "download the picture as a PNG", &LessonRun::snapshot},
#else
        {'s', 's', false, "s", "save the picture as a PNG in", &LessonRun::snapshot},
#endif
        {'n', 'n', false, "n", "in an exercise: the next hint, and last the solution",
         &LessonRun::hint},
        {'p', 'p', false, "p", "in an exercise: the view of a scene that fails, or back",
         &LessonRun::failingProbe},
        {'d', 'd', false, "d", "in an exercise: where yours differs from the target, or the target",
         &LessonRun::difference},
        {'t', 't', false, "t",
         "in a lit exercise: the target's terms as colours, one after another", &LessonRun::term},
        {'h', 'h', false, "h", "these keys", &LessonRun::printKeys},
        {27, 27, false, "Escape", "end", &LessonRun::endLesson},
    };
    return table;
}

void LessonRun::togglePause(int, Report&) { paused = !paused; }

void LessonRun::step(int key, Report&) {
    float by = key == GLUT_KEY_LEFT ? -stepDegrees : stepDegrees;
    scene.a = (float)fmod(scene.a + by + 360.0, 360.0);
}

void LessonRun::cameraBack(int, Report&) { scene.yaw = scene.pitch = 0.0f; }

void LessonRun::toggleBuiltIn(int, Report& report) {
    builtIn = !builtIn;
    if (!way.builtIn) {
        builtIn = false;
        report.say(
            "There is no built-in lighting in the core profile: OpenGL keeps no light, "
            "material or matrices there, and draws only what the shaders compute. That is "
#ifdef __EMSCRIPTEN__
            "the lesson. The desktop's lessons compare with it: ./run.sh --explore LESSON.\n");
#else
            "the lesson. Run without --core to compare with it.\n");
#endif
    }
    if (!builtIn) return;
    report.say(
        "Built-in lighting: OpenGL's own model at the vertices (Gouraud), ambient + diffuse + a "
        "white highlight of shininess 50, with this lesson's light%s. The shaders may "
        "compute less (the ambient lesson only the ambient term), or per fragment.\n",
        row.textures ? " and textures; the teapot gives OpenGL texture coordinates for "
                       "unit 0 only, so tex1.tga is laid on by coordinates made from the "
                       "vertices, and its pattern lies differently"
                     : "");
}

// Another lesson's pair. A texturing pair where no textures are bound is
// refused before anything changes: the pair drawn, its files and the title
// stay as they are.
void LessonRun::otherPair(int key, Report& report) {
    const LessonEntry& e = lessonTable[key - '1'];
    if (e.row.textures && !row.textures) {
        report.warn(
            "%s's shaders sample tex0.tga and tex1.tga, which only the texturing lessons "
            "load: %s goes on drawing with %s.\n",
            e.name, entry.name, baseName(fileFrag).c_str());
        return;
    }
    report.add(usePair(e));
}

void LessonRun::snapshot(int, Report& report) { report.screenshot = true; }
void LessonRun::hint(int, Report& report) { report.add(nextHint()); }
void LessonRun::failingProbe(int, Report& report) { report.add(nextFailingProbe()); }
void LessonRun::difference(int, Report& report) { report.add(toggleDifference()); }

void LessonRun::term(int, Report& report) { report.add(nextTerm()); }
void LessonRun::endLesson(int, Report& report) { report.end = true; }

void LessonRun::printKeys(int, Report& report) {
    report.say("Explore mode. Keys:\n");
    for (const Binding& b : bindings()) {
        char numbers[16];
        snprintf(numbers, sizeof numbers, "1-%d", lessonCount);
        std::string line = "  ";
        char start[64];
        snprintf(start, sizeof start, "%-12s ", b.name ? b.name : numbers);
        line += start + std::string(b.help);
        if (b.action == &LessonRun::otherPair)
            for (int i = 0; i < lessonCount; ++i)
                line += " " + std::to_string(i + 1) + " " + lessonTable[i].name;
#ifndef __EMSCRIPTEN__
        if (b.action == &LessonRun::snapshot) line += " " + screenshotFolder();
#endif
        report.say("%s\n", line.c_str());
    }
}

Report LessonRun::keys() const {
    Report report;
    const_cast<LessonRun*>(this)->printKeys(0, report);
    return report;
}

Report LessonRun::press(int key, bool special) {
    Report report;
    for (const Binding& b : bindings())
        if (b.special == special && key >= b.key && key <= b.last && b.action)
            (this->*b.action)(key, report);
    return report;
}

void LessonRun::drag(int dx, int dy) {
    scene.yaw += dx * orbitPerPixel;
    float pitch = scene.pitch + dy * orbitPerPixel;
    // Past straight above, the teapot would turn upside down and a sideways
    // drag turn it the other way: the orbit keeps its up direction.
    scene.pitch = pitch > pitchLimit ? pitchLimit : pitch < -pitchLimit ? -pitchLimit : pitch;
}

// A pixel's colour as a learner can compare it with a shader's numbers.
static std::string colourAt(const std::vector<unsigned char>& rgb, int w, int x, int y) {
    const unsigned char* p = &rgb[((size_t)y * w + x) * 3];
    char text[96];
    snprintf(text, sizeof text, "%.2f, %.2f, %.2f (%d, %d, %d of 255)", p[0] / 255.0, p[1] / 255.0,
             p[2] / 255.0, p[0], p[1], p[2]);
    return text;
}

Report LessonRun::valuesAt(int x, int y) {
    Report report;
    // In an exercise the window holds two pictures side by side, each of
    // half its width: the point is taken in its own half, in both.
    int w = practice.active ? width / 2 : width, h = height;
    int px = practice.active && x >= w ? x - w : x;
    if (practice.active && x >= w) w = width - w;
    if (px < 0 || y < 0 || px >= w || y >= h) return report;
    std::vector<unsigned char> mine, theirs;
    if (!drawPicture(shaderProg, scene, w, h, mine, report)) return report;
    std::string said = "At " + std::to_string(px) + ", " + std::to_string(y) + ": yours " +
                       colourAt(mine, w, px, y);
    if (practice.active && drawPicture(practice.target, scene, w, h, theirs, report))
        said += "; the target's " + colourAt(theirs, w, px, y);
    report.say("%s.\n", said.c_str());
    return report;
}

Report LessonRun::startExplore() {
    Report report;
    exploring = true;
    // The whole scene turns under the fixed camera, so whatever comes after
    // the orbit (the per-frame light) turns with the scene, and a light given
    // in eye space stays with the viewer.
    scene.orbiting = true;
    report.say("Explore mode: %s, %s.\n", entry.name, row.subject);
    report.add(keys());
    // The lesson started with the files in its working folder; in the
    // build's folder, data/'s own are built now and drawn from here on.
    pair = &entry;
    fileVert = watched(row.vertexFile, way);
    fileFrag = watched(row.fragmentFile, way);
    if (fileVert != lessonFile(row.vertexFile, way)) report.add(usePair(entry));
    return report;
}

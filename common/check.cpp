// Checking an answer against its target: the learner's pair and the
// target's, drawn off screen in each of the exercise's probe scenes, compared
// over the pixels the teapot covers in either picture, and with each of the
// exercise's known mistakes, which are drawn once while the lesson runs
// (see run.h).
#include <GL/glew.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "run.h"

namespace {

struct ProbeKind {
    const char* name;
    const char* scene;  // what the probe shows
    const char* means;  // what a failure there usually means, where the target is lit
    // and where it is not (no light to speak of: a texturing exercise)
    const char* unlitMeans;
};
const ProbeKind kinds[] = {
    {"seen", "the lesson's own view, the teapot turned by 30 degrees",
     "yours is not the target's: compare the two side by side",
     "yours is not the target's: compare the two side by side"},
    {"orbit", "the camera orbited 120 degrees round and 30 degrees up",
     "yours differs: is every direction in the same space (eye space)?",
     "yours differs as the camera goes round: are the teapot's own coordinates used, "
     "whatever the view?"},
    {"behind", "the light from behind the teapot",
     "your dark side is not the target's: is N·L clamped at zero, "
     "and is there no highlight where there is no light?",
     nullptr},
    {"grazing", "the light grazing the teapot from the side",
     "your shading differs: are the normal and the light's direction "
     "both of unit length?",
     nullptr},
    {"colours",
     "other colours for the light, the scene's ambient light, the material and the surface",
     "yours did not follow: is a colour written as a number where the "
     "light's, the material's or the surface's belongs?",
     "yours did not follow: is a colour written as a number where the surface's belongs?"},
    {"shininess", "another shininess (12 instead of 50)",
     "your highlight did not change: is the exponent written as a number?", nullptr},
    {"scale", "the teapot stretched unevenly (1.6 wide, 0.65 high)",
     "your light falls wrongly: are the normals turned with the normal matrix?",
     "yours differs when the teapot is stretched: are the texture coordinates the teapot's "
     "own, not made from its position?"},
    {"images", "other images, without the lessons' symmetries",
     "yours differs: are s and t, and the two units, used as the target uses them?",
     "yours differs: are s and t, and the two units, used as the target uses them?"},
};

const ProbeKind* kindOf(const std::string& name) {
    for (const ProbeKind& k : kinds)
        if (name == k.name) return &k;
    return nullptr;
}

// The built-in state's uniforms of the light, or the core profile's.
bool isLight(const char* name, GLenum) {
    return strstr(name, "gl_LightSource") || strstr(name, "gl_LightModel") ||
           strncmp(name, "light", 5) == 0 || strcmp(name, "sceneAmbient") == 0;
}

// Light 0 towards (x, y, z), as long as the lesson's own (their lengths are
// not 1, and an answer that forgets to normalise must still show).
void lightTowards(Scene& s, float x, float y, float z) {
    float length =
        sqrtf(s.light[0] * s.light[0] + s.light[1] * s.light[1] + s.light[2] * s.light[2]);
    float norm = sqrtf(x * x + y * y + z * z);
    s.light[0] = x / norm * length;
    s.light[1] = y / norm * length;
    s.light[2] = z / norm * length;
}

void setColour(float* colour, float r, float g, float b) {
    colour[0] = r;
    colour[1] = g;
    colour[2] = b;
    colour[3] = 1.0f;
}

// The program's picture on white and on black: where the two agree, the
// teapot covers the pixel (whatever colour the shaders gave it).
bool drawTwice(LessonRun& run, GLuint program, const Scene& s, int size, ProbeImages& images,
               Report& report) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    bool ok = run.drawPicture(program, s, size, size, images.black, report);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);  // the lessons' white again
    return ok && run.drawPicture(program, s, size, size, images.white, report);
}

}  // namespace

// Two images without the lessons' symmetries: red grows with s and green
// with t in the pattern; the light map is tinted and darker towards one
// corner. Made once, on texture names the lesson does not use otherwise.
void LessonRun::makeProbeImages() {
    GLuint* made = probeImages;
    if (!made[0]) {
        const int size = 64;
        std::vector<unsigned char> pattern(size * size * 3), light(size * size * 3);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                unsigned char* p = &pattern[(y * size + x) * 3];
                p[0] = (unsigned char)(x * 4);
                p[1] = (unsigned char)(y * 4);
                p[2] = (unsigned char)(200 - x * 2);
                unsigned char* l = &light[(y * size + x) * 3];
                l[0] = 255;
                l[1] = (unsigned char)(255 - y * 2);
                l[2] = (unsigned char)(140 + x);
            }
        glGenTextures(2, made);
        const unsigned char* pixels[2] = {pattern.data(), light.data()};
        for (int i = 0; i < 2; ++i) {
            glBindTexture(GL_TEXTURE_2D, made[i]);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         pixels[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

bool LessonRun::probeScene(const std::string& name, Scene& s) {
    s = scene;
    s.look = lessonLook;
    if (row.scene != SCENE_PLAIN) {
        memcpy(s.look.materialSpecular, mat_specular, sizeof s.look.materialSpecular);
        s.look.materialShininess = mat_shininess[0];
    }
    memcpy(s.light, row.perFrameLight ? light_pos : light_position, sizeof s.light);
    s.a = 30.0f;
    s.orbiting = false;
    s.yaw = s.pitch = 0.0f;
    if (name == "seen") {
    } else if (name == "orbit") {
        s.orbiting = true;
        s.yaw = 120.0f;
        s.pitch = 30.0f;
    } else if (name == "behind") {
        // From 164 degrees round: a highlight on the dark side shows at the
        // rim. Never straight behind, where the half vector would vanish.
        lightTowards(s, 0.25f, 0.15f, -1.0f);
    } else if (name == "grazing") {
        lightTowards(s, 1.0f, 0.15f, 0.1f);
    } else if (name == "colours") {
        setColour(s.look.surfaceColour, 0.45f, 0.75f, 0.9f);
        setColour(s.look.sceneAmbient, 0.3f, 0.22f, 0.15f);
        setColour(s.look.lightAmbient, 0.1f, 0.15f, 0.25f);
        setColour(s.look.lightDiffuse, 1.0f, 0.75f, 0.4f);
        setColour(s.look.lightSpecular, 0.5f, 0.8f, 1.0f);
        if (row.scene != SCENE_PLAIN) setColour(s.look.materialSpecular, 0.9f, 0.85f, 0.5f);
    } else if (name == "shininess") {
        s.look.materialShininess = 12.0f;
    } else if (name == "scale") {
        s.look.scale[0] = 1.6f;
        s.look.scale[1] = 0.65f;
    } else if (name == "images") {
        if (!row.textures) return false;
        makeProbeImages();
        s.textures[0] = probeImages[0];
        s.textures[1] = probeImages[1];
    } else {
        return false;
    }
    return true;
}

// `program`'s pictures in every probe of `e` (none for a probe that cannot
// be drawn).
std::vector<ProbeImages> LessonRun::drawProbes(const Exercise& e, unsigned int program, int size,
                                               Report& report) {
    if (row.textures) {  // tex0 and tex1 on units 0 and 1, as the lesson gives its own
        bindSamplers(program);
        glUseProgram(shaderProg);
    }
    std::vector<ProbeImages> drawn;
    for (const ExerciseProbe& probe : e.probes) {
        Scene probed;
        ProbeImages images;
        if (kindOf(probe.name) && probeScene(probe.name, probed) &&
            !drawTwice(*this, program, probed, size, images, report))
            images = ProbeImages{};
        drawn.push_back(images);
    }
    return drawn;
}

// The target's pictures and every known mistake's, made once for the
// exercise while the lesson runs: each mistake is the solution's text with
// its edits, built and drawn in every probe.
const DrawnExercise& LessonRun::drawExercise(const Exercise& e, unsigned int target, int size,
                                             Report& report) {
    for (const DrawnExercise& d : drawnExercises)
        if (d.name == e.name && d.size == size && d.target == target) return d;
    DrawnExercise d;
    d.name = e.name;
    d.size = size;
    d.target = target;
    d.lit = !uniformsOf(target, isLight).empty();
    d.probes = drawProbes(e, target, size, report);
    bool variants = !e.mistakes.empty() || !e.terms.empty();
    char* vert = variants ? loadTextFile(e.solutionVert.c_str()) : NULL;
    char* frag = variants ? loadTextFile(e.solutionFrag.c_str()) : NULL;
    for (const KnownMistake& m : e.mistakes) {
        if (!vert || !frag) break;
        GLuint program = buildVariant(e, m, vert, frag, "mistake", report);
        if (!program) continue;
        DrawnExercise::Mistake drawn;
        drawn.name = m.name;
        drawn.sentence = m.sentence;
        drawn.probes = drawProbes(e, program, size, report);
        for (size_t p = 0; p < drawn.probes.size(); ++p)
            drawn.fails.push_back(!compare(drawn.probes[p], d.probes[p]).same());
        glDeleteProgram(program);
        d.mistakes.push_back(drawn);
    }
    // The terms (drawn at t, while practising) must build too: a wrong one
    // is said as a wrong mistake is.
    for (const KnownMistake& t : e.terms)
        if (vert && frag) glDeleteProgram(buildVariant(e, t, vert, frag, "term", report));
    free(vert);
    free(frag);
    drawnExercises.push_back(d);
    return drawnExercises.back();
}

unsigned int buildVariant(const Exercise& e, const KnownMistake& v, const char* vert,
                          const char* frag, const char* what, Report& report) {
    std::string variantVert = vert, variantFrag = frag;
    PairSource source;
    source.fileVert = e.solutionVert + " (" + v.name + ")";
    source.fileFrag = e.solutionFrag + " (" + v.name + ")";
    BuildReport built;
    if (makeMistake(v, variantVert, variantFrag)) {
        source.textVert = variantVert.c_str();
        source.textFrag = variantFrag.c_str();
        built = buildPair(source, false);
    }
    if (!built.built)  // the exercises' file is wrong: said, and the variant left out
        report.warn("The exercise's %s %s does not %s.\n", what, v.name.c_str(),
                    built.fileVert.empty() ? "change its solution" : "build");
    return built.built ? built.program : 0;
}

Verdict LessonRun::checkAnswer(const Exercise& e, unsigned int answer, unsigned int target,
                               int size, std::vector<ProbePictures>* pictures, Report& report) {
    const DrawnExercise& drawn = drawExercise(e, target, size, report);
    std::vector<ProbeImages> mine = drawProbes(e, answer, size, report);
    Verdict verdict;
    for (size_t p = 0; p < e.probes.size(); ++p) {
        const ExerciseProbe& probe = e.probes[p];
        ProbeResult r;
        r.name = probe.name;
        const ProbeKind* kind = kindOf(probe.name);
        Scene probed;
        ProbePictures made;
        if (!kind || !probeScene(probe.name, probed)) {
            r.scene = "no such probe in this lesson";
            r.means = "the exercises' file names a probe this lesson cannot draw";
        } else if (mine[p].white.empty() || drawn.probes[p].white.empty()) {
            r.scene = kind->scene;
            r.means = "this driver cannot draw off screen";
        } else {
            r.scene = kind->scene;
            const char* means = drawn.lit ? kind->means : kind->unlitMeans;
            r.means = !probe.sentence.empty() ? probe.sentence : means ? means : kind->means;
            Comparison c = compare(mine[p], drawn.probes[p], &made.difference);
            r.covered = c.covered;
            r.differing = c.differing;
            r.spot = c.spotOnly();
            r.passed = c.same();
            made.answer = mine[p].white;
            made.target = drawn.probes[p].white;
        }
        if (pictures) pictures->push_back(made);
        verdict.probes.push_back(r);
    }
    if (allPassed(verdict.probes)) return verdict;

    // A known mistake whose pictures the answer's match in every probe.
    for (const DrawnExercise::Mistake& m : drawn.mistakes) {
        bool matches = true;
        for (size_t p = 0; p < mine.size() && matches; ++p)
            matches = !mine[p].white.empty() && compare(mine[p], m.probes[p]).same();
        if (matches) {
            verdict.mistake = m.name;
            verdict.likely = "Your pictures match a known mistake: " + m.sentence;
            return verdict;
        }
    }
    // Otherwise the failing scene that the fewest known mistakes fail tells
    // most; the others are only named. An answer that fails every scene is
    // simply not the target's yet: the first scene says so.
    size_t best = verdict.probes.size();
    int fewest = 0;
    bool failsAll = true;
    for (const ProbeResult& r : verdict.probes) failsAll = failsAll && !r.passed;
    for (size_t p = 0; p < verdict.probes.size(); ++p) {
        if (verdict.probes[p].passed) continue;
        if (failsAll) {
            best = p;
            break;
        }
        int failing = 0;
        for (const DrawnExercise::Mistake& m : drawn.mistakes) failing += m.fails[p];
        if (best == verdict.probes.size() || failing < fewest) {
            best = p;
            fewest = failing;
        }
    }
    const ProbeResult& told = verdict.probes[best];
    verdict.likely = "Most telling, " + told.scene + ": " + told.means;
    if (told.spot)  // right but for a few pixels together: no question of light or colour
        verdict.likely = "Most telling, " + told.scene +
                         ": yours differs from the target in one small spot (the difference "
                         "picture shows it in red): is something drawn there that the target "
                         "does not draw?";
    for (const ProbeResult& r : verdict.probes)
        if (!r.passed && &r != &told) verdict.alsoDiffers.push_back(r.name);
    return verdict;
}

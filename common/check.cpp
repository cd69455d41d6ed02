// Checking an answer against its target: the learner's pair and the
// target's, drawn off screen in each of the exercise's probe scenes, compared
// over the pixels the teapot covers in either picture (see run.h).

#include <GL/glew.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "run.h"

namespace {

// An answer passes a probe when no more than this share of the pixels the
// teapot covers (in either picture) differ: the silhouette's edge pixels
// may fall either way when an answer computes the position its own way.
const double shareTolerance = 0.005;

struct ProbeKind {
    const char* name;
    const char* scene;  // what the probe shows
    const char* means;  // what a failure there usually means
};
const ProbeKind kinds[] = {
    {"seen", "the lesson's own view, the teapot turned by 30 degrees",
     "yours is not the target's: compare the two side by side"},
    {"orbit", "the camera orbited 120 degrees round and 30 degrees up",
     "yours differs: is every direction in the same space (eye space)?"},
    {"behind", "the light from behind the teapot",
     "your dark side is not the target's: is N·L clamped at zero, "
     "and is there no highlight where there is no light?"},
    {"grazing", "the light grazing the teapot from the side",
     "your shading differs: are the normal and the light's direction "
     "both of unit length?"},
    {"colours",
     "other colours for the light, the scene's ambient light, the material and the surface",
     "yours did not follow: is a colour written as a number where the "
     "light's, the material's or the surface's belongs?"},
    {"shininess", "another shininess (12 instead of 50)",
     "your highlight did not change: is the exponent written as a number?"},
    {"scale", "the teapot stretched unevenly (1.6 wide, 0.65 high)",
     "your light falls wrongly: are the normals turned with the normal matrix?"},
    {"images", "other images, without the lessons' symmetries",
     "yours differs: are s and t, and the two units, used as the target uses them?"},
};

const ProbeKind* kindOf(const std::string& name) {
    for (const ProbeKind& k : kinds)
        if (name == k.name) return &k;
    return nullptr;
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
bool drawTwice(LessonRun& run, GLuint program, const Scene& s, int size,
               std::vector<unsigned char>& onWhite, std::vector<unsigned char>& onBlack,
               Report& report) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    bool ok = run.drawPicture(program, s, size, size, onBlack, report);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);  // the lessons' white again
    return ok && run.drawPicture(program, s, size, size, onWhite, report);
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

std::vector<ProbeResult> LessonRun::checkAnswer(const Exercise& e, unsigned int answer,
                                                unsigned int target, int size,
                                                std::vector<ProbePictures>* pictures,
                                                Report& report) {
    std::vector<ProbeResult> results;
    if (row.textures) {  // tex0 and tex1 on units 0 and 1, as the lesson gives its own
        bindSamplers(answer);
        bindSamplers(target);
        glUseProgram(shaderProg);
    }
    for (const ExerciseProbe& probe : e.probes) {
        ProbeResult r;
        r.name = probe.name;
        const ProbeKind* kind = kindOf(probe.name);
        Scene probed;
        if (!kind || !probeScene(probe.name, probed)) {
            r.scene = "no such probe in this lesson";
            r.means = "the exercises' file names a probe this lesson cannot draw";
            if (pictures) pictures->push_back(ProbePictures{});
            results.push_back(r);
            continue;
        }
        r.scene = kind->scene;
        r.means = probe.sentence.empty() ? kind->means : probe.sentence;
        std::vector<unsigned char> answerWhite, answerBlack, targetWhite, targetBlack;
        if (!drawTwice(*this, answer, probed, size, answerWhite, answerBlack, report) ||
            !drawTwice(*this, target, probed, size, targetWhite, targetBlack, report)) {
            r.means = "this driver cannot draw off screen";
            if (pictures) pictures->push_back(ProbePictures{});
            results.push_back(r);
            continue;
        }
        ProbePictures made;
        made.difference.assign(answerWhite.size(), 255);
        for (size_t i = 0; i < answerWhite.size(); i += 3) {
            bool answerCovers = memcmp(&answerWhite[i], &answerBlack[i], 3) == 0;
            bool targetCovers = memcmp(&targetWhite[i], &targetBlack[i], 3) == 0;
            if (!answerCovers && !targetCovers) continue;
            ++r.covered;
            if (pixelsDiffer(&answerWhite[i], &targetWhite[i])) ++r.differing;
            markDifference(&answerWhite[i], &targetWhite[i], &made.difference[i]);
        }
        r.passed = r.covered > 0 && r.differing <= shareTolerance * r.covered;
        if (pictures) {
            made.answer = answerWhite;
            made.target = targetWhite;
            pictures->push_back(made);
        }
        results.push_back(r);
    }
    return results;
}

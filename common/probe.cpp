// How one probe's pictures compare (see probe.h).
#include "probe.h"

#include "json.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// A pixel differs when one of its channels differs by more than this many
// steps of 255. The same pair drawn by two drivers (llvmpipe, SwiftShader)
// or in the two profiles differs by at most a few steps at the teapot's
// edges; an equivalent answer (normalize in another place, clamp for max)
// by a step or two of rounding. Each near miss in the tests' set of answers
// moves some pixels by far more than this in at least one probe.
const int pixelTolerance = 12;
// An answer passes a probe when no more than this share of the pixels the
// teapot covers (in either picture) differ: the silhouette's edge pixels
// may fall either way when an answer computes the position its own way.
const double shareTolerance = 0.005;
// ...and no spot of them: differing pixels whose four neighbours all differ
// too are a patch, not an edge (an edge that falls the other way is a line
// one or two pixels wide, with none). A spot the size of a highlight (a few
// pixels across at the probes' 200 × 200) has more than this many.
const long patchTolerance = 6;

// How far apart two pixels are: their channels' largest difference.
int worstOf(const unsigned char* a, const unsigned char* b) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) {
        int d = abs(a[c] - b[c]);
        if (d > worst) worst = d;
    }
    return worst;
}

// A difference picture's pixel: red, the deeper the further apart the
// answer's and the target's; the target's own faded where they agree.
void markDifference(const unsigned char* answer, const unsigned char* target, unsigned char* out) {
    int worst = worstOf(answer, target);
    if (worst > pixelTolerance) {
        out[0] = 255;  // full red from 64 steps apart; paler below
        out[1] = out[2] = (unsigned char)(worst >= 64 ? 0 : 160 - worst * 160 / 64);
    } else {
        for (int c = 0; c < 3; ++c) out[c] = (unsigned char)(192 + target[c] / 4);
    }
}

}  // namespace

bool Comparison::spotOnly() const {
    return covered > 0 && differing <= shareTolerance * covered && patch > patchTolerance;
}

bool Comparison::same() const {
    return covered > 0 && differing <= shareTolerance * covered && patch <= patchTolerance;
}

Comparison compare(const ProbeImages& a, const ProbeImages& b,
                   std::vector<unsigned char>* difference) {
    Comparison c;
    size_t size = a.white.size();
    if (b.white.size() != size || a.black.size() != size || b.black.size() != size) return c;
    if (difference) difference->assign(size, 255);
    std::vector<unsigned char> differs(size / 3, 0);
    for (size_t i = 0; i < size; i += 3) {
        bool aCovers = memcmp(&a.white[i], &a.black[i], 3) == 0;
        bool bCovers = memcmp(&b.white[i], &b.black[i], 3) == 0;
        if (!aCovers && !bCovers) continue;
        ++c.covered;
        if (worstOf(&a.white[i], &b.white[i]) > pixelTolerance) {
            ++c.differing;
            differs[i / 3] = 1;
        }
        if (difference) markDifference(&a.white[i], &b.white[i], &(*difference)[i]);
    }
    // The pictures are square: a pixel's neighbours are one row up and down.
    size_t side = 0;
    while ((side + 1) * (side + 1) <= differs.size()) ++side;
    if (side * side != differs.size()) return c;
    for (size_t y = 1; y + 1 < side; ++y)
        for (size_t x = 1; x + 1 < side; ++x) {
            size_t p = y * side + x;
            if (differs[p] && differs[p - 1] && differs[p + 1] && differs[p - side] &&
                differs[p + side])
                ++c.patch;
        }
    return c;
}

std::vector<unsigned char> differencePicture(const std::vector<unsigned char>& answer,
                                             const std::vector<unsigned char>& target) {
    std::vector<unsigned char> out(target.size());
    for (size_t i = 0; i + 2 < target.size() && i + 2 < answer.size(); i += 3)
        markDifference(&answer[i], &target[i], &out[i]);
    return out;
}

bool allPassed(const std::vector<ProbeResult>& results) {
    for (const ProbeResult& r : results)
        if (!r.passed) return false;
    return !results.empty();
}

std::string resultLines(const Verdict& verdict) {
    std::string text;
    if (!verdict.likely.empty()) {
        text += verdict.likely;
        if (!strchr(".?!", text.back())) text += ".";
        if (!verdict.alsoDiffers.empty()) {
            text += " Also differs in: ";
            for (size_t i = 0; i < verdict.alsoDiffers.size(); ++i)
                text += (i ? "; " : "") + verdict.alsoDiffers[i];
            text += ".";
        }
        text += "\n";
    }
    for (const ProbeResult& r : verdict.probes) {
        char name[32], counts[64];
        snprintf(name, sizeof name, "%-9s", r.name.c_str());
        if (r.spot)  // failed by a spot, not by how many
            snprintf(counts, sizeof counts, " (%ld of %ld pixels differ, in a spot)", r.differing,
                     r.covered);
        else
            snprintf(counts, sizeof counts, " (%ld of %ld pixels differ)", r.differing, r.covered);
        text += (r.passed ? "pass  " : "FAIL  ") + std::string(name) + "  " + r.scene +
                (r.passed ? "" : counts) + "\n";
    }
    return text;
}

void addVerdict(Json& object, const Verdict& verdict) {
    Json probes('[');
    for (const ProbeResult& r : verdict.probes) {
        char share[32];
        snprintf(share, sizeof share, "%.6f", r.covered ? (double)r.differing / r.covered : 1.0);
        probes.item(Json('{')
                        .string("name", r.name)
                        .string("scene", r.scene)
                        .string("means", r.means)
                        .boolean("passed", r.passed)
                        .number("differing", r.differing)
                        .boolean("spot", r.spot)
                        .number("covered", r.covered)
                        .field("share", share)
                        .done());
    }
    Json also('[');
    for (const std::string& name : verdict.alsoDiffers) also.item(quoted(name));
    object.boolean("passed", allPassed(verdict.probes))
        .field("probes", probes.done())
        .field("mistake", verdict.mistake.empty() ? "null" : quoted(verdict.mistake))
        .field("likely", verdict.likely.empty() ? "null" : quoted(verdict.likely))
        .field("alsoDiffers", also.done());
}

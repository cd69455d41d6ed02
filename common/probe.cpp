// How one probe's pictures compare (see probe.h).
#include "probe.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

// A pixel differs when one of its channels differs by more than this many
// steps of 255. The same pair drawn by two drivers (llvmpipe, SwiftShader)
// or in the two profiles differs by at most a few steps at the teapot's
// edges; an equivalent answer (normalize in another place, clamp for max)
// by a step or two of rounding. Each near miss in the tests' set of answers
// moves some pixels by far more than this in at least one probe.
const int pixelTolerance = 12;
// How far apart two pixels are: their channels' largest difference.
int worstOf(const unsigned char* a, const unsigned char* b) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) {
        int d = abs(a[c] - b[c]);
        if (d > worst) worst = d;
    }
    return worst;
}

}  // namespace

bool pixelsDiffer(const unsigned char* a, const unsigned char* b) {
    return worstOf(a, b) > pixelTolerance;
}

void markDifference(const unsigned char* answer, const unsigned char* target, unsigned char* out) {
    int worst = worstOf(answer, target);
    if (worst > pixelTolerance) {
        out[0] = 255;  // full red from 64 steps apart; paler below
        out[1] = out[2] = (unsigned char)(worst >= 64 ? 0 : 160 - worst * 160 / 64);
    } else {
        for (int c = 0; c < 3; ++c) out[c] = (unsigned char)(192 + target[c] / 4);
    }
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

std::string resultLines(const std::vector<ProbeResult>& results) {
    std::string text;
    for (const ProbeResult& r : results) {
        char name[32], counts[64];
        snprintf(name, sizeof name, "%-9s", r.name.c_str());
        snprintf(counts, sizeof counts, " (%ld of %ld pixels differ)", r.differing, r.covered);
        text += (r.passed ? "pass  " : "FAIL  ") + std::string(name) + "  " + r.scene +
                (r.passed ? "" : ": " + r.means + counts) + "\n";
    }
    return text;
}

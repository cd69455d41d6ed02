// A learner's pair checked by a lesson of its own before the window builds
// it: a shader that crashes the driver's compiler, or never finishes a
// frame, costs that other process, not the learner's window.
#pragma once

#include <string>

#include "options.h"

// Runs this program as `--check` of the options' exercise on VERT and FRAG,
// for at most CHECK_SECONDS (20 by default). "" when that check ended by
// itself (whatever its verdict); otherwise why not, for the learner.
std::string checkApart(const Options& options, const std::string& vert, const std::string& frag);

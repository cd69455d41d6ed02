// Where a lesson's files are, as the learner should be told: the folder it
// runs in, and, when that is the build's own programs' folder, the project's
// data/ (whose shaders the build copies there) and out/ (for screenshots).
#pragma once

#include <string>

// The folder the lesson was started in, as a whole path.
const char* workingFolder();

// Whether the lesson runs in the build's programs' folder (build/bin), where
// the shaders are copies the next build overwrites.
bool inBuildFolder();

// The file in data/ whose copy the build places as `fileName` (a name in the
// working folder), there now or not; "" when the lesson runs elsewhere.
std::string dataFileOf(const char* fileName);

// The file in data/ that the build copied to `fileName` (a name in the
// working folder), or "" when the lesson runs elsewhere or data/ has none.
std::string sourceOf(const char* fileName);

// The whole path of `fileName`, a name relative to the working folder (an
// absolute name stays as it is).
std::string wholePath(const char* fileName);

// The folder for screenshots: the project's out/ when the lesson runs in the
// build's folder (nothing there is removed by a build or a run), otherwise the
// working folder.
std::string screenshotFolder();

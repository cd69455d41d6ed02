// Following a pair of shader files as a learner saves them: a save is built
// once its files have kept still, so an editor that truncates and then
// writes, or removes and renames a new file in, is never caught half-way.
#pragma once

#include <string>

// From now on these two files are followed; the versions on disk now are
// the ones about to be built.
void followPair(const std::string& fileVert, const std::string& fileFrag);

// The build just made from the followed files failed without a word: build
// them once more when they have kept still a little longer, and report then.
void retryLater();

// Looks at the files a few times a second from GLUT's timer, and calls
// `build` when a save has settled: quietly (`quiet` true: a failure is
// retried before it is reported), or to report.
void startWatching(void (*build)(bool quiet));

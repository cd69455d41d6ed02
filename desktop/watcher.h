// Following a pair of shader files as a learner saves them: a save is built
// once its files have kept still, so an editor that truncates and then
// writes, or removes and renames a new file in, is never caught half-way.
#pragma once

#include <string>

#include "file_status.h"

class Watcher {
   public:
    // What a look at the files asks for.
    enum Ask {
        NOTHING,
        BUILD_QUIETLY,  // a save has settled: build it; a failure is tried again first
        BUILD,          // the failure just tried again: build it, and report
    };

    // From now on these two files are followed; `builtVert` and `builtFrag`
    // are the versions just built (or read), whether or not they worked.
    void follow(const std::string& fileVert, const std::string& fileFrag,
                const FileStamp& builtVert, const FileStamp& builtFrag);

    // The build just made from the followed files failed without a word:
    // build them once more when they have kept still a little longer.
    void retryLater() { retryPending = true; }

    // Looks at the files, `now` milliseconds into the run.
    Ask look(int now);

   private:
    std::string fileVert, fileFrag;  // the files followed
    FileStamp builtVert, builtFrag;  // the versions built last, whether or not they worked
    FileStamp seenVert, seenFrag;    // the versions seen last, and since when
    int seenSince = 0;
    bool retryPending = false;  // the last save did not build, and was not reported yet
};

// Following a pair of shader files as a learner saves them (see watcher.h).
#include "watcher.h"

#include <time.h>

namespace {

// A save is built once its files have kept still this long: editors that
// truncate and then write are never caught half-way. A file that is gone
// waits longer, for editors that delete and then rename a new one in.
const int settleMilliseconds = 30;
const int goneMilliseconds = 500;
// A save that does not build is built once more before it is reported, after
// it has kept still this long: an editor held up half-way through its write
// (a busy machine) would otherwise have its half file reported.
const int retryMilliseconds = 300;

// How long ago, in milliseconds, the file was last written; -1 when the
// clock cannot tell (then only a stamp that keeps still counts).
long long ageOf(const FileStamp& s) {
#if defined(__linux__)
    struct timespec now;
    if (s.gone() || clock_gettime(CLOCK_REALTIME, &now) != 0) return -1;
    return ((long long)now.tv_sec - s.seconds) * 1000 + (now.tv_nsec - s.nanoseconds) / 1000000;
#else
    (void)s;
    return -1;
#endif
}

}  // namespace

void Watcher::follow(const std::string& vert, const std::string& frag, const FileStamp& stampVert,
                     const FileStamp& stampFrag) {
    fileVert = vert;
    fileFrag = frag;
    builtVert = seenVert = stampVert;
    builtFrag = seenFrag = stampFrag;
    retryPending = false;
}

// A saved pair is built once both files have kept still: a change that lands
// during a build is seen on the next look, since the build remembers the
// versions it read, not the ones on disk after it.
Watcher::Ask Watcher::look(int now) {
    FileStamp v = stampOf(fileVert.c_str()), f = stampOf(fileFrag.c_str());
    if (v != seenVert || f != seenFrag) {
        seenVert = v;
        seenFrag = f;
        seenSince = now;
    }
    if (v == builtVert && f == builtFrag) {
        if (retryPending && now - seenSince >= retryMilliseconds) {
            retryPending = false;
            return BUILD;
        }
        return NOTHING;
    }
    int wait = v.gone() || f.gone() ? goneMilliseconds : settleMilliseconds;
    bool still = now - seenSince >= wait;
    // The files' own times can say so at once.
    long long ageVert = ageOf(v), ageFrag = ageOf(f);
    if (!v.gone() && !f.gone() && ageVert >= wait && ageFrag >= wait) still = true;
    return still ? BUILD_QUIETLY : NOTHING;
}

// Following a pair of shader files as a learner saves them (see watcher.h).
#include "watcher.h"

#include <GL/freeglut.h>
#include <sys/stat.h>
#include <time.h>

namespace {

const int watchMilliseconds = 15;  // how often the shader files are looked at
// A save is built once its files have kept still this long: editors that
// truncate and then write are never caught half-way. A file that is gone
// waits longer, for editors that delete and then rename a new one in.
const int settleMilliseconds = 30;
const int goneMilliseconds = 500;
// A save that does not build is built once more before it is reported, after
// it has kept still this long: an editor held up half-way through its write
// (a busy machine) would otherwise have its half file reported.
const int retryMilliseconds = 300;

// What a file looked like: a change of any of these means it was saved
// (written in place, or another file renamed over it).
struct Stamp {
    long long seconds = -1, nanoseconds = 0, size = -1, inode = 0;
    bool operator==(const Stamp& o) const {
        return seconds == o.seconds && nanoseconds == o.nanoseconds && size == o.size &&
               inode == o.inode;
    }
    bool operator!=(const Stamp& o) const { return !(*this == o); }
    bool gone() const { return seconds < 0; }
};

Stamp stampOf(const std::string& file) {
    Stamp s;
    struct stat st;
    if (stat(file.c_str(), &st) != 0) return s;
    s.seconds = (long long)st.st_mtime;
#if defined(__linux__)
    s.nanoseconds = (long long)st.st_mtim.tv_nsec;
#endif
    s.size = (long long)st.st_size;
    s.inode = (long long)st.st_ino;
    return s;
}

// How long ago, in milliseconds, the file was last written; -1 when the
// clock cannot tell (then only a stamp that keeps still counts).
long long ageOf(const Stamp& s) {
#if defined(__linux__)
    struct timespec now;
    if (s.gone() || clock_gettime(CLOCK_REALTIME, &now) != 0) return -1;
    return ((long long)now.tv_sec - s.seconds) * 1000 + (now.tv_nsec - s.nanoseconds) / 1000000;
#else
    (void)s;
    return -1;
#endif
}

std::string fileVert, fileFrag;  // the files followed
Stamp builtVert, builtFrag;      // the versions built last, whether or not they worked
Stamp seenVert, seenFrag;        // the versions seen last, and since when
int seenSince = 0;
bool retryPending = false;  // the last save did not build, and was not reported yet
void (*build)(bool quiet);

// Builds a saved pair once both files have kept still: a change that lands
// during a build is seen on the next look, since the build remembers the
// versions it read, not the ones on disk after it.
void watchFiles(int) {
    glutTimerFunc(watchMilliseconds, watchFiles, 0);
    Stamp v = stampOf(fileVert), f = stampOf(fileFrag);
    int now = glutGet(GLUT_ELAPSED_TIME);
    if (v != seenVert || f != seenFrag) {
        seenVert = v;
        seenFrag = f;
        seenSince = now;
    }
    if (v == builtVert && f == builtFrag) {
        if (retryPending && now - seenSince >= retryMilliseconds) {
            retryPending = false;
            build(false);
        }
        return;
    }
    int wait = v.gone() || f.gone() ? goneMilliseconds : settleMilliseconds;
    bool still = now - seenSince >= wait;
    // The files' own times can say so at once.
    long long ageVert = ageOf(v), ageFrag = ageOf(f);
    if (!v.gone() && !f.gone() && ageVert >= wait && ageFrag >= wait) still = true;
    if (still) build(true);
}

}  // namespace

void followPair(const std::string& vert, const std::string& frag) {
    fileVert = vert;
    fileFrag = frag;
    builtVert = seenVert = stampOf(fileVert);
    builtFrag = seenFrag = stampOf(fileFrag);
    retryPending = false;
}

void retryLater() { retryPending = true; }

void startWatching(void (*rebuild)(bool quiet)) {
    build = rebuild;
    glutTimerFunc(watchMilliseconds, watchFiles, 0);
}

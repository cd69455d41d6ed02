// Test-only preload library: watches a lesson from outside without changing it.
// Everything is steered by environment variables that only the tests set:
//   PROBE_CAPTURE=k:file.png[,k:file.png...]  read back frame k (1 = first) as PNG
//   PROBE_FRAMES=n                            end the process after frame n (status 0)
//   PROBE_LOG=file                            append "fopen NAME" for every file opened,
//                                             "frame k rss KiB" at the frames in
//                                             PROBE_RSS_AT, and "first-frame-ms T"
//   PROBE_RSS_AT=k[,k...]                     frames whose resident memory is logged
//   PROBE_TICK=file                           holds the number of frames drawn so far
//   PROBE_TIME_AT=k[,k...]                    frames whose time ("frame-ms k T") is logged
//   PROBE_WINDOW=WxH                          the size the program asks GLUT for, replaced
// At the end that PROBE_FRAMES sets, the log gets "peak-rss KiB" as well.
// The resident-memory lines also count the heap allocations made by the
// program's own code (malloc, calloc, realloc called from the executable).
// It also keeps every shared library loaded to the end (dlclose does nothing),
// so that LeakSanitizer can name the driver library a leak comes from.
#include <GL/freeglut.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);

namespace {

long frames = 0;
long ownAllocations = 0;  // heap allocations called from the executable itself

// The address range of the executable's loaded segments (the first object
// that dl_iterate_phdr reports is the program).
uintptr_t programStart = 0, programEnd = 0;

[[maybe_unused]] bool fromProgram(void* caller) {
    if (!programEnd) {
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void*) {
                for (int i = 0; i < info->dlpi_phnum; ++i) {
                    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                    if (ph.p_type != PT_LOAD) continue;
                    uintptr_t start = info->dlpi_addr + ph.p_vaddr, end = start + ph.p_memsz;
                    if (!programStart || start < programStart) programStart = start;
                    if (end > programEnd) programEnd = end;
                }
                return 1;  // the program only
            },
            nullptr);
    }
    uintptr_t at = (uintptr_t)caller;
    return at >= programStart && at < programEnd;
}

template <typename Fn>
Fn next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

// "k" entries of a comma-separated list such as "1:a.png,5:b.png" or "1000,20000".
bool listed(const char* list, long frame, std::string* value = nullptr) {
    if (!list) return false;
    for (const char* p = list; *p;) {
        char* end;
        long k = strtol(p, &end, 10);
        const char* stop = strchr(end, ',');
        if (!stop) stop = end + strlen(end);
        if (k == frame) {
            if (value && *end == ':') value->assign((const char*)end + 1, stop);
            return true;
        }
        p = *stop ? stop + 1 : stop;
    }
    return false;
}

// The C library's own fopen: the probe's files are not the program's, so
// they are not logged.
FILE* openQuietly(const char* path, const char* mode) {
    static auto real = next<FILE* (*)(const char*, const char*)>("fopen");
    return real(path, mode);
}

void logLine(const char* format, ...) {
    const char* path = getenv("PROBE_LOG");
    if (!path) return;
    FILE* log = openQuietly(path, "a");
    if (!log) return;
    va_list args;
    va_start(args, format);
    vfprintf(log, format, args);
    va_end(args);
    fputc('\n', log);
    fclose(log);
}

// Resident memory in KiB: all of it, and the part that is anonymous (heap,
// stacks), as opposed to pages of mapped files such as the driver's code.
struct Resident {
    long total = 0, anon = 0, peak = 0;
};

Resident resident() {
    Resident r;
    FILE* f = openQuietly("/proc/self/status", "r");
    if (!f) return r;
    char line[256];
    while (fgets(line, sizeof line, f)) {
        sscanf(line, "VmRSS: %ld", &r.total);
        sscanf(line, "RssAnon: %ld", &r.anon);
        sscanf(line, "VmHWM: %ld", &r.peak);
    }
    fclose(f);
    return r;
}

// Milliseconds since the process started, from the kernel's start time.
double sinceStartMs() {
    FILE* f = openQuietly("/proc/self/stat", "r");
    if (!f) return -1;
    char buf[1024];
    size_t n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[n] = '\0';
    const char* p = strrchr(buf, ')');  // skip the command name, which may hold spaces
    unsigned long long start = 0;
    if (!p ||
        sscanf(p + 2,
               "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
               &start) != 1)
        return -1;
    timespec boot;
    clock_gettime(CLOCK_BOOTTIME, &boot);
    double nowMs = boot.tv_sec * 1e3 + boot.tv_nsec / 1e6;
    return nowMs - start * 1e3 / sysconf(_SC_CLK_TCK);
}

void capture(const std::string& path) {
    int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> pixels((size_t)w * h * 3);
    GLint pack;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    stbi_flip_vertically_on_write(1);  // OpenGL counts rows from the bottom
    if (!stbi_write_png(path.c_str(), w, h, 3, pixels.data(), w * 3))
        logLine("capture-failed %s", path.c_str());
}

}  // namespace

extern "C" {

void glutSwapBuffers(void) {
    static auto real = next<void (*)(void)>("glutSwapBuffers");
    ++frames;
    if (frames == 1) logLine("first-frame-ms %.1f", sinceStartMs());
    if (listed(getenv("PROBE_TIME_AT"), frames)) {
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        logLine("frame-ms %ld %.3f", frames, t.tv_sec * 1e3 + t.tv_nsec / 1e6);
    }
    std::string path;
    if (listed(getenv("PROBE_CAPTURE"), frames, &path)) capture(path);
    real();
    if (listed(getenv("PROBE_RSS_AT"), frames)) {
        Resident r = resident();
        logLine("frame %ld rss %ld anon %ld own-allocations %ld", frames, r.total, r.anon,
                ownAllocations);
    }
    if (const char* tick = getenv("PROBE_TICK")) {
        static int fd = open(tick, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        char count[32];
        int n = snprintf(count, sizeof count, "%-20ld\n", frames);
        if (fd >= 0 && pwrite(fd, count, n, 0) != n) logLine("tick-failed");
    }
    const char* last = getenv("PROBE_FRAMES");
    if (last && frames >= atol(last)) {
        logLine("frames %ld", frames);
        logLine("peak-rss %ld", resident().peak);
        fflush(stdout);
        exit(0);
    }
}

// A start-up size of the test's choosing: a frame that is not square shows
// whether the projection takes the window's aspect the right way up.
void glutInitWindowSize(int width, int height) {
    static auto real = next<void (*)(int, int)>("glutInitWindowSize");
    if (const char* size = getenv("PROBE_WINDOW")) sscanf(size, "%dx%d", &width, &height);
    real(width, height);
}

int dlclose(void*) { return 0; }

#ifdef PROBE_COUNT_ALLOCATIONS  // not with a sanitizer, whose allocator must see every block
void* malloc(size_t size) {
    if (fromProgram(__builtin_return_address(0))) ++ownAllocations;
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    if (fromProgram(__builtin_return_address(0))) ++ownAllocations;
    return __libc_calloc(count, size);
}

void* realloc(void* p, size_t size) {
    if (fromProgram(__builtin_return_address(0))) ++ownAllocations;
    return __libc_realloc(p, size);
}
#endif

FILE* fopen(const char* name, const char* mode) {
    logLine("fopen %s", name);
    return openQuietly(name, mode);
}

FILE* fopen64(const char* name, const char* mode) {
    static auto real = next<FILE* (*)(const char*, const char*)>("fopen64");
    logLine("fopen %s", name);
    return real(name, mode);
}

}  // extern "C"

// Checking a pair in a process of its own (see apart.h).
#include "apart.h"

#include <stdlib.h>

#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

static int checkSeconds() {
    const char* given = getenv("CHECK_SECONDS");
    int seconds = given ? atoi(given) : 0;
    return seconds > 0 ? seconds : 20;
}

#ifdef _WIN32

// Windows has no fork: the window checks the pair itself.
std::string checkApart(const Options&, const std::string&, const std::string&) {
    (void)checkSeconds;
    return "";
}

#else

std::string checkApart(const Options& options, const std::string& vert, const std::string& frag) {
    std::vector<std::string> words = {options.program};
    if (options.core) words.push_back("--core");
    if (options.exercises) words.insert(words.end(), {"--exercises", options.exercises});
    words.insert(words.end(), {"--check", options.exercise, "--pair", vert, frag, "--apart"});
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);

    pid_t child = fork();
    if (child < 0) return "";  // no process to spare: the window checks it itself
    if (child == 0) {
        int quiet = open("/dev/null", O_RDWR);
        if (quiet >= 0) {
            dup2(quiet, 1);
            dup2(quiet, 2);
        }
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    const int seconds = checkSeconds();
    struct timespec start, now, pause = {0, 10 * 1000 * 1000};
    clock_gettime(CLOCK_MONOTONIC, &start);
    int status = 0;
    for (;;) {
        pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child) break;
        if (ended < 0) return "";
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec - start.tv_sec >= seconds) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return "no picture within " + std::to_string(seconds) +
                   " s: an endless loop in a shader?";
        }
        nanosleep(&pause, nullptr);
    }
    if (WIFSIGNALED(status))
        return "the driver crashed compiling or drawing it (signal " +
               std::to_string(WTERMSIG(status)) + ", " + strsignal(WTERMSIG(status)) + ")";
    return "";
}

#endif

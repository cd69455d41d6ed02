// The lessons' command line (see options.h).
#include "options.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char* const help =
    "Options (without them, the lesson runs plainly: its window, its pair, Escape):\n"
    "  --core                the OpenGL 3.3 core profile, with the pair from core/\n"
    "  --explore             pause, step, orbit, compare with built-in lighting, switch\n"
    "                        shaders; a saved shader shows at once (keys: h)\n"
    "  --picture FILE.png    draw one picture off screen, save it as FILE.png and end\n"
    "    --angle DEGREES     the teapot's turn for it (default 0)\n"
    "    --orbit YAW,PITCH   the camera orbited round the teapot, in degrees\n"
    "                        (pitch from -89 to 89)\n"
    "    --size WxH          the picture's size in pixels (default 400x400)\n"
    "  --check EXERCISE --pair VERT FRAG [--pair VERT FRAG]...\n"
    "                        check each pair against the exercise's target in its probe\n"
    "                        scenes (status 0: every probe of every pair passes)\n"
    "  --exercise NAME       with --explore: practise the exercise on the pair in the\n"
    "                        working folder, checked at every save\n"
    "    --json              each pair's verdict as one JSON object a line: passed, the\n"
    "                        probes, the likely mistake\n"
    "    --pictures DIR      each probe's pictures saved in DIR: the answer's, the\n"
    "                        target's and their difference\n"
    "    --exercises FILE    the exercises' file (default: the project's)\n"
    "    --apart             no window shown: the check a practising window runs apart\n"
    "  --list-exercises json|lines\n"
    "                        the exercises, their lessons and pairs (with --core, the\n"
    "                        core profile's), as JSON or one tab-separated line each\n"
    "                        (NAME LESSON START-VERT START-FRAG FILE-VERT FILE-FRAG\n"
    "                        TEXTURES TEACHES, and how far mine/NAME/ got: STATE SOLVED)\n";

const char* program;

[[noreturn]] void usage(const char* format, const char* value) {
    fprintf(stderr, "%s: ", program);
    fprintf(stderr, format, value);
    fprintf(stderr, "\n%s", help);
    exit(2);
}

// A decimal number at the start of `text` ("-12", "30.5"): a few lines
// rather than strtod and sscanf, whose whole machinery the web page would
// otherwise download. `end` is where it stops.
bool number(const char* text, float* value, const char** end) {
    const char* p = text;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    double v = 0, scale = 1;
    bool digits = false, point = false;
    for (; (*p >= '0' && *p <= '9') || (*p == '.' && !point); ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        digits = true;
        if (point) scale /= 10;
        v = v * 10 + (*p - '0');
        if (v > 1e9) return false;
    }
    if (!digits) return false;
    *value = (float)((negative ? -v : v) * scale);
    *end = p;
    return true;
}

float angleOf(const char* text) {
    float v;
    const char* end;
    if (!number(text, &v, &end) || *end) usage("--angle wants degrees, not \"%s\"", text);
    return v;
}

void orbitOf(const char* text, Options* o) {
    const char* end;
    if (!number(text, &o->yaw, &end) || *end != ',' || !number(end + 1, &o->pitch, &end) || *end)
        usage("--orbit wants YAW,PITCH in degrees, not \"%s\"", text);
    if (o->pitch < -89.0f || o->pitch > 89.0f)
        usage("--orbit's pitch goes from -89 to 89 degrees, not \"%s\"", text);
    o->orbiting = true;
}

void sizeOf(const char* text, Options* o) {
    float w = 0, h = 0;
    const char* end;
    if (!number(text, &w, &end) || *end != 'x' || !number(end + 1, &h, &end) || *end ||
        w != (int)w || h != (int)h || w < 1 || h < 1 || w > 8192 || h > 8192)
        usage("--size wants WIDTHxHEIGHT, each from 1 to 8192, not \"%s\"", text);
    o->width = (int)w;
    o->height = (int)h;
}

}  // namespace

Options readOptions(int argc, char** argv) {
    program = argc > 0 ? argv[0] : "lesson";
    Options o;
    o.program = program;
    bool scene = false;  // an option that only a picture uses
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool valued = strcmp(arg, "--picture") == 0 || strcmp(arg, "--angle") == 0 ||
                      strcmp(arg, "--orbit") == 0 || strcmp(arg, "--size") == 0 ||
                      strcmp(arg, "--check") == 0 || strcmp(arg, "--exercises") == 0 ||
                      strcmp(arg, "--exercise") == 0 || strcmp(arg, "--pictures") == 0 ||
                      strcmp(arg, "--list-exercises") == 0;
        if (valued && i + 1 >= argc) usage("%s wants a value", arg);
        const char* value = valued ? argv[++i] : nullptr;
        if (strcmp(arg, "--pair") == 0) {
            if (i + 2 >= argc) usage("%s wants two files, VERT and FRAG", arg);
            o.pairs.push_back(argv[++i]);
            o.pairs.push_back(argv[++i]);
        } else if (strcmp(arg, "--check") == 0)
            o.check = value;
        else if (strcmp(arg, "--exercises") == 0)
            o.exercises = value;
        else if (strcmp(arg, "--exercise") == 0)
            o.exercise = value;
        else if (strcmp(arg, "--pictures") == 0)
            o.pictures = value;
        else if (strcmp(arg, "--list-exercises") == 0)
            o.listExercises = value;
        else if (strcmp(arg, "--core") == 0)
            o.core = true;
        else if (strcmp(arg, "--json") == 0)
            o.json = true;
        else if (strcmp(arg, "--apart") == 0)
            o.apart = true;
        else if (strcmp(arg, "--explore") == 0)
            o.explore = true;
        else if (strcmp(arg, "--help") == 0)
            fputs(help, stderr);
        else if (strcmp(arg, "--picture") == 0)
            o.picture = value;
        else if (strcmp(arg, "--angle") == 0)
            o.angle = angleOf(value), scene = true;
        else if (strcmp(arg, "--orbit") == 0)
            orbitOf(value, &o), scene = true;
        else if (strcmp(arg, "--size") == 0)
            sizeOf(value, &o), scene = true;
    }
    if (scene && !o.picture) usage("%s", "--angle, --orbit and --size are for --picture FILE");
    if (o.picture && o.explore)
        usage("%s", "--picture draws one picture and ends: not with --explore");
    if (o.picture && !*o.picture) usage("%s", "--picture wants a file name");
    if (o.exercise && !o.explore)
        usage("%s", "--exercise NAME is practised in explore mode: with --explore");
    if (o.check && o.pairs.empty()) usage("%s", "--check EXERCISE wants --pair VERT FRAG");
    if (o.listExercises && strcmp(o.listExercises, "json") != 0 &&
        strcmp(o.listExercises, "lines") != 0)
        usage("--list-exercises %s: json or lines", o.listExercises);
    if (o.json && !o.check) usage("%s", "--json is for --check EXERCISE");
    if (o.pictures && !o.check) usage("%s", "--pictures DIR is for --check EXERCISE");
    if (!o.check && !o.pairs.empty()) usage("%s", "--pair is for --check EXERCISE");
    if (o.check && (o.picture || o.explore))
        usage("%s", "--check draws its own pictures and ends: not with --picture or --explore");
    return o;
}

// An exercise for the running lesson (see exercises.h).
#include "exercises.h"

#include "lesson_table.h"

#include <GL/glew.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include "file_status.h"
#include "json.h"
#include "shaders.h"
#include "lesson_paths.h"  // written by the build: LESSONS_EXERCISES_FILE

// The program's own folder ("" when it cannot be told).
static std::string programFolder() {
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    if (n == 0 || n >= sizeof path) return "";
    std::string whole(path, n);
    size_t slash = whole.find_last_of("/\\");
    return slash == std::string::npos ? "" : whole.substr(0, slash);
#else
    return "";
#endif
}

// A regular file that can be opened (a FIFO is not looked into).
static bool isReadable(const std::string& path) {
    if (*notAFile(path.c_str())) return false;
    FILE* f = fopen(path.c_str(), "r");
    if (f) fclose(f);
    return f != NULL;
}

std::string exercisesFile(const char* given) {
    if (given) return given;
    // The project's, where it was built; in a folder of the programs alone
    // (the Windows zip), the exercises beside them.
    std::string beside = programFolder();
    if (!isReadable(LESSONS_EXERCISES_FILE) && !beside.empty())
        return beside + "/exercises/exercises.txt";
    return LESSONS_EXERCISES_FILE;
}

// The project's folder of its exercises' file: exercises/exercises.txt -> .
static std::string projectOf(const std::string& file) {
    std::string project = file;
    for (int up = 0; up < 2; ++up) {
        size_t slash = project.find_last_of("/\\");
        project = slash == std::string::npos ? "." : project.substr(0, slash);
    }
    return project;
}

std::string exerciseFile(const std::string& file, const std::string& path,
                         const WayOfDrawing& way) {
    std::string project = projectOf(file);
    const bool core = way.shaderFolder[0] != '\0';
    std::string inProject = project + "/" + pairFile(path, core);
    // The programs' folder (the Windows zip) holds the lessons' shaders
    // beside the programs, where the project has them in data/.
    if (path.compare(0, 5, "data/") != 0 || isReadable(inProject)) return inProject;
    std::string beside = project + "/" + pairFile(path.substr(5), core);
    return isReadable(beside) ? beside : inProject;
}

// A target in this project's data/ is drawn from the committed text the
// build keeps (see cmake/Originals.cmake): data/ is the learner's to edit.
// Says so where the two differ.
static std::string targetFile(const std::string& path) {
    const std::string data = LESSONS_DATA_DIR, originals = LESSONS_ORIGINALS_DIR;
    if (data.empty() || originals.empty() || path.compare(0, data.size() + 1, data + "/") != 0)
        return path;
    std::string original = originals + "/data" + path.substr(data.size());
    char* kept = loadTextFile(original.c_str());
    if (!kept) return path;  // built before the originals were kept
    char* here = loadTextFile(path.c_str());
    if (!here || strcmp(here, kept) != 0)
        fprintf(stderr,
                "%s is not the project's own (edited, in explore mode perhaps): the target is "
                "drawn from the committed text, %s.\n",
                path.c_str(), original.c_str());
    free(here);
    free(kept);
    return original;
}

// The exercise `name` of the running lesson from `file`; null, having said
// why on standard error, when there is none (or it is another lesson's).
static const Exercise* lessonExercise(const LessonRun& run, const std::string& file,
                                      const char* name, std::vector<Exercise>& exercises) {
    std::string why;
    if (!readExercises(file.c_str(), exercises, why)) {
        fprintf(stderr, "No exercises: %s.\n", why.c_str());
        return nullptr;
    }
    const Exercise* e = findExercise(exercises, name);
    if (!e) {
        fprintf(stderr, "There is no exercise called \"%s\". The exercises:", name);
        for (const Exercise& x : exercises) fprintf(stderr, " %s", x.name.c_str());
        fprintf(stderr, ".\n");
        return nullptr;
    }
    const char* lesson = run.entry.name;
    if (e->lesson != lesson) {
        fprintf(stderr, "%s is an exercise of %s, drawn in its scene: run %s, not %s.\n", name,
                e->lesson.c_str(), e->lesson.c_str(), lesson);
        return nullptr;
    }
    return e;
}

Exercise loadExercise(LessonRun& run, const Options& options, const char* name,
                      unsigned int* target) {
    std::string file = exercisesFile(options.exercises);
    std::vector<Exercise> exercises;
    const Exercise* found = lessonExercise(run, file, name, exercises);
    if (!found) exit(2);
    Exercise e = *found;
    e.solutionVert = targetFile(exerciseFile(file, e.solutionVert, run.way));
    e.solutionFrag = targetFile(exerciseFile(file, e.solutionFrag, run.way));
    PairSource solution;
    solution.fileVert = e.solutionVert;
    solution.fileFrag = e.solutionFrag;
    BuildReport built = buildPair(solution, false);
    if (!built.built) {
        Report failed;
        sayBuildFailure(built, false, failed);
        for (const Report::Line& l : failed.lines) fputs(l.text.c_str(), stderr);
        fprintf(stderr, "The exercise's own target (%s and %s) does not build.\n",
                e.solutionVert.c_str(), e.solutionFrag.c_str());
        exit(2);
    }
    *target = built.program;
    return e;
}

Report practiseExercise(LessonRun& run, const Options& options) {
    GLuint target;
    Exercise e = loadExercise(run, options, options.exercise, &target);
    Report report = run.startPractice(e, target);
    report.add(run.check(run.shaderProg));
    return report;
}

namespace {

// An exercise's pairs and the lesson's own files, for the way of drawing.
struct ExerciseFiles {
    std::string startVert, startFrag, solutionVert, solutionFrag, fileVert, fileFrag;
    bool textures = false;  // the exercise's lesson reads tex0.tga and tex1.tga
};

ExerciseFiles filesOf(const Exercise& e, const WayOfDrawing& way) {
    bool core = way.shaderFolder[0] != '\0';
    ExerciseFiles f;
    f.startVert = pairFile(e.startVert, core);
    f.startFrag = pairFile(e.startFrag, core);
    f.solutionVert = pairFile(e.solutionVert, core);
    f.solutionFrag = pairFile(e.solutionFrag, core);
    for (const LessonEntry& l : lessonTable)
        if (e.lesson == l.name) {
            f.textures = l.row.textures;
            f.fileVert = lessonFile(l.row.vertexFile, way);
            f.fileFrag = lessonFile(l.row.fragmentFile, way);
        }
    return f;
}

std::string pairJson(const std::string& vert, const std::string& frag) {
    return Json('[').item(quoted(vert)).item(quoted(frag)).done();
}

}  // namespace

std::string exercisesJson(const std::vector<Exercise>& exercises, const WayOfDrawing& way) {
    Json list('[');
    for (const Exercise& e : exercises) {
        ExerciseFiles f = filesOf(e, way);
        Json hints('['), probes('['), mistakes('['), opens('[');
        for (const std::string& h : e.hints) hints.item(quoted(h));
        for (const std::string& o : e.opens) opens.item(quoted(o));
        for (const KnownMistake& m : e.mistakes) {
            Json edits('[');
            for (const auto& edit : m.edits) edits.item(pairJson(edit.first, edit.second));
            mistakes.item(Json('{')
                              .string("name", m.name)
                              .string("sentence", m.sentence)
                              .field("edits", edits.done())
                              .done());
        }
        for (const ExerciseProbe& p : e.probes)
            probes.item(Json('{').string("name", p.name).string("sentence", p.sentence).done());
        list.item(Json('{')
                      .string("name", e.name)
                      .string("lesson", e.lesson)
                      .string("teaches", e.teaches)
                      .string("statement", e.statement)
                      .field("hints", hints.done())
                      .field("opens", opens.done())
                      .field("probes", probes.done())
                      .field("mistakes", mistakes.done())
                      .field("start", pairJson(f.startVert, f.startFrag))
                      .field("solution", pairJson(f.solutionVert, f.solutionFrag))
                      .field("files", pairJson(f.fileVert, f.fileFrag))
                      .boolean("textures", f.textures)
                      .done());
    }
    return list.done();
}

void listExercises(const Options& options, const WayOfDrawing& way) {
    std::vector<Exercise> exercises;
    std::string why;
    if (!readExercises(exercisesFile(options.exercises).c_str(), exercises, why)) {
        fprintf(stderr, "No exercises: %s.\n", why.c_str());
        exit(2);
    }
    if (strcmp(options.listExercises, "json") == 0) {
        printf("%s\n", exercisesJson(exercises, way).c_str());
    } else {
        std::string project = projectOf(exercisesFile(options.exercises)) + "/";
        for (const Exercise& e : exercises) {
            ExerciseFiles f = filesOf(e, way);
            // How far the learner got: mine/NAME/progress.txt's lines.
            std::string state;
            bool solved = false;
            if (FILE* kept = fopen((project + "mine/" + e.name + "/progress.txt").c_str(), "r")) {
                char line[256];
                while (fgets(line, sizeof line, kept)) {
                    line[strcspn(line, "\r\n")] = '\0';
                    if (!*line) continue;
                    state += (state.empty() ? "" : "; ") + std::string(line);
                    solved = solved || strstr(line, ": solved");
                }
                fclose(kept);
            }
            printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", e.name.c_str(), e.lesson.c_str(),
                   f.startVert.c_str(), f.startFrag.c_str(), f.fileVert.c_str(), f.fileFrag.c_str(),
                   f.textures ? "textures" : "-", e.teaches.c_str(),
                   state.empty() ? "not started" : state.c_str(), solved ? "solved" : "-");
        }
    }
    exit(fflush(stdout) == 0 ? 0 : 1);
}

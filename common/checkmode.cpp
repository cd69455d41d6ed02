// The lesson's --check mode (see checkmode.h).
#include "checkmode.h"

#include <GL/glew.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"
#include "drawing.h"
#include "lesson_paths.h"  // written by the build: LESSONS_EXERCISES_FILE
#include "lesson_table.h"
#include "png.h"
#include "practice.h"
#include "scene.h"
#include "shaders.h"

std::string exercisesFile(const char* given) { return given ? given : LESSONS_EXERCISES_FILE; }

static const char* lessonName() {
    for (const LessonEntry& e : lessonTable)
        if (strcmp(e.row.vertexFile, lesson->vertexFile) == 0) return e.name;
    return "this lesson";
}

const Exercise* lessonExercise(const std::string& file, const char* name,
                               std::vector<Exercise>& exercises) {
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
    if (e->lesson != lessonName()) {
        fprintf(stderr, "%s is an exercise of %s, drawn in its scene: run %s, not %s.\n", name,
                e->lesson.c_str(), e->lesson.c_str(), lessonName());
        return nullptr;
    }
    return e;
}

std::string exerciseFile(const std::string& file, const std::string& path) {
    std::string project = file;
    for (int up = 0; up < 2; ++up) {  // exercises/exercises.txt -> the project's folder
        size_t slash = project.find_last_of("/\\");
        project = slash == std::string::npos ? "." : project.substr(0, slash);
    }
    return project + "/" + pairFile(path, way->shaderFolder[0] != '\0');
}

// The running lesson's exercise `name` (its solution's files made whole
// paths) and its target, built from them. An exercise that does not exist
// ends the lesson with status 2; a target that does not build, with 1.
static Exercise loadExercise(const Options& options, const char* name, GLuint* target) {
    std::string file = exercisesFile(options.exercises);
    std::vector<Exercise> exercises;
    const Exercise* found = lessonExercise(file, name, exercises);
    if (!found) exit(2);
    Exercise e = *found;
    e.solutionVert = exerciseFile(file, e.solutionVert);
    e.solutionFrag = exerciseFile(file, e.solutionFrag);
    *target = buildProgram(e.solutionVert.c_str(), e.solutionFrag.c_str());
    if (!*target) {
        fprintf(stderr, "The exercise's own target (%s and %s) does not build.\n",
                e.solutionVert.c_str(), e.solutionFrag.c_str());
        exit(1);
    }
    return e;
}

void practiseExercise(const Options& options) {
    GLuint target;
    Exercise e = loadExercise(options, options.exercise, &target);
    startPractice(e, target);
    practiceCheck(shaderProg);
}

// A probe's pictures as PAIR-PROBE-answer.png, -target.png and
// -difference.png in `folder`; a picture that cannot be written is said.
static void savePictures(const char* folder, size_t pair, const std::string& probe, int size,
                         const ProbePictures& p) {
    const std::vector<unsigned char>* images[] = {&p.answer, &p.target, &p.difference};
    const char* const kinds[] = {"answer", "target", "difference"};
    for (int k = 0; k < 3; ++k) {
        if (images[k]->empty()) continue;
        std::string path = std::string(folder) + "/" + std::to_string(pair) + "-" + probe + "-" +
                           kinds[k] + ".png";
        int why = writePNGOver(path.c_str(), size, size, images[k]->data());
        if (why) fprintf(stderr, "Could not save %s: %s.\n", path.c_str(), strerror(why));
    }
}

void runCheck(const Options& options) {
    GLuint target;
    Exercise exercise = loadExercise(options, options.check, &target);
    bool passed = true;
    for (size_t i = 0; i + 1 < options.pairs.size(); i += 2) {
        printf("%s and %s against %s (%s):\n", options.pairs[i], options.pairs[i + 1],
               exercise.name.c_str(), way->name);
        fflush(stdout);
        GLuint answer = buildProgram(options.pairs[i], options.pairs[i + 1]);
        if (!answer) {
            printf("FAIL  the pair does not build: see the compiler's log above\n");
            passed = false;
            continue;
        }
        std::vector<ProbePictures> pictures;
        const int size = 200;
        std::vector<ProbeResult> results =
            checkAnswer(exercise, answer, target, size, options.pictures ? &pictures : nullptr);
        for (size_t p = 0; p < pictures.size(); ++p)
            savePictures(options.pictures, i / 2 + 1, results[p].name, size, pictures[p]);
        printResults(results);
        passed = passed && allPassed(results);
        glDeleteProgram(answer);
    }
    fflush(stdout);
    exit(passed ? 0 : 1);
}

// The running lesson (see run.h): its start, its scene state and its reports.
#include "run.h"

#include <GL/glew.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

std::string formatted(const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    int size = vsnprintf(NULL, 0, format, args);
    std::string text(size > 0 ? (size_t)size : 0, '\0');
    if (size > 0) vsnprintf(&text[0], (size_t)size + 1, format, again);
    va_end(again);
    return text;
}

}  // namespace

void Report::say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    lines.push_back({false, formatted(format, args)});
    va_end(args);
}

void Report::warn(const char* format, ...) {
    va_list args;
    va_start(args, format);
    lines.push_back({true, formatted(format, args)});
    va_end(args);
}

void Report::add(const Report& more) {
    lines.insert(lines.end(), more.lines.begin(), more.lines.end());
    screenshot = screenshot || more.screenshot;
    end = end || more.end;
    pairChanged = pairChanged || more.pairChanged;
    checked = checked || more.checked;
    if (more.progress) progress = more.progress;
    if (!more.hint.empty()) {
        hint = more.hint;
        lastHint = more.lastHint;
    }
    solution.insert(solution.end(), more.solution.begin(), more.solution.end());
    if (more.built) {
        built = true;
        build = more.build;
    }
}

LessonRun::LessonRun(const LessonEntry& e, const WayOfDrawing& w)
    : entry(e), row(e.row), way(w), pair(&e) {
    scene.a = 0.0f;
    scene.orbiting = false;
    scene.yaw = scene.pitch = 0.0f;
    memcpy(scene.light, row.perFrameLight ? light_pos : light_position, sizeof scene.light);
    scene.look = lessonLook;
    scene.textures[0] = scene.textures[1] = 0;
    sceneInGL = scene;
    fileVert = lessonFile(row.vertexFile, way);
    fileFrag = lessonFile(row.fragmentFile, way);
}

std::string lessonFile(const char* fileName, const WayOfDrawing& w) {
    return std::string(w.shaderFolder) + fileName;
}

void LessonRun::setupScene() {
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    if (row.scene != SCENE_PLAIN) {  // what the shaders read as the front material
        memcpy(scene.look.materialSpecular, mat_specular, sizeof scene.look.materialSpecular);
        scene.look.materialShininess = mat_shininess[0];
    }
    way.sceneState(row);
    sceneInGL = scene;  // the material and light the scene state has just given
}

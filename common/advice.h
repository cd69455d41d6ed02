// What a learner can act on after a lesson's own message: one line in English
// naming the file, the folder, the stage and what to do, for standard error.
// The lesson's message itself (on standard output) stays as it is, and the
// front end writes the advice after it.
#pragma once

#include <string>

// A shader file that could not be read. `stage` is "vertex" or "fragment".
// `live`: explore mode, whose window rebuilds what is saved, so the advice
// says to save the file again rather than to run the lesson again.
std::string adviceShaderFile(const char* stage, const char* fileName, bool live);

// A shader that did not compile, after the compiler's log.
std::string adviceCompile(const char* stage, const char* fileName, bool live);

// A pair that compiled but did not link, after the linker's log.
std::string adviceLink(const char* fileVert, const char* fileFrag, bool live);

// The driver offers less than OpenGL 2.0.
std::string adviceNoOpenGL2();

// The driver gives no OpenGL 3.3 core profile context (for --core); `why`
// says what happened instead.
std::string adviceNoCoreProfile(const char* why);

// A texture image that was refused: which one, where, and why.
std::string adviceTexture(const char* fileName);

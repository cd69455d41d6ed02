// What a learner can act on after a lesson's own message: one line in English
// on standard error naming the file, the folder, the stage and what to do.
// The lesson's message itself (on standard output) stays as it is, and is
// flushed before the advice is written.
#pragma once

// From now on the lesson runs in explore mode: the advice says to save the
// file again, which the window picks up, rather than to run the lesson again.
void adviseLive();

// A shader file that could not be read. `stage` is "vertex" or "fragment".
void adviseShaderFile(const char* stage, const char* fileName);

// A shader that did not compile, after the compiler's log.
void adviseCompile(const char* stage, const char* fileName);

// A pair that compiled but did not link, after the linker's log.
void adviseLink(const char* fileVert, const char* fileFrag);

// The driver offers less than OpenGL 2.0.
void adviseNoOpenGL2();

// The driver gives no OpenGL 3.3 core profile context (for --core); `why`
// says what happened instead.
void adviseNoCoreProfile(const char* why);

// A texture image that was refused: which one, where, and why.
void adviseTexture(const char* fileName);

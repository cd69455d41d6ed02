// The desktop's ways of drawing: OpenGL 2.0's built-in state, as the lessons
// were written, or the 3.3 core profile when the command line asks for it.
#include "drawing.h"

const WayOfDrawing* chooseWay(bool core) { return core ? &coreProfile : &builtInState; }

# A core-profile shader made into GLSL ES 3.00 for WebGL 2 (cmake -DIN=... -DOUT=... -P):
# the version line becomes ES's, and a precision for floats follows it, which
# ES asks of every fragment shader (a vertex shader has one already; saying it
# costs nothing). The rest is the desktop's text, unchanged: the core pairs
# keep to what both languages accept.
file(READ "${IN}" text)
string(FIND "${text}" "#version 330 core\n" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "${IN}: the first line is not \"#version 330 core\", which the web page's conversion expects")
endif()
string(LENGTH "#version 330 core\n" skip)
string(SUBSTRING "${text}" ${skip} -1 rest)
file(WRITE "${OUT}.part"
     "#version 300 es\nprecision highp float;  // GLSL ES: the precision of floats, written by the build\n${rest}")
file(RENAME "${OUT}.part" "${OUT}")

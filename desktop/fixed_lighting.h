// OpenGL's own lighting of a lesson's scene: explore mode's comparison with
// the shaders (key b), and the benchmark's fixed-function twins.
#pragma once

// Light 0 on, the current colour as ambient and diffuse colour (white under
// textures, which give the colour there, as in the shaders), and with
// `highlight` a white highlight of shininess 50, added after the textures.
// The light keeps the place the lesson gave it.
void useBuiltInLighting(bool textures, bool highlight = true);

// Texture coordinates for unit 1 made from the vertices: the teapot gives
// OpenGL coordinates for unit 0 only.
void generateUnit1Coordinates();

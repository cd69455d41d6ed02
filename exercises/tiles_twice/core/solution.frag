#version 330 core
// The target of exercise tiles_twice: both images repeated twice each way.
//
// Texturing: no light at all; the colour comes from two images, looked up
// for every fragment. The images, not the pink current colour, give the
// surface its colour here.

uniform sampler2D tex0;  // texture unit 0: "tex0.tga", the base pattern
uniform sampler2D tex1;  // texture unit 1: "tex1.tga", the light map

in vec2 surfaceCoord;  // the texture coordinates, blended from the vertices

layout(location = 0) out vec4 fragColour;  // what gl_FragColor was: draw buffer 0

void main()
{
    // Twice the coordinates: each image repeats twice each way across the
    // teapot (the textures wrap round).
    vec2 twice = surfaceCoord * 2.0;
    // Both images at those coordinates, multiplied. Multiplying can only
    // darken: white in one lets the other through unchanged, black blacks it out.
    vec4 texel = texture(tex0, twice) * texture(tex1, twice);

    fragColour = vec4(texel.rgb, 1.0);
}

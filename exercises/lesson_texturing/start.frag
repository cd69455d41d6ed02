#version 110
// Exercise lesson_texturing (./run.sh --exercise lesson_texturing): this pair
// draws the teapot white. Colour it with the two images instead, both looked
// up at the teapot's texture coordinates and multiplied.

uniform sampler2D tex0;  // texture unit 0: "tex0.tga", the base pattern
uniform sampler2D tex1;  // texture unit 1: "tex1.tga", the light map

void main()
{
    // The vertex shader hands on the coordinates as gl_TexCoord[0].
    gl_FragColor = vec4(1.0, 1.0, 1.0, 1.0);
}

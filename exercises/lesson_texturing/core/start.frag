#version 330 core
// Exercise lesson_texturing (./run.sh --core --exercise lesson_texturing): this
// pair draws the teapot white. Colour it with the two images instead, both
// looked up at the teapot's texture coordinates and multiplied.

uniform sampler2D tex0;  // texture unit 0: "tex0.tga", the base pattern
uniform sampler2D tex1;  // texture unit 1: "tex1.tga", the light map

in vec2 surfaceCoord;  // the texture coordinates, blended from the vertices

layout(location = 0) out vec4 fragColour;  // what gl_FragColor was: draw buffer 0

void main()
{
    fragColour = vec4(1.0, 1.0, 1.0, 1.0);
}

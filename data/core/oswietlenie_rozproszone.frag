#version 330 core
// Diffuse light: the colour was lit at the vertices; each fragment receives
// the blend of its triangle's vertex colours.

in vec4 colour;  // blended from the vertices

layout(location = 0) out vec4 fragColour;  // what gl_FragColor was: draw buffer 0

void main()
{
    fragColour = colour;
}

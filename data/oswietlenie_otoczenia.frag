#version 110
// Ambient light: the colour was lit at the vertices; each fragment receives
// the blend of its triangle's vertex colours.

void main()
{
    gl_FragColor = gl_Color;
}

#version 110
// Diffuse light: the colour was lit at the vertices; each fragment receives
// the blend of its triangle's vertex colours.

void main()
{
    gl_FragColor = gl_Color;
}

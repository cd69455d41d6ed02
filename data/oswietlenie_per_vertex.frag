#version 110
// Per-vertex light: the colour was lit at the vertices; each fragment
// receives the blend of its triangle's vertex colours.

void main()
{
    gl_FragColor = gl_Color;
}

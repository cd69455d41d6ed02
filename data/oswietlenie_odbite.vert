#version 110
// Specular light: the same ambient + diffuse + specular model as the
// per-vertex lesson, now worked out for every fragment (Phong shading).
// The vertex shader only hands on what the fragment shader needs.

varying vec3 normal;  // eye space

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    normal = gl_NormalMatrix * gl_Normal;
    gl_FrontColor = gl_Color;
}

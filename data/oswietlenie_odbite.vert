#version 110
// Specular light: the per-vertex lesson's ambient + diffuse + specular, now
// worked out for every fragment (Phong shading), with the front material's
// specular colour and shininess. The vertex shader only hands on the normal.

varying vec3 eyeNormal;  // the normal in eye space, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;

    // The normal in eye space (the normal matrix keeps it perpendicular).
    eyeNormal = gl_NormalMatrix * gl_Normal;
    // The surface colour is the current colour set by glColor3f (pink).
    gl_FrontColor = gl_Color;
}

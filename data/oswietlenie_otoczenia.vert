#version 110
// Ambient light: the first lesson. Light that comes from everywhere at once,
// so every point of the teapot gets the same amount and the shape looks flat.

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    // The surface colour is the current colour set by glColor3f (pink).
    gl_FrontColor = gl_Color;
}

#version 110
// Exercise lesson_ambient (./run.sh --exercise lesson_ambient): this pair draws
// the teapot in its own colour, unlit. Light it with the ambient light alone.

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;

    // gl_Color is the surface colour, the current colour set by glColor3f
    // (pink): drawn as it is, with no light at all.
    gl_FrontColor = vec4(gl_Color.rgb, 1.0);
}

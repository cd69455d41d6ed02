#version 110
// Ambient light: the first lesson. Light that comes from everywhere at once,
// so every point of the teapot gets the same amount and the shape looks flat.
// Worked out once per vertex; OpenGL blends the colours across each triangle.

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;

    // The ambient light: the scene's (glLightModel, 0.2 grey by default)
    // plus light 0's own ambient part (black by default). gl_Color is the
    // surface colour, the current colour set by glColor3f (pink).
    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;
    vec4 ambient = gl_Color * ambientLight;

    gl_FrontColor = vec4(ambient.rgb, 1.0);
}

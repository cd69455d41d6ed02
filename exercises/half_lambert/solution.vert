#version 110
// The target of exercise half_lambert: a diffuse term that wraps round the
// teapot.
//
// Diffuse light: adds Lambert's cosine term to the ambient lesson. A surface
// turned towards light 0 gets more of it, so the teapot shows its shape.
// Worked out once per vertex; OpenGL blends the colours across each triangle.

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;

    // The normal in eye space (the normal matrix keeps it perpendicular).
    vec3 normal = normalize(gl_NormalMatrix * gl_Normal);
    // Light 0 is directional (w = 0): its position is the direction towards
    // the light, already in eye space.
    vec3 lightDir = normalize(gl_LightSource[0].position.xyz);

    // The ambient light: the scene's (glLightModel, 0.2 grey by default)
    // plus light 0's own ambient part (black by default). gl_Color is the
    // surface colour, the current colour set by glColor3f (pink).
    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;
    vec4 ambient = gl_Color * ambientLight;

    // Half Lambert: the cosine moved from -1..1 to 0..1, then squared, so the
    // light wraps round into the dark side instead of stopping at its edge.
    float halfLambert = dot(normal, lightDir) * 0.5 + 0.5;
    float lambert = halfLambert * halfLambert;
    vec4 diffuse = gl_Color * gl_LightSource[0].diffuse * lambert;

    gl_FrontColor = vec4((ambient + diffuse).rgb, 1.0);
}

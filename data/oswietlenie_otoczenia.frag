#version 110
// Ambient light: the surface colour times the ambient light of the scene.
// No direction and no normal take part, so the teapot is one flat colour.

void main()
{
    // The ambient light: the scene's (glLightModel, 0.2 grey by default)
    // plus light 0's own ambient part (black by default).
    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;

    vec4 ambient = gl_Color * ambientLight;
    gl_FragColor = vec4(ambient.rgb, 1.0);
}

#version 110
// Specular light: ambient + diffuse + specular for every fragment, with the
// front material's specular colour and shininess, so the highlight is sharp.

varying vec3 normal;  // eye space, interpolated: no longer of unit length

void main()
{
    vec3 n = normalize(normal);
    // Light 0 was given once, before any camera: its direction is fixed to
    // the viewer, in eye space.
    vec3 lightDir = normalize(gl_LightSource[0].position.xyz);

    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;
    vec4 ambient = gl_Color * ambientLight;

    float lambert = max(dot(n, lightDir), 0.0);
    vec4 diffuse = gl_Color * gl_LightSource[0].diffuse * lambert;

    // The halfway vector between the light and the eye, as OpenGL keeps it
    // for a viewer far away along +z (see the per-vertex lesson).
    vec3 halfway = normalize(gl_LightSource[0].halfVector.xyz);
    float facing = lambert > 0.0 ? 1.0 : 0.0;
    float shine = pow(max(dot(n, halfway), 0.0), gl_FrontMaterial.shininess) * facing;
    vec4 specular = gl_FrontMaterial.specular * gl_LightSource[0].specular * shine;

    gl_FragColor = vec4((ambient + diffuse + specular).rgb, 1.0);
}

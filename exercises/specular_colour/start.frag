#version 110
// Exercise specular_colour (./run.sh --exercise specular_colour): this
// highlight is always white. Give it the light's specular colour and the
// material's.
//
// Specular light: the per-vertex lesson's ambient + diffuse + specular, now
// worked out for every fragment (Phong shading), with the front material's
// specular colour and shininess, so the highlight is sharp.

varying vec3 eyeNormal;  // interpolated across the triangle: no longer of unit length

void main()
{
    // The normal in eye space, of unit length again.
    vec3 normal = normalize(eyeNormal);
    // Light 0 is directional (w = 0): its position is the direction towards
    // the light, already in eye space.
    vec3 lightDir = normalize(gl_LightSource[0].position.xyz);

    // The ambient light: the scene's (glLightModel, 0.2 grey by default)
    // plus light 0's own ambient part (black by default). gl_Color is the
    // surface colour, the current colour set by glColor3f (pink).
    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;
    vec4 ambient = gl_Color * ambientLight;

    // Lambert: brightness follows the cosine of the angle between normal and
    // light; surfaces facing away get none, not a negative amount.
    float lambert = max(dot(normal, lightDir), 0.0);
    vec4 diffuse = gl_Color * gl_LightSource[0].diffuse * lambert;

    // Blinn-Phong: the halfway vector lies between the light and the eye; the
    // closer the normal is to it, the more light is mirrored into the eye.
    // Raising the cosine to the shininess makes the highlight small. OpenGL
    // keeps the halfway vector ready for each light, for a viewer far away
    // along +z: normalize(lightDir + vec3(0.0, 0.0, 1.0)).
    vec3 halfway = normalize(gl_LightSource[0].halfVector.xyz);
    float facing = lambert > 0.0 ? 1.0 : 0.0;  // no highlight on the dark side
    float shine = pow(max(dot(normal, halfway), 0.0), gl_FrontMaterial.shininess) * facing;
    vec4 specular = vec4(1.0, 1.0, 1.0, 1.0) * shine;  // white, whatever the light and material

    gl_FragColor = vec4((ambient + diffuse + specular).rgb, 1.0);
}

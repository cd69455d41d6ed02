#version 110
// Per-vertex light: adds the specular highlight to the diffuse lesson, so
// ambient + diffuse + specular, all at the vertices (Gouraud shading). Being
// interpolated from the vertices, the highlight comes out soft and uneven.

// This scene sets no material, so the lesson names its highlight here:
// white, and as tight as the specular lesson's material.
const vec4 specularColour = vec4(1.0, 1.0, 1.0, 1.0);
const float shininess = 50.0;

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
    float shine = pow(max(dot(normal, halfway), 0.0), shininess) * facing;
    vec4 specular = specularColour * gl_LightSource[0].specular * shine;

    gl_FrontColor = vec4((ambient + diffuse + specular).rgb, 1.0);
}

#version 110
// Per-vertex light: ambient + diffuse + specular, all at the vertices
// (Gouraud shading). Adds the specular highlight to the diffuse lesson; being
// interpolated from the vertices, the highlight comes out soft and uneven.

// This scene sets no material, so the lesson names its highlight here:
// white, and as tight as the specular lesson's material.
const vec4 specularColour = vec4(1.0, 1.0, 1.0, 1.0);
const float shininess = 50.0;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;

    // Everything below is in eye space, where the viewer looks down -z.
    vec3 normal = normalize(gl_NormalMatrix * gl_Normal);
    vec3 lightDir = normalize(gl_LightSource[0].position.xyz);

    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;
    vec4 ambient = gl_Color * ambientLight;

    float lambert = max(dot(normal, lightDir), 0.0);
    vec4 diffuse = gl_Color * gl_LightSource[0].diffuse * lambert;

    // Blinn-Phong: the halfway vector lies between the light and the eye; the
    // closer the normal is to it, the more light is mirrored into the eye.
    // Raising the cosine to the shininess makes the highlight small.
    // OpenGL keeps it ready for each light, for a viewer far away along +z:
    // normalize(lightDir + vec3(0.0, 0.0, 1.0)).
    vec3 halfway = normalize(gl_LightSource[0].halfVector.xyz);
    float facing = lambert > 0.0 ? 1.0 : 0.0;  // no highlight on the dark side
    float shine = pow(max(dot(normal, halfway), 0.0), shininess) * facing;
    vec4 specular = specularColour * gl_LightSource[0].specular * shine;

    gl_FrontColor = vec4((ambient + diffuse + specular).rgb, 1.0);
}

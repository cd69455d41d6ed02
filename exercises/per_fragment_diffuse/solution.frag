#version 110
// The target of exercise per_fragment_diffuse: the diffuse lesson's ambient +
// diffuse light, worked out for every fragment from the interpolated normal.

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

    gl_FragColor = vec4((ambient + diffuse).rgb, 1.0);
}

"""The exercises' set of answers: for one exercise in one profile, its
solution passes, answers equivalent to it pass, near misses fail, the
starting pair fails and is told about no mistake, and each of the
exercise's known mistakes, made from the solution, fails and is named first,
all checked by one run of the exercise's lesson (`--check NAME --pair VERT
FRAG ...`). Each answer is the solution with a
few edits (regular expressions over its two files); an edit that matches
nothing is an error of the test. Prints each answer's worst probe, the
margins the tolerance has:
    python3 exercises_test.py --bin BIN --exercises FILE [--core] NAME"""

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

from tests.harness import PrivateDisplay, base_env, exercises_listed, expect, outcome

class R(str):
    """A regular expression; any other pattern is matched as it is written."""


CLAMP = ("max(dot(normal, lightDir), 0.0)", "clamp(dot(normal, lightDir), 0.0, 1.0)")
NO_CLAMP = ("max(dot(normal, lightDir), 0.0)", "dot(normal, lightDir)")
LIGHT_BY_LENGTH = (R(r"normalize\(((?:gl_LightSource\[0\]\.position|lightPosition)\.xyz)\)"), r"\1 / length(\1)")
SHININESS = R(r"(gl_FrontMaterial\.shininess|materialShininess)\)")
FIXED_EXPONENT = (SHININESS, "50.0)")
MATERIAL = r"(gl_FrontMaterial\.specular|materialSpecular)"
LIGHT_SPECULAR = r"(gl_LightSource\[0\]\.specular|lightSpecular)"
SWAP_UNITS = (R(r"\((tex)0, (.*?)\) \* (\w+)\(tex1,"), r"(\g<1>1, \2) * \3(tex0,")
FLIP_T = (R(r"(tex[01]), (gl_TexCoord\[0\]\.st|surfaceCoord)\)"), r"\1, vec2(\2.x, 1.0 - \2.y))")
HALF_THE_OTHER_WAY = (R(r"normalize\((gl_LightSource\[0\]\.halfVector\.xyz|lightDir \+ vec3\(0\.0, 0\.0, 1\.0\))\)"),
                      "normalize(vec3(0.0, 0.0, 1.0) + lightDir)")
TINTED = ("vec4 specular = ", "vec4 specular = texel * ")
# Like the normal matrix but for a stretched teapot (GLSL 1.10 alone: the
# core profile's pairs are handed no model-view matrix).
BY_MODEL_VIEW = ("the normal turned by the model-view matrix", False,
                 [(R(r"gl_NormalMatrix \* gl_Normal"), "(gl_ModelViewMatrix * vec4(gl_Normal, 0.0)).xyz")], "1.10")

# Every exercise's solution with a hole the size of a small highlight in
# the middle of the picture: few pixels, but together, so it fails.
SPOT = ("a small spot", False, [("f", R(r"\}\s*$"),
                                 "    if (distance(gl_FragCoord.xy, vec2(100.0, 100.0)) < 4.0) discard;\n}\n")])

# For each exercise: (what the answer is, whether it should pass, edits[,
# the one profile it is for: "1.10" or "core"]).
# An edit is (file, pattern, replacement) with file "v" or "f", or a pair
# (pattern, replacement) for whichever file matches.
ANSWERS = {
    "lesson_ambient": [
        ("other names", True, [("ambientLight", "lightSum")]),
        ("the colour first", True, [(R(r"(\w+) \* ambientLight;"), r"ambientLight * \1;")]),
        ("the scene's ambient light alone", False, [(R(r" \+ (gl_LightSource\[0\]\.ambient|lightAmbient)"), "")]),
        ("0.2 written as a number", False, [(R(r"vec4 ambientLight = .*?;"), "vec4 ambientLight = vec4(0.2, 0.2, 0.2, 1.0);")]),
        ("no surface colour", False, [(R(r"vec4 ambient = \w+ \* ambientLight;"), "vec4 ambient = ambientLight;")]),
    ],
    "lesson_diffuse": [
        ("clamp for max", True, [CLAMP]),
        ("normalised by its length", True, [LIGHT_BY_LENGTH]),
        ("no clamp", False, [NO_CLAMP]),
        ("the light not normalised", False, [(R(r"normalize\(((?:gl_LightSource\[0\]\.position|lightPosition)\.xyz)\)"), r"\1")]),
        ("the normal not turned", False, [(R(r"(gl_NormalMatrix|normalMatrix) \* "), "")]),
        ("no surface colour in the diffuse light", False, [(R(r"\w+ \* ((?:gl_LightSource\[0\]\.diffuse|lightDiffuse) \* lambert)"), r"\1")]),
    ],
    "lesson_per_vertex": [
        ("clamp for max", True, [("max(dot(normal, halfway), 0.0)", "clamp(dot(normal, halfway), 0.0, 1.0)")]),
        ("the facing as a float", True, [("lambert > 0.0 ? 1.0 : 0.0", "float(lambert > 0.0)")]),
        ("a highlight on the dark side", False, [(" * facing;", ";")]),
        ("the reflection vector for the half vector", False,
         [("max(dot(normal, halfway), 0.0)", "max(dot(reflect(-lightDir, normal), vec3(0.0, 0.0, 1.0)), 0.0)")]),
        ("the light's specular colour left out", False, [(R(r"specularColour \* " + LIGHT_SPECULAR), "specularColour")]),
    ],
    "lesson_specular": [
        ("clamp for max", True, [CLAMP]),
        ("the half vector added the other way", True, [HALF_THE_OTHER_WAY]),
        ("the exponent written as a number", False, [FIXED_EXPONENT]),
        ("a white highlight", False, [(R(MATERIAL + r" \* "), "")]),
        ("no clamp", False, [NO_CLAMP]),
    ],
    "lesson_texturing": [
        ("the units swapped", True, [SWAP_UNITS]),
        ("other names", True, [("texel", "imageColour")]),
        ("t flipped", False, [FLIP_T]),
        ("s and t swapped", False, [(R(r"(tex[01]), (gl_TexCoord\[0\]\.st|surfaceCoord)\)"), r"\1, \2.yx)")]),
        ("the light map left out", False, [(R(r" \* (texture2D|texture)\(tex1, [^)]*\)"), "")]),
        ("the coordinates stretched", False, [(R(r"(gl_TexCoord\[0\]\.st|surfaceCoord)\)"), r"\1 * 1.5)")]),
    ],
    "lesson_texturing_lit": [
        ("the units swapped", True, [SWAP_UNITS]),
        ("clamp for max", True, [CLAMP]),
        ("the highlight tinted", False, [TINTED]),
        ("the exponent written as a number", False, [FIXED_EXPONENT]),
        ("t flipped", False, [FLIP_T]),
        BY_MODEL_VIEW,
    ],
    "half_lambert": [
        ("squared by pow", True, [("halfLambert * halfLambert", "pow(halfLambert, 2.0)")]),
        ("halved after adding one", True, [("dot(normal, lightDir) * 0.5 + 0.5", "0.5 * (dot(normal, lightDir) + 1.0)")]),
        ("not squared", False, [("float lambert = halfLambert * halfLambert;", "float lambert = halfLambert;")]),
        ("clamped before halving", False, [("dot(normal, lightDir) * 0.5", "max(dot(normal, lightDir), 0.0) * 0.5")]),
    ],
    "phong_reflect": [
        ("reflected by hand", True, [("reflect(-lightDir, normal)", "2.0 * dot(normal, lightDir) * normal - lightDir")]),
        ("clamp for max", True, [CLAMP]),
        ("the light reflected the wrong way", False, [("reflect(-lightDir, normal)", "reflect(lightDir, normal)")]),
        ("the exponent written as a number", False, [FIXED_EXPONENT]),
    ],
    "tiles_twice": [
        ("a vector of twos", True, [("* 2.0;", "* vec2(2.0, 2.0);")]),
        ("the units swapped", True, [SWAP_UNITS]),
        ("three times", False, [("* 2.0;", "* 3.0;")]),
        ("the light map once", False, [(R(r"\(tex1, twice\)"), "(tex1, twice * 0.5)")]),
        ("twice in s only", False, [("* 2.0;", "* vec2(2.0, 1.0);")]),
    ],
    "untinted_highlight": [
        ("the highlight first", True, [("(ambient + diffuse + specular)", "(specular + ambient + diffuse)")]),
        ("clamp for max", True, [CLAMP]),
        ("the diffuse light untextured", False, [("vec4 diffuse = texel * ", "vec4 diffuse = ")]),
        ("the exponent written as a number", False, [FIXED_EXPONENT]),
        BY_MODEL_VIEW,
    ],
    "specular_colour": [
        ("the light's colour first", True, [(R(MATERIAL + r" \* " + LIGHT_SPECULAR), r"\2 * \1")]),
        ("the light's colour alone", False, [(R(MATERIAL + r" \* "), "")]),
        ("the material's colour alone", False, [(R(r" \* " + LIGHT_SPECULAR), "")]),
        BY_MODEL_VIEW,
    ],
    "per_fragment_diffuse": [
        ("clamp for max", True, [CLAMP]),
        ("normalised by its length", True, [LIGHT_BY_LENGTH]),
        ("no clamp", False, [NO_CLAMP]),
        ("the normal not normalised again", False, [("vec3 normal = normalize(eyeNormal);", "vec3 normal = eyeNormal;")]),
    ],
}


def edited(texts, edits, what):
    """The pair's texts with `edits` made; each must change something."""
    texts = dict(texts)
    for edit in edits:
        files, pattern, replacement = (edit[0], *edit[1:]) if len(edit) == 3 else ("vf", *edit)
        regex = pattern if isinstance(pattern, R) else re.escape(pattern)
        if not isinstance(pattern, R):
            replacement = replacement.replace("\\", "\\\\")
        changed = False
        for kind in files:
            new = re.sub(regex, replacement, texts[kind])
            changed = changed or new != texts[kind]
            texts[kind] = new
        if not changed:
            raise SystemExit(f"{what}: the edit {pattern!r} matches nothing in the solution")
    return texts


KNOWN = "Your pictures match a known mistake: "


def mistaken(texts, mistake):
    """The solution's texts with a known mistake's edits made, as the lesson makes them."""
    texts = dict(texts)
    for old, new in mistake["edits"]:
        for kind in texts:
            texts[kind] = texts[kind].replace(old, new)
    return texts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--exercises", required=True)
    parser.add_argument("--core", action="store_true")
    parser.add_argument("name")
    opts = parser.parse_args()
    project = os.path.dirname(os.path.dirname(os.path.abspath(opts.exercises)))
    exercise = exercises_listed(opts.bin, opts.core, opts.exercises)[opts.name]
    pair = {role: [os.path.join(project, f) for f in exercise[role]] for role in ("start", "solution")}
    texts = {}
    for kind, path in zip("vf", pair["solution"]):
        with open(path) as f:
            texts[kind] = f.read()
    answers = [("the solution", True, pair["solution"]), ("the starting pair", False, pair["start"])]
    # The line an exercise opens at is in its starting pair, in this profile too.
    starting = "".join(open(path).read() for path in pair["start"])
    expect(any(text in starting for text in exercise["opens"]),
           f"no line of the starting pair holds any of {exercise['opens']}")
    scratch = tempfile.mkdtemp(prefix=f"exercise-{opts.name}.")
    made_up = [(what, passes, edited(texts, edits, what)) for what, passes, edits, *only in ANSWERS[opts.name] + [SPOT]
               if not only or only[0] == ("core" if opts.core else "1.10")]
    names = {}  # the answer's number -> the known mistake it is
    for mistake in exercise["mistakes"]:
        made = mistaken(texts, mistake)
        expect(made != texts, f"the mistake {mistake['name']} changes nothing in the solution")
        names[len(answers) + len(made_up)] = mistake
        made_up.append((f"the mistake {mistake['name']}", False, made))
    for number, (what, passes, made) in enumerate(made_up):
        files = []
        for kind, ext in (("v", "vert"), ("f", "frag")):
            files.append(os.path.join(scratch, f"answer{number}.{ext}"))
            with open(files[-1], "w") as f:
                f.write(made[kind])
        answers.append((what, passes, files))
    # Last, a pair that passes: the status is every pair's, not the last one's.
    answers.append(("the solution, once more", True, pair["solution"]))
    command = [os.path.join(os.path.abspath(opts.bin), exercise["lesson"])] + (["--core"] if opts.core else [])
    command += ["--check", opts.name, "--json"]
    for _, _, files in answers:
        command += ["--pair", *files]
    with PrivateDisplay() as display:
        proc = subprocess.run(command, cwd=opts.bin, env=base_env(display.name), stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=120)
    out = proc.stdout.decode(errors="replace")
    verdicts = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
    profile = "core profile" if opts.core else "GLSL 1.10"
    print(f"{opts.name} ({profile}): each answer's worst probe, the share of the teapot's pixels that differ")
    for number, (what, passes, files) in enumerate(answers):
        verdict = verdicts[number] if number < len(verdicts) else None
        expect(verdict and verdict["built"], f"{what}: no result for it: {out[-400:]!r} {proc.stderr[-400:]!r}")
        if not verdict or not verdict["built"]:
            continue
        worst = max(verdict["probes"], key=lambda p: p["share"] if not p["passed"] else 0.0)
        failing = [p for p in verdict["probes"] if not p["passed"]]
        print(f"  {'passes' if verdict['passed'] else 'fails '}  {(worst['share'] if failing else 0.0) * 100:6.2f} %"
              f"  {what}" + ("" if verdict["passed"] else f"  ({worst['name']})"))
        expect(verdict["passed"] == passes, f"{what} should {'pass' if passes else 'fail'}: "
               + "; ".join(f"{p['name']} {p['share']:.4f}" for p in verdict["probes"]))
        said = verdict["likely"] or ""
        if number in names:
            expect(verdict["mistake"] == names[number]["name"] and said == KNOWN + names[number]["sentence"],
                   f"{what} is not named first: {said!r}")
        elif what == "the starting pair":
            expect(verdict["mistake"] is None, f"the starting pair is told about a mistake: {said!r}")
        elif passes:
            expect(verdict["likely"] is None, f"{what} passes, and is told {said!r}")
        if exercise["lesson"] == "lesson_texturing":  # no light there to speak of
            for means in [said] + [p["means"] for p in verdict["probes"]]:
                expect("light" not in means.replace("light map", ""), f"{what}: told of a light: {means!r}")
    expect(proc.returncode == 1, f"the check's status with failing answers: {proc.returncode}")
    # Every known mistake and every term (t) is made from the solution and builds.
    wrong = re.findall(r"The exercise's (?:mistake|term) .*", proc.stderr.decode(errors="replace"))
    expect(not wrong, f"the exercises' file: {wrong}")
    return outcome(scratch)


if __name__ == "__main__":
    sys.exit(main())

"""tools/check_folder.sh's report: reads what each learner's check left in
its own folder of SCRATCH and writes the HTML report and the JUnit XML.
    python3 tools/folder_report.py EXERCISE PROFILE SCRATCH REPORT JUNIT

Each folder of SCRATCH (1, 2, …) holds `name` (the learner's), `ended` (why
the check did not end by itself, or nothing), `check.json` (the lesson's
verdict, one JSON object, when it gave one), `err.txt` (what it said on
standard error) and the probes' pictures. A folder without a pair has only
`name` and `missing`. The verdicts are read as data, never from printed
lines: a file name or a log cannot change a row.

Status 0 when every pair passes, 1 when one does not, 2 when every pair is
written for the other way of drawing (--core forgotten, or given), or the
lesson itself failed (it gave no verdict though its check ended: no display, the
exercise's own target missing): its reason is in the report and on standard
error."""

import base64
import html
import json
import os
import sys
import xml.etree.ElementTree as ET


def read(folder, name):
    try:
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            return f.read()
    except FileNotFoundError:
        return None


def learner(folder):
    """One learner's check, as the report needs it."""
    r = {"folder": folder, "name": read(folder, "name") or "?", "err": (read(folder, "err.txt") or "").strip(),
         "ended": (read(folder, "ended") or "").strip(), "missing": read(folder, "missing") is not None}
    text = read(folder, "check.json")
    try:
        r["check"] = json.loads(text) if text and text.strip() else None
    except json.JSONDecodeError:
        r["check"] = None
    check = r["check"]
    probes = check.get("probes", []) if check else []
    r["probes"] = probes
    if r["missing"]:
        r["row"], r["passed"] = "no pair: one .vert and one .frag wanted", False
    elif r["ended"]:
        r["row"], r["passed"] = r["ended"], False
    elif check is None:
        r["row"], r["passed"] = "the lesson failed before checking the pair (see its section)", False
        r["lesson_failed"] = True
    elif check.get("otherWay"):
        r["row"], r["passed"] = check["otherWay"], False
    elif not check.get("built"):
        r["row"], r["passed"] = "the pair does not build", False
    else:
        passed = sum(1 for p in probes if p.get("passed"))
        r["row"], r["passed"] = f"{passed} of {len(probes)}", bool(check.get("passed"))
    return r


def image(path):
    if not os.path.isfile(path):
        return ""
    with open(path, "rb") as f:
        return f'<img alt="" src="data:image/png;base64,{base64.b64encode(f.read()).decode()}">'


def verdict(check):
    """The sentence naming the likely mistake, as the lesson prints it."""
    check = check or {}
    text = check.get("likely") or ""
    if text and check.get("alsoDiffers"):
        text = text.rstrip(".") + ". Also differs in: " + "; ".join(check["alsoDiffers"]) + "."
    return text


def diagnostics(check):
    """The compiler's and the linker's messages of a pair that did not
    build, as the lesson says them (its problems), else as the driver did."""
    lines = [p["text"] for p in (check or {}).get("problems", [])]
    if lines:
        return "\n".join(lines)
    for d in (check or {}).get("diagnostics", []):
        where = ":".join(str(d[k]) for k in ("file", "line") if d.get(k) not in (None, ""))
        stage = f" ({d['stage']})" if d.get("stage") else ""
        lines.append(f"{where}{stage}: {d.get('message', '')}")
    return "\n".join(lines)


def write_html(exercise, profile, learners, path):
    e = html.escape
    out = ['<!DOCTYPE html><html lang="en"><head><meta charset="utf-8">',
           f"<title>{e(exercise)}: the learners' answers</title><style>",
           "body{font-family:sans-serif;margin:2em} td,th{padding:.2em .6em;text-align:left;vertical-align:top}",
           ".pass{color:#176317} .fail{color:#a31515} img{width:160px;height:160px;border:1px solid #ccc}",
           f"</style></head><body><h1>{e(exercise)} ({e(profile)}): the learners' answers</h1>",
           "<p>Each pair drawn in the exercise's probe scenes beside the target; the difference",
           "shows in red the pixels that differ beyond the tolerance.</p><h2>Summary</h2><table>",
           "<tr><th>Learner</th><th>Probes that pass</th></tr>"]
    for i, r in enumerate(learners, 1):
        name = e(r["name"]) if r["missing"] else f'<a href="#{i}">{e(r["name"])}</a>'
        out.append(f'<tr><td>{name}</td><td class="{"pass" if r["passed"] else "fail"}">{e(r["row"])}</td></tr>')
    out.append("</table>")
    for i, r in enumerate(learners, 1):
        if r["missing"]:
            continue
        check = r["check"] or {}
        out.append(f'<h2 id="{i}">{e(r["name"])}</h2><p>In each row: the answer, the target, their difference.</p><table>')
        if check.get("vertex"):
            out.append(f'<tr><td>{e(check["vertex"])} and {e(check.get("fragment", ""))}</td></tr>')
        if r["ended"] or r.get("lesson_failed"):
            out.append(f'<tr><td class="fail">{e(r["row"])}</td></tr>')
        for said in (verdict(check), diagnostics(check), r["err"]):
            if said:
                out.append(f"<tr><td><pre>{e(said)}</pre></td></tr>")
        for p in r["probes"]:
            kind = "pass" if p.get("passed") else "FAIL"
            counted = "" if p.get("passed") else f' ({p.get("differing")} of {p.get("covered")} pixels differ)'
            out.append(f'<tr><td class="{kind.lower()}">{kind} {e(p.get("name", ""))}: '
                       f'{e(p.get("scene", ""))}{counted}</td></tr><tr><td>')
            for picture in ("answer", "target", "difference"):
                out.append(image(os.path.join(r["folder"], f'1-{p.get("name")}-{picture}.png')))
            out.append("</td></tr>")
        out.append("</table>")
    out.append("</body></html>")
    with open(path + ".part", "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")
    os.replace(path + ".part", path)


def write_junit(exercise, profile, learners, path):
    """One test per learner and probe (one for the pair where no probe ran),
    as CI systems and course platforms read them."""
    suite = ET.Element("testsuite", name=f"{exercise} ({profile})")
    failures = errors = 0
    for r in learners:
        cases = [(p.get("name", "?"), p) for p in r["probes"]] if r["probes"] and not r["ended"] else [("pair", None)]
        for probe, p in cases:
            case = ET.SubElement(suite, "testcase", classname=r["name"], name=probe)
            if p is not None and p.get("passed"):
                continue
            if p is not None:
                failures += 1
                ET.SubElement(case, "failure", message=f'{p.get("differing")} of {p.get("covered")} pixels differ '
                              f'in {p.get("scene", "")}').text = verdict(r["check"])
            elif r["ended"] or r.get("lesson_failed"):
                errors += 1
                ET.SubElement(case, "error", message=r["row"]).text = r["err"]
            else:
                failures += 1
                ET.SubElement(case, "failure", message=r["row"]).text = diagnostics(r["check"]) or r["err"]
    suite.set("tests", str(len(suite)))
    suite.set("failures", str(failures))
    suite.set("errors", str(errors))
    ET.ElementTree(suite).write(path + ".part", encoding="utf-8", xml_declaration=True)
    os.replace(path + ".part", path)


def main(exercise, profile, scratch, report, junit):
    folders = sorted((f for f in os.listdir(scratch) if f.isdigit()), key=int)
    learners = [learner(os.path.join(scratch, f)) for f in folders]
    write_html(exercise, profile, learners, report)
    write_junit(exercise, profile, learners, junit)
    checked = sum(1 for r in learners if not r["missing"])
    print(f"Report: {report} and {junit} ({checked} pairs checked, {len(learners) - checked} folders without a pair)")
    failed = [r for r in learners if r.get("lesson_failed")]
    if failed:
        sys.stderr.write(f"The lesson itself failed, not the learners' pairs:\n{failed[0]['err']}\n")
        return 2
    pairs = [r for r in learners if r["check"]]
    if pairs and all(r["check"].get("otherWay") for r in pairs):  # the class's, not a learner's
        sys.stderr.write(f"Every pair is of the other way of drawing: {pairs[0]['row']}\n")
        return 2
    return 0 if all(r["passed"] for r in learners) else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))

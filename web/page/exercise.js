// An exercise on the page: its statement, the hints one at a time and last
// the solution, and each check as the program made it: every probe scene's
// difference picture (the target's own pixels faded, red where the
// learner's differ), marked pass or fail, with what a failure there means.
const practice = (() => {
  'use strict';
  const $ = (id) => document.getElementById(id);
  let exercise = null;  // the exercise practised, as the program lists it
  let probeUrls = [];   // the check's pictures, given back when the next check comes

  function showCheck(check) {
    probeUrls.forEach((url) => URL.revokeObjectURL(url));
    probeUrls = [];
    const list = $('checks');
    list.textContent = '';
    check.probes.forEach((probe, i) => {
      const item = document.createElement('li');
      item.className = probe.passed ? 'pass' : 'fail';
      if (Module.ccall('pageProbePicture', 'number', ['number', 'number'], [i, 2])) {
        const img = document.createElement('img');
        img.src = URL.createObjectURL(new Blob([Module.picture], { type: 'image/png' }));
        img.alt = `${probe.name}: the difference`;
        probeUrls.push(img.src);
        item.appendChild(img);
      }
      const text = document.createElement('span');
      text.textContent = probe.passed ? `pass: ${probe.scene}`
        : `FAIL: ${probe.scene} (${probe.differing} of ${probe.covered} pixels differ${probe.spot ? ", in a spot" : ""})`;
      item.appendChild(text);
      list.appendChild(item);
    });
    const passed = check.probes.filter((p) => p.passed).length;
    const solved = check.probes.length > 0 && passed === check.probes.length;
    $('verdict').textContent = solved
      ? (check.helped ? 'Solved with help: every scene passes.' : 'Solved: every scene passes.')
      : `${passed} of ${check.probes.length} scenes pass.`;
    $('likely').textContent = solved || !check.likely ? '' : check.likely +
      (check.alsoDiffers.length ? ` Also differs in: ${check.alsoDiffers.join('; ')}.` : '');
  }

  // The next hint, and after the last the solution: asked of the lesson
  // (the button, or the key n on the picture), shown as it reports them.
  function nextHint() {
    Module.ccall('pageHint', null, [], []);
  }
  function showHint(hint) {
    const item = document.createElement('li');
    item.textContent = hint.text;
    $('hints').appendChild(item);
    if (hint.last) $('hint').textContent = 'Show the solution';
  }
  function showSolution(files) {
    $('solution').textContent = files.map((f) => `// ${f.file}\n${f.text}`).join('\n');
    $('hint').disabled = true;
  }

  // The exercise `e` is practised: its statement shown, the hints to come.
  function show(e) {
    exercise = e;
    $('practice').hidden = false;
    $('practiceMore').hidden = false;
    $('statement').textContent = exercise.statement;
    $('teaches').textContent = `It teaches: ${exercise.teaches}`;
    $('hint').addEventListener('click', nextHint);
    $('canvas').classList.add('beside');  // the learner's picture, and the target's beside it
    $('exerciseKeys').hidden = false;
  }

  // A new program has given no hint yet.
  function startAgain() {
    $('hints').textContent = '';
    $('solution').textContent = '';
    $('hint').disabled = false;
    $('hint').textContent = 'Hint';
  }

  // The editors opened at the line to change: the first line of the pair
  // (vertex shader, then fragment) that holds one of the exercise's texts.
  function openAt(editors) {
    for (const text of exercise.opens || []) {
      for (const editor of editors) {
        const line = editor.getValue().split('\n').findIndex((l) => l.includes(text));
        if (line < 0) continue;
        editor.setCursor({ line, ch: 0 });
        editor.scrollIntoView({ line, ch: 0 }, 60);
        return;
      }
    }
  }

  return { showCheck, showHint, showSolution, show, startAgain, openAt };
})();

// The page around the lessons' program (lessons.js, built from the lessons'
// C++): it picks the lesson, puts the files the program reads in its folder,
// keeps the editor and the program's shader files in step, and shows what the
// program prints. Edits are kept in this browser's local storage only.
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');
  const editors = [$('vertex'), $('fragment')];
  const names = [$('vertexName'), $('fragmentName')];
  let kept = 'glsl-lessons:';    // local storage: the learner's text of a file, by its name
  const progressKey = 'glsl-lessons:progress:';  // and how far they got with each exercise
  let exercise = null;           // the exercise practised, as the program lists it
  let hintsShown = 0;
  let probeUrls = [];            // the check's pictures, given back when the next check comes
  const own = {};                // the page's text of each shader file, for the reset button
  let watched = ['', ''];        // the files in the editor: the pair the lesson draws with
  let running = false;
  let follow;

  function show(line) {
    const log = $('log');
    log.textContent += line + '\n';
    log.scrollTop = log.scrollHeight;
  }

  function keptText(file) {
    try { return localStorage.getItem(kept + file); } catch (e) { return null; }
  }
  function keep(file, text) {
    try {
      if (text === own[file]) localStorage.removeItem(kept + file);
      else localStorage.setItem(kept + file, text);
    } catch (e) { /* no storage (a private window): the edit lives as long as the page */ }
  }

  // Keys and clicks on the page's controls stay there: the lesson (which
  // listens to the whole window) gets those meant for the picture.
  for (const type of ['keydown', 'keyup', 'keypress']) {
    window.addEventListener(type, (e) => {
      if (e.target !== canvas && e.target !== document.body) e.stopImmediatePropagation();
    }, true);
  }
  window.addEventListener('mousedown', (e) => {
    if (e.target !== canvas) e.stopImmediatePropagation();
    else canvas.focus();
  }, true);
  for (const type of ['wheel', 'mousewheel', 'DOMMouseScroll']) {  // the page and editor scroll
    window.addEventListener(type, (e) => {
      if (e.target !== canvas) e.stopImmediatePropagation();
    }, true);
  }

  // The title the lesson gives its window.
  new MutationObserver(() => { $('title').textContent = document.title; })
    .observe(document.querySelector('title'), { childList: true });

  // What the compiler said of the last build, as the program hands it over:
  // each diagnostic with its file, stage, line and message, and the line's
  // text from the editor.
  function showProblems(report) {
    $('problems').textContent = report.diagnostics.map((d) => {
      if (d.stage === 'link') return `The pair did not link: ${d.message}`;
      const text = watched.includes(d.file) ? editors[watched.indexOf(d.file)].value : '';
      const source = d.line ? text.split('\n')[d.line - 1] : undefined;
      return `${d.file}${d.line ? ` line ${d.line}` : ''}: ${d.message}` +
        (source !== undefined ? `\n    ${source.trim()}` : '');
    }).join('\n') + (report.built ? '' : '\nStill drawing with the last program that worked.');
  }

  // Key s: the program hands over the picture as a PNG's bytes.
  let shots = 0;
  function downloadPicture(bytes) {
    const url = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = `${$('lesson').value}-${++shots}.png`;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  // The editor shows the pair the lesson draws with (another lesson's after
  // a number key).
  function followPair() {
    if (!running) return;
    const now = [0, 1].map((i) => Module.ccall('pageWatched', 'string', ['number'], [i]));
    if (now[0] === watched[0] && now[1] === watched[1]) return;
    watched = now;
    let edited = false;
    now.forEach((file, i) => {
      const drawn = Module.FS.readFile(file, { encoding: 'utf8' });
      const mine = keptText(file);
      editors[i].value = mine !== null ? mine : drawn;
      names[i].textContent = `${file} (GLSL ES 3.00, WebGL 2)`;
      edited = edited || (mine !== null && mine !== drawn);
    });
    $('problems').textContent = '';
    if (edited) save(0, editors[0].value);  // built as any edit is
  }

  // A change is kept, and the pair built from both editors' text at once:
  // the program says whether it built and what the compiler said, and in an
  // exercise how the check went.
  function save(i, text) {
    const file = watched[i];
    if (!file || !running) return;
    keep(file, text);
    const report = JSON.parse(Module.ccall('pageBuild', 'string', ['string', 'string'],
      [editors[0].value, editors[1].value]));
    showProblems(report);
    if (exercise) showCheck();
  }

  // How far the learner got with an exercise: "", "solved with help", "solved".
  function progress(name) {
    try { return localStorage.getItem(progressKey + name) || ''; } catch (e) { return ''; }
  }
  function keepProgress(name, state) {
    const order = ['', 'solved with help', 'solved'];
    if (order.indexOf(state) <= order.indexOf(progress(name))) return;
    try { localStorage.setItem(progressKey + name, state); } catch (e) { /* kept for this page only */ }
  }

  // The last check, as the program made it: each probe scene's difference
  // picture (the target's own pixels faded, red where the learner's differ),
  // marked pass or fail, with what a failure there means.
  function showCheck() {
    const check = JSON.parse(Module.ccall('pageCheck', 'string', [], []));
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
        : `FAIL: ${probe.scene}: ${probe.means} (${probe.differing} of ${probe.covered} pixels differ)`;
      item.appendChild(text);
      list.appendChild(item);
    });
    const passed = check.probes.filter((p) => p.passed).length;
    const solved = check.probes.length > 0 && passed === check.probes.length;
    $('verdict').textContent = solved
      ? (check.helped ? 'Solved with help: every scene passes.' : 'Solved: every scene passes.')
      : `${passed} of ${check.probes.length} scenes pass.`;
    if (solved) keepProgress(exercise.name, check.helped ? 'solved with help' : 'solved');
  }

  // The next hint, and after the last the solution (the program says so too).
  function nextHint() {
    Module.ccall('pageHint', null, [], []);
    if (hintsShown < exercise.hints.length) {
      const item = document.createElement('li');
      item.textContent = exercise.hints[hintsShown++];
      $('hints').appendChild(item);
      if (hintsShown === exercise.hints.length) $('hint').textContent = 'Show the solution';
    } else {
      $('solution').textContent = exercise.solution.map((file) =>
        `// ${file}\n${Module.FS.readFile(file, { encoding: 'utf8' })}`).join('\n');
      $('hint').disabled = true;
    }
  }

  function showExercise() {
    $('practice').hidden = false;
    $('statement').textContent = exercise.statement;
    $('teaches').textContent = `It teaches: ${exercise.teaches}`;
    $('hint').addEventListener('click', nextHint);
    canvas.classList.add('beside');  // the learner's picture, and the target's beside it
  }
  editors.forEach((editor, i) => editor.addEventListener('input', () => save(i, editor.value)));
  $('reset').addEventListener('click', () => {
    editors.forEach((editor, i) => {
      if (!(watched[i] in own)) return;
      editor.value = own[watched[i]];
      save(i, editor.value);
    });
  });

  function ended(how) {
    running = false;
    clearInterval(follow);
    editors.forEach((editor) => { editor.readOnly = true; });
    $('ended').textContent = how;
  }

  // Every file the lessons read, from the page's folder into the program's.
  // The lesson starts with the page's own shaders: a learner's kept edit is
  // put in afterwards, as an edit, so that one that does not build is shown
  // with its errors instead of ending the lesson. A file the page lacks is
  // left out, and the lesson says what it cannot read.
  async function place(file) {
    let bytes;
    try {
      const response = await fetch(file, { cache: 'no-cache' });
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
      bytes = new Uint8Array(await response.arrayBuffer());
    } catch (e) {
      show(`The page could not fetch ${file}: ${e.message}.`);
      return;
    }
    if (/\.(vert|frag)$/.test(file)) own[file] = new TextDecoder().decode(bytes);
    Module.FS.writeFile(file, bytes);
  }
  // The exercises name the lessons' pairs by the project's names (data/core/):
  // on the page those are the files under core/.
  async function placeAs(file) {
    if (!file.startsWith('data/core/')) return place(file);
    await place(file.slice('data/'.length));
    const copy = file.slice('data/'.length);
    if (Module.FS.analyzePath(copy).exists) Module.FS.writeFile(file, Module.FS.readFile(copy));
  }

  async function start() {
    const lessons = Module.ccall('pageLessons', 'string', [], []).trim().split('\n')
      .map((line) => line.split('\t'));
    const asked = new URLSearchParams(location.search).get('lesson');
    const lesson = lessons.some(([name]) => name === asked) ? asked : lessons[0][0];
    const choice = $('lesson');
    for (const [name, subject] of lessons) choice.add(new Option(`${name}: ${subject}`, name));
    choice.value = lesson;
    choice.addEventListener('change', () => { location.search = '?lesson=' + choice.value; });

    const FS = Module.FS;
    FS.mkdir('/lessons');
    FS.chdir('/lessons');
    const folders = (file) => {
      const parts = file.split('/').slice(0, -1);
      parts.forEach((_, i) => {
        const folder = parts.slice(0, i + 1).join('/');
        if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
      });
    };
    // The exercises' file first: the program then names the files they need.
    folders('exercises/exercises.txt');
    await place('exercises/exercises.txt');
    const files = Module.ccall('pageFiles', 'string', [], []).trim().split('\n');
    files.forEach(folders);
    await Promise.all(files.map(placeAs));

    // An exercise: the lesson starts with its starting pair, and the
    // learner's edits of it are kept apart from their edits of the lesson.
    const exercises = JSON.parse(Module.ccall('pageExercises', 'string', [], []));
    const practice = $('exercise');
    for (const e of exercises) {
      const state = progress(e.name);
      practice.add(new Option(`${e.name} (${e.lesson})${state ? ': ' + state : ''}`, e.name));
    }
    exercise = exercises.find((e) => e.name === new URLSearchParams(location.search).get('exercise')) || null;
    practice.value = exercise ? exercise.name : '';
    practice.addEventListener('change', () => {
      location.search = practice.value ? '?exercise=' + practice.value : '?lesson=' + choice.value;
    });
    let chosen = lesson;
    if (exercise) {
      chosen = exercise.lesson;
      choice.value = chosen;
      kept = `glsl-lessons:exercise:${exercise.name}:`;
      exercise.files.forEach((file, i) => {
        const text = FS.readFile(exercise.start[i], { encoding: 'utf8' });
        FS.writeFile(file, text);
        own[file] = text;
      });
      showExercise();
    }
    running = true;
    follow = setInterval(followPair, 100);
    canvas.focus();
    Module.callMain([chosen]);
    if (exercise) {
      Module.ccall('pageExercise', null, ['string'], [exercise.name]);
      showCheck();
    }
  }

  window.Module = {
    canvas: canvas,
    print: (line) => { show(line); console.log(line); },
    printErr: (line) => { show(line); console.error(line); },
    downloadPicture: downloadPicture,
    onRuntimeInitialized: () => { start().catch((e) => ended(`The page could not start: ${e}`)); },
    onExit: (status) => ended(status === 0
      ? 'The lesson has ended (Escape). Choose a lesson, or reload the page, to start it again.'
      : `The lesson ended with status ${status}: the messages below say why.`),
    onAbort: (what) => ended(`The lesson stopped: ${what}`),
  };
})();

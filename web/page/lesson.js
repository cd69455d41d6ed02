// The page around the running lesson: it picks the lesson (or exercise),
// starts the program, keeps the editors and the pair the lesson draws in
// step, builds every edit, and shows each report the lesson sends: its
// lines, the title, the pair it draws, the check, how far the learner got.
(() => {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');
  const editors = editing.editors;
  const names = [$('vertexName'), $('fragmentName')];
  let exercise = null;       // the exercise practised, as the program lists it
  let watched = ['', ''];    // the files in the editor: the pair the lesson draws with
  let running = false;

  // What each editor's label says of its file: edited or not, and where.
  function label(i) {
    const file = watched[i];
    const own = storage.own;
    const text = editors[i].getValue();
    const edited = file in own && text !== own[file];
    const kept = storage.keptText(file) === text;
    names[i].textContent = `${file} (GLSL ES 3.00, WebGL 2)` + (!edited ? '' : kept
      ? ` — edited, kept in this browser for ${keptFor()}` : ' — edited, not kept in this browser');
  }
  function keptFor() {
    return exercise ? `the exercise ${exercise.name}` : `${$('lesson').value}`;
  }

  // The controls: each button presses its key in the lesson, as the
  // picture would take it; the picture keeps the focus for the keys.
  function pressButton(button) {
    if (!running) return;
    Module.ccall('pageKey', null, ['number', 'number'], [+button.dataset.key, button.dataset.special ? 1 : 0]);
    canvas.focus();
  }
  document.querySelectorAll('#controls button[data-key]').forEach((button) => {
    button.addEventListener('click', () => pressButton(button));
  });

  // The title the lesson gives its window. Its Polish words, and the
  // shader files' Polish stems, are glossed once, under it.
  const gloss = {
    'Kolory w shaderze': 'colours in a shader',
    'Teksturowanie': 'texturing',
    'oswietlenie_otoczenia': 'ambient lighting',
    'oswietlenie_rozproszone': 'diffuse lighting',
    'oswietlenie_per_vertex': 'per-vertex lighting',
    'oswietlenie_odbite': 'reflected (specular) lighting',
    'teksturowanie': 'texturing',
    'teksturowanie_osw': 'texturing, lit',
  };
  function showTitle(title) {
    $('title').textContent = title;
    const words = Object.keys(gloss).filter((polish) =>
      new RegExp(`(^|[ /'])${polish}(\\.|$| )`).test(title));
    $('gloss').textContent = words.length ? 'In English: ' +
      words.map((polish) => `${polish}: ${gloss[polish]}`).join('; ') + '.' : '';
  }

  // Key s: the program hands over the picture as a PNG's bytes.
  let shots = 0;
  function downloadPicture(bytes) {
    const url = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    Module.picture = null;
    const a = document.createElement('a');
    a.href = url;
    a.download = `${$('lesson').value}-${++shots}.png`;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  // The edits held back at this load, said with the button that applies
  // them: the two come and go together.
  let heldBack = [];
  let opened = false;  // the editors were opened at the exercise's line
  function showHeld() {
    $('held').hidden = heldBack.length === 0;
    $('heldWhy').textContent = heldBack.length ? `Your edit of ${heldBack.join(' and ')} was held back: the page ` +
      'stopped while drawing it last time (an endless loop?). The lesson\'s own text is in the editor; ' +
      'your edit is still kept, until you type in that file. ' : '';
  }

  // The editors show the pair the lesson draws with (another lesson's after
  // a number key), with the learner's kept edit of each file; an edit that
  // never drew (it hung the page) is held back, with a button to apply it.
  function followPair(now) {
    if (!running) return;
    if (now[0] === watched[0] && now[1] === watched[1]) return;
    watched = now;
    let edited = false;
    const held = [];
    now.forEach((file, i) => {
      const drawn = Module.FS.readFile(file, { encoding: 'utf8' });
      let mine = storage.keptText(file);
      if (mine !== null && storage.neverDrew(file)) {
        held.push(file);
        mine = null;
      }
      editors[i].setValue(mine !== null ? mine : drawn);
      editors[i].clearHistory();  // undo stays within this file
      edited = edited || (mine !== null && mine !== drawn);
    });
    problems.clear();  // of the files shown before
    $('problems').textContent = '';
    [0, 1].forEach(label);
    heldBack = held;
    showHeld();
    $('apply').onclick = () => {
      heldBack.forEach((file) => {
        const i = watched.indexOf(file);
        editors[i].setValue(storage.keptText(file));
      });
      heldBack = [];
      showHeld();
      save(0, false);
    };
    if (edited) save(0, false);  // built as any edit is, the kept texts as they are
    if (exercise && !opened) {  // an exercise opens at the line to change
      opened = true;
      practice.openAt(editors);
    }
  }

  // A change is kept, and the pair built from both editors' text at once:
  // the program answers with the build's report (and, in an exercise, the
  // check comes as a report of its own).
  const largest = 256 * 1024;  // a shader's text the page builds, at most
  let contextLost = false;
  // `typed`: the learner changed editor i (typed, put back, loaded); else
  // the pair is only built, as the editors show it.
  function save(i, typed = true) {
    const file = watched[i];
    const text = editors[i].getValue();
    if (!file || !running) return;
    // Typed over, a held-back edit is no longer kept: nothing is held.
    if (typed && heldBack.includes(file)) {
      heldBack = heldBack.filter((f) => f !== file);
      showHeld();
    }
    let refused = typed && !storage.keep(file, text);
    // The mark first, then the build: an edit whose mark storage refuses is
    // not kept either (a load would build it unguarded).
    const texts = editors.map((editor) => editor.getValue());
    if (!watched.every((f, j) => storage.markTrying(f, texts[j])) && typed && !refused) {
      storage.forget(file);
      refused = true;
    }
    [0, 1].forEach(label);
    $('saved').textContent = refused ? 'This browser would not keep your edit (its storage is full, or ' +
      'turned off): it lives until the page is closed. Download the pair to keep it.' : '';
    const big = editors.findIndex((editor) => editor.getValue().length > largest);
    if (big >= 0) {
      $('problems').textContent = `${watched[big]} is ${Math.round(editors[big].getValue().length / 1024)} KB: ` +
        `the page builds shaders of up to ${largest / 1024} KB. Still drawing with the last program that worked.`;
      return;
    }
    if (contextLost) {
      $('problems').textContent = 'The picture\'s WebGL context is lost: your edit is kept, and built when it comes back.';
      return;
    }
    const report = JSON.parse(Module.ccall('pageBuild', 'string', ['string', 'string'], texts));
    storage.drewWith(watched.slice(), texts, canvas, report.built);
    $('problems').textContent = problems.show(report, watched, editors);
  }

  // A lost context (the GPU reset, or the browser reclaimed it) is said,
  // and the page starts again when it comes back: the program's objects went
  // with the context.
  canvas.addEventListener('webglcontextlost', (e) => {
    e.preventDefault();
    contextLost = true;
    $('ended').textContent = 'The picture\'s WebGL context was lost (the graphics driver was reset, or the ' +
      'browser took it back): the page starts again when it returns, with your edits.';
  });
  canvas.addEventListener('webglcontextrestored', () => location.reload());

  // Every change the learner makes is built (the page's own setValue is not theirs).
  editors.forEach((editor, i) => editor.on('changes', (cm, changes) => {
    if (changes.some((change) => change.origin !== 'setValue')) save(i);
  }));
  function putBack(i) {
    if (!(watched[i] in storage.own)) return;
    editors[i].setValue(storage.own[watched[i]]);
    save(i);
  }
  $('reset').addEventListener('click', () => [0, 1].forEach(putBack));
  document.querySelectorAll('button.back').forEach((button) => {
    button.addEventListener('click', () => putBack(+button.dataset.file));
  });

  // The pair as one text file, each shader after a line that names its file;
  // loaded back, each goes into the editor of that file, or in order.
  const marker = /^\/\/ ---- (.*)$/;
  $('download').addEventListener('click', () => {
    const text = watched.map((file, i) => `// ---- ${file}\n${editors[i].getValue()}`).join('\n');
    const url = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = `${keptFor().replace(/\W+/g, '_')}-pair.txt`;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  });
  $('upload').addEventListener('change', async () => {
    const file = $('upload').files[0];
    if (!file) return;
    if (file.size > 2 * largest) {
      $('problems').textContent = `${file.name} is ${Math.round(file.size / 1024)} KB: too large for a pair.`;
      return;
    }
    const parts = [];
    for (const line of (await file.text()).split('\n')) {
      const m = marker.exec(line);
      if (m) parts.push({ file: m[1], lines: [] });
      else if (parts.length) parts[parts.length - 1].lines.push(line);
    }
    if (parts.length !== 2) {
      $('problems').textContent = `${file.name} is not a pair downloaded from this page (two parts, each after ` +
        'a line "// ---- FILE").';
      return;
    }
    parts.forEach((part, i) => {
      const at = watched.indexOf(part.file);
      editors[at >= 0 ? at : i].setValue(part.lines.join('\n'));
    });
    $('upload').value = '';
    save(0);
    save(1);
  });

  function ended(how, restartable) {
    running = false;
    editors.forEach((editor) => editor.setOption('readOnly', true));
    $('ended').textContent = how;
    $('restart').hidden = !restartable;
  }

  // The page's choices and buttons are made at the first start; each start
  // (the first, and each after the lesson ended) gives the program its files.
  let firstStart = true;
  async function start() {
    const lessons = Module.ccall('pageLessons', 'string', [], []).trim().split('\n')
      .map((line) => line.split('\t'));
    const asked = new URLSearchParams(location.search).get('lesson');
    const lesson = lessons.some(([name]) => name === asked) ? asked : lessons[0][0];
    if (firstStart) makeLessonChoices(lessons, lesson);
    storage.keepFor(lesson);  // each lesson's edits its own, whichever pair they are of
    await begin(lessons, lesson);
  }

  function makeLessonChoices(lessons, lesson) {
    const choice = $('lesson');
    for (const [name, subject] of lessons) choice.add(new Option(`${name}: ${subject}`, name));
    lessons.forEach(([name], i) => {  // the number keys, as buttons
      const button = document.createElement('button');
      button.dataset.key = String(49 + i);
      button.title = `${name}'s shaders in this lesson's scene (key ${i + 1})`;
      button.innerHTML = `<kbd>${i + 1}</kbd>`;
      button.setAttribute('aria-label', `${i + 1}: ${name}'s shaders`);
      button.addEventListener('click', () => pressButton(button));
      $('pairs').appendChild(button);
    });
    choice.value = lesson;
    choice.addEventListener('change', () => { location.search = '?lesson=' + choice.value; });
  }

  async function begin(lessons, lesson) {
    const choice = $('lesson');
    const FS = Module.FS;
    const files = await placing.placeFiles();

    // An exercise: the lesson starts with its starting pair, and the
    // learner's edits of it are kept apart from their edits of the lesson.
    const exercises = JSON.parse(Module.ccall('pageExercises', 'string', [], []));
    const chooser = $('exercise');
    exercise = exercises.find((e) => e.name === new URLSearchParams(location.search).get('exercise')) || null;
    if (firstStart) {
      for (const e of exercises) {
        const state = storage.progress(e.name);
        chooser.add(new Option(`${e.name} (${e.lesson})${state ? ': ' + state : ''}`, e.name));
      }
      chooser.value = exercise ? exercise.name : '';
      chooser.addEventListener('change', () => {
        location.search = chooser.value ? '?exercise=' + chooser.value : '?lesson=' + choice.value;
      });
    }
    let chosen = lesson;
    if (!exercise) {
      const row = lessons.findIndex(([name]) => name === lesson);
      storage.adoptOldEdits(files.slice(2 * row, 2 * row + 2));
    }
    if (exercise) {
      chosen = exercise.lesson;
      choice.value = chosen;
      storage.keepFor(`exercise:${exercise.name}`);
      exercise.files.forEach((file, i) => {
        const text = FS.readFile(exercise.start[i], { encoding: 'utf8' });
        FS.writeFile(file, text);
        storage.own[file] = text;
      });
      if (firstStart) practice.show(exercise);
    }
    // The running lesson's section of the guide, made from docs/lessons.md.
    const guide = (window.lessonGuide || {})[chosen];
    if (guide) $('guide').innerHTML = guide;
    else $('guide').textContent = 'The guide, docs/lessons.md, has no section for this lesson.';
    firstStart = false;
    running = true;
    watched = ['', ''];  // the editors take the pair up again
    editors.forEach((editor) => editor.setOption('readOnly', false));
    canvas.focus();
    Module.callMain([chosen]);
    if (exercise) Module.ccall('pageExercise', null, ['string'], [exercise.name]);
  }

  // What the running lesson reports, as it happens: its lines in the log,
  // its title, the pair it draws (the editors follow it), the check, and how
  // far the learner got.
  function lessonReport(report) {
    for (const line of report.lines) {
      for (const text of line.text.replace(/\n$/, '').split('\n')) {
        log.show(text);
        (line.error ? console.error : console.log)(text);
      }
    }
    showTitle(report.title);
    // Once the program's call has returned: taking up the pair may build it.
    queueMicrotask(() => followPair(report.pair));
    if (report.check && exercise) practice.showCheck(report.check);
    if (report.progress && exercise) storage.keepProgress(exercise.name, report.progress);
    if (report.hint) practice.showHint(report.hint);
    if (report.solution) practice.showSolution(report.solution);
  }

  // The program (lessons.js) made anew for each start: a lesson that ended
  // (Escape, or a failure) starts again without a reload, with the edits.
  function launch() {
    window.Module = {
      canvas: canvas,
      print: (line) => { log.show(line); console.log(line); },
      printErr: (line) => { log.show(line); console.error(line); },
      downloadPicture: downloadPicture,
      lessonReport: lessonReport,
      onRuntimeInitialized: () => { start().catch((e) => ended(`The page could not start: ${e}`)); },
      onExit: (status) => ended(status === 0
        ? 'The lesson has ended (Escape).'
        : `The lesson ended with status ${status}: the messages below say why.`, true),
      onAbort: (what) => ended(`The lesson stopped: ${what}`, true),
    };
    createLessons(window.Module);
  }
  $('restart').addEventListener('click', () => {
    $('restart').hidden = true;
    $('ended').textContent = '';
    $('problems').textContent = '';
    problems.clear();
    log.show('— started again —');
    practice.startAgain();  // the new program has given no hint
    launch();
  });
  launch();  // lessons.js, before this script, gave createLessons
})();

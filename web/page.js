// The page around the lessons' program (lessons.js, built from the lessons'
// C++): it picks the lesson, puts the files the program reads in its folder,
// keeps the editor and the program's shader files in step, and shows what the
// running lesson reports: each report arrives as one event with data (its
// lines, the title, the pair drawn, a build's diagnostics, a check).
// Edits are kept in this browser's local storage only.
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');
  // The editors: CodeMirror (editor.js), with GLSL ES's words, line numbers,
  // a gutter for the problems' marks, bracket matching, search (Ctrl-F),
  // go to line (Alt-G) and comments (Ctrl-/).
  const word = (list) => Object.fromEntries(list.split(' ').map((w) => [w, true]));
  CodeMirror.defineMIME('x-shader/x-glsl-es', {
    name: 'clike',
    keywords: word('const uniform in out inout layout centroid flat smooth invariant precision highp ' +
      'mediump lowp attribute varying break continue do for while switch case default if else discard ' +
      'return struct'),
    types: word('void bool int uint float vec2 vec3 vec4 bvec2 bvec3 bvec4 ivec2 ivec3 ivec4 uvec2 ' +
      'uvec3 uvec4 mat2 mat3 mat4 mat2x2 mat2x3 mat2x4 mat3x2 mat3x3 mat3x4 mat4x2 mat4x3 mat4x4 ' +
      'sampler2D sampler3D samplerCube sampler2DShadow sampler2DArray isampler2D usampler2D'),
    blockKeywords: word('for while do if else switch struct'),
    builtin: word('radians degrees sin cos tan asin acos atan sinh cosh tanh pow exp log exp2 log2 ' +
      'sqrt inversesqrt abs sign floor ceil trunc round fract mod modf min max clamp mix step ' +
      'smoothstep isnan isinf length distance dot cross normalize faceforward reflect refract ' +
      'matrixCompMult outerProduct transpose determinant inverse lessThan lessThanEqual greaterThan ' +
      'greaterThanEqual equal notEqual any all not texture textureLod textureProj textureSize ' +
      'texelFetch texture2D dFdx dFdy fwidth gl_Position gl_PointSize gl_VertexID gl_InstanceID ' +
      'gl_FragCoord gl_FrontFacing gl_PointCoord gl_FragDepth'),
    atoms: word('true false'),
    hooks: { '#': (stream) => { stream.skipToEnd(); return 'meta'; } },  // #version, #define
  });
  // Tab indents; Escape, then Tab, lets the focus go on (the keyboard alone
  // is never caught in an editor).
  let leaving = false;
  const editors = ['vertex', 'fragment'].map((id) => CodeMirror.fromTextArea($(id), {
    mode: 'x-shader/x-glsl-es', lineNumbers: true, matchBrackets: true, indentUnit: 4,
    gutters: ['problem-marks', 'CodeMirror-linenumbers'],
    extraKeys: { 'Ctrl-/': 'toggleComment', 'Cmd-/': 'toggleComment', Tab: 'insertSoftTab',
      'Shift-Tab': 'indentLess', Esc: () => { leaving = true; return CodeMirror.Pass; } },
    screenReaderLabel: `the ${id} shader`,
  }));
  editors.forEach((editor) => {
    editor.on('keydown', (cm, e) => {
      if (e.key === 'Tab' && leaving) e.codemirrorIgnore = true;  // the browser's: the next control
      else if (!['Escape', 'Shift'].includes(e.key)) leaving = false;
    });
    editor.on('focus', () => { leaving = false; });
  });
  const names = [$('vertexName'), $('fragmentName')];
  let kept = 'glsl-lessons:';    // local storage: the learner's text of a file, by its name
  const progressKey = 'glsl-lessons:progress:';  // and how far they got with each exercise
  let exercise = null;           // the exercise practised, as the program lists it
  let hintsShown = 0;
  let probeUrls = [];            // the check's pictures, given back when the next check comes
  const own = {};                // the page's text of each shader file, for the reset button
  let watched = ['', ''];        // the files in the editor: the pair the lesson draws with
  let running = false;

  function show(line) {
    const log = $('log');
    log.textContent += line + '\n';
    log.scrollTop = log.scrollHeight;
  }

  function keptText(file) {
    try { return localStorage.getItem(kept + file); } catch (e) { return null; }
  }
  // Whether the edit is kept in this browser; when storage refuses it (full,
  // or turned off), the editor says so: the edit lives as long as the page.
  function keep(file, text) {
    try {
      if (text === own[file]) localStorage.removeItem(kept + file);
      else localStorage.setItem(kept + file, text);
      return true;
    } catch (e) {
      return false;
    }
  }
  // Edits made before each lesson kept its own were kept by file name alone:
  // the running lesson's own pair takes them over.
  function adoptOldEdits(files) {
    try {
      for (const file of files) {
        const old = localStorage.getItem('glsl-lessons:' + file);
        if (old !== null && localStorage.getItem(kept + file) === null) localStorage.setItem(kept + file, old);
        localStorage.removeItem('glsl-lessons:' + file);
      }
    } catch (e) { /* no storage */ }
  }

  // An edit being built is marked until a frame has been drawn with it: one
  // that never got that far (an endless loop that hung the page) is held
  // back at the next load instead of being built again.
  const trying = 'glsl-lessons:trying:';
  function markTrying(file) {
    try { localStorage.setItem(trying + kept + file, '1'); } catch (e) { /* no storage */ }
  }
  function drewWith(files) {
    requestAnimationFrame(() => requestAnimationFrame(() => {
      // A pixel read back waits for the frame's drawing to end on the GPU:
      // a frame that never ends keeps the mark (a lost context, too).
      const gl = canvas.getContext('webgl2');
      if (!gl || gl.isContextLost()) return;
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
      if (gl.isContextLost()) return;
      try { files.forEach((file) => localStorage.removeItem(trying + kept + file)); } catch (e) { /* none */ }
    }));
  }
  function neverDrew(file) {
    try { return localStorage.getItem(trying + kept + file) !== null; } catch (e) { return false; }
  }

  // What each editor's label says of its file: edited or not, and where.
  function label(i) {
    const file = watched[i];
    const edited = file in own && editors[i].getValue() !== own[file];
    names[i].textContent = `${file} (GLSL ES 3.00, WebGL 2)` + (edited ? ` — edited, kept in this browser for ${keptFor()}` : '');
  }
  function keptFor() {
    return exercise ? `the exercise ${exercise.name}` : `${$('lesson').value}`;
  }

  // Keys and clicks on the page's controls and editors stay there: the
  // lesson (GLUT, which listens to the whole window, before anything else
  // sees an event) gets only those meant for the picture. Its listeners are
  // wrapped as it adds them, so the editors' own keys (undo, search) work.
  function forTheLesson(e) {
    if (/^key/.test(e.type)) {
      if (e.target !== canvas && e.target !== document.body) return false;
      if (e.key === 'Tab') return false;  // the lesson has no use for it: it moves the focus on
      return e.key !== 'Escape' || e.target === canvas;  // Escape ends the lesson only from the picture
    }
    if (e.type === 'mousedown' || /wheel|DOMMouseScroll/.test(e.type)) return e.target === canvas;
    return true;  // a drag goes on outside the picture, and ends there
  }
  const filtered = new WeakMap();
  const add = window.addEventListener, remove = window.removeEventListener;
  window.addEventListener = function (type, listener, options) {
    if (typeof listener !== 'function') return add.call(this, type, listener, options);
    if (!filtered.has(listener)) filtered.set(listener, (e) => (forTheLesson(e) ? listener(e) : undefined));
    return add.call(this, type, filtered.get(listener), options);
  };
  window.removeEventListener = function (type, listener, options) {
    return remove.call(this, type, filtered.get(listener) || listener, options);
  };
  add.call(window, 'mousedown', (e) => { if (e.target === canvas) canvas.focus(); }, true);

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

  // What the compiler said of the last build, as the program hands it over:
  // each diagnostic with its file, stage, line and message, and the line's
  // text from the editor. One mistake often makes more on its line: the
  // first is shown, the rest counted. A message about an unexpected token
  // often means the line before it lacks its end (a ';'): that line is shown
  // too. A link error names what does not fit: where each shader declares it.
  const textOf = (file) => (watched.includes(file) ? editors[watched.indexOf(file)].getValue() : '');
  function declarations(name) {
    const found = [];
    watched.forEach((file, i) => {
      textOf(file).split('\n').forEach((line, at) => {
        if (new RegExp(`^\\s*(?:layout\\s*\\([^)]*\\)\\s*)?(?:flat\\s+|smooth\\s+)?(in|out|uniform|varying)\\s+\\w+\\s+${name}\\b`).test(line)) {
          found.push({ i, line: at + 1, text: `${['vertex', 'fragment'][i]} shader ${file} line ${at + 1}: ${line.trim()}` });
        }
      });
    });
    return found;
  }

  // Each problem marked in the editor at its line: the line tinted, a mark
  // in the gutter, and the message under the line.
  let marks = [];
  function clearMarks() {
    marks.forEach((clear) => clear());
    marks = [];
  }
  function mark(i, line, message) {
    const cm = editors[i];
    if (line < 1 || line > cm.lineCount()) return;
    const handle = cm.addLineClass(line - 1, 'background', 'problem-line');
    const dot = document.createElement('span');
    dot.className = 'problem-dot';
    dot.textContent = '●';
    dot.title = message;
    cm.setGutterMarker(handle, 'problem-marks', dot);
    const note = document.createElement('div');
    note.className = 'problem-note';
    note.textContent = message;
    const widget = cm.addLineWidget(handle, note, { noHScroll: true });
    marks.push(() => {
      cm.removeLineClass(handle, 'background', 'problem-line');
      cm.setGutterMarker(handle, 'problem-marks', null);
      widget.clear();
    });
  }

  function showProblems(report) {
    clearMarks();
    const shown = [];
    const seen = new Map();  // file:line -> how many more
    for (const d of report.diagnostics) {
      if (d.stage === 'link') {
        const names = [...new Set((d.message.match(/\b[A-Za-z_]\w*\b/g) || [])
          .filter((w) => declarations(w).length))];
        const where = names.flatMap(declarations);
        shown.push(`The pair did not link: ${d.message}` +
          (where.length ? `\n    declared in ${where.map((w) => w.text).join('\n    declared in ')}` : ''));
        where.forEach((w) => mark(w.i, w.line, `The pair did not link: ${d.message}`));
        continue;
      }
      const key = `${d.file}:${d.line}`;
      if (d.line && seen.has(key)) {
        seen.set(key, seen.get(key) + 1);
        continue;
      }
      seen.set(key, 0);
      const lines = textOf(d.file).split('\n');
      const source = d.line ? lines[d.line - 1] : undefined;
      const notes = [];  // said under the message, in the list and at the line
      if (d.line > 1 && /unexpected|expected|syntax error/.test(d.message)) {
        const before = lines[d.line - 2].trim();
        if (before && !/[;{}]$/.test(before)) notes.push(`(the line before, ${d.line - 1}, lacks its end? ${before})`);
      }
      shown.push({ key, file: d.file, line: d.line, message: d.message, notes,
        text: `${d.file}${d.line ? ` line ${d.line}` : ''}: ${d.message}` +
          (source !== undefined ? `\n    ${source.trim()}` : '') });
    }
    $('problems').textContent = shown.map((item) => {
      if (typeof item === 'string') return item;
      const more = seen.get(item.key);
      if (more) item.notes.push(`(and ${more} more on this line, most likely from the first)`);
      if (watched.includes(item.file)) mark(watched.indexOf(item.file), item.line, [item.message, ...item.notes].join('\n'));
      return [item.text, ...item.notes].join('\n    ');
    }).join('\n') + (report.built ? '' : '\nStill drawing with the last program that worked.');
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

  // The editor shows the pair the lesson draws with (another lesson's after
  // a number key).
  function followPair(now) {
    if (!running) return;
    if (now[0] === watched[0] && now[1] === watched[1]) return;
    watched = now;
    let edited = false;
    const held = [];
    now.forEach((file, i) => {
      const drawn = Module.FS.readFile(file, { encoding: 'utf8' });
      let mine = keptText(file);
      if (mine !== null && neverDrew(file)) {
        held.push(file);
        mine = null;
      }
      editors[i].setValue(mine !== null ? mine : drawn);
      editors[i].clearHistory();  // undo stays within this file
      edited = edited || (mine !== null && mine !== drawn);
    });
    clearMarks();  // of the files shown before
    [0, 1].forEach(label);
    $('problems').textContent = held.length ? `Your edit of ${held.join(' and ')} was held back: the page ` +
      'stopped while drawing it last time (an endless loop?). The lesson\'s own text is in the editor; ' +
      'your edit is still kept: "Apply the held-back edit" brings it back.' : '';
    $('apply').hidden = held.length === 0;
    $('apply').onclick = () => {
      held.forEach((file) => {
        const i = watched.indexOf(file);
        editors[i].setValue(keptText(file));
      });
      $('apply').hidden = true;
      save(0);
    };
    if (edited) save(0);  // built as any edit is
  }

  // A change is kept, and the pair built from both editors' text at once:
  // the program says whether it built and what the compiler said, and in an
  // exercise how the check went.
  const largest = 256 * 1024;  // a shader's text the page builds, at most
  let contextLost = false;
  function save(i) {
    const file = watched[i];
    const text = editors[i].getValue();
    if (!file || !running) return;
    [0, 1].forEach(label);
    const refused = !keep(file, text);
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
    watched.forEach(markTrying);
    const report = JSON.parse(Module.ccall('pageBuild', 'string', ['string', 'string'],
      [editors[0].getValue(), editors[1].getValue()]));
    drewWith(watched.slice());
    showProblems(report);
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
    $('exerciseKeys').hidden = false;
  }
  // Every change the learner makes is built (the page's own setValue is not theirs).
  editors.forEach((editor, i) => editor.on('changes', (cm, changes) => {
    if (changes.some((change) => change.origin !== 'setValue')) save(i);
  }));
  function putBack(i) {
    if (!(watched[i] in own)) return;
    editors[i].setValue(own[watched[i]]);
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

  // Every file the lessons read, from the page's folder into the program's.
  // The lesson starts with the page's own shaders: a learner's kept edit is
  // put in afterwards, as an edit, so that one that does not build is shown
  // with its errors instead of ending the lesson. A file the page lacks is
  // left out, and the lesson says what it cannot read.
  // Each file from the page's folder, where a learner may have put their own
  // (an image); where it cannot be fetched (the page opened from disk, where
  // a browser fetches nothing), as packed in files.js when the page was built.
  async function place(file) {
    let bytes;
    const packed = (window.lessonFiles || {})[file];
    try {
      const response = await fetch(file, { cache: 'no-cache' });
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
      bytes = new Uint8Array(await response.arrayBuffer());
    } catch (e) {
      if (packed === undefined) {
        show(`The page could not ${location.protocol === 'file:' ? 'read' : 'fetch'} ${file}: ${e.message}.`);
        return;
      }
      bytes = Uint8Array.from(atob(packed), (c) => c.charCodeAt(0));
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

  // The page's choices and buttons are made at the first start; each start
  // (the first, and each after the lesson ended) gives the program its files.
  let firstStart = true;
  async function start() {
    const lessons = Module.ccall('pageLessons', 'string', [], []).trim().split('\n')
      .map((line) => line.split('\t'));
    const asked = new URLSearchParams(location.search).get('lesson');
    const lesson = lessons.some(([name]) => name === asked) ? asked : lessons[0][0];
    if (firstStart) makeLessonChoices(lessons, lesson);
    kept = `glsl-lessons:${lesson}:`;  // each lesson's edits its own, whichever pair they are of
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

  async function placeFiles() {
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
    return files;
  }

  async function begin(lessons, lesson) {
    const choice = $('lesson');
    const FS = Module.FS;
    const files = await placeFiles();

    // An exercise: the lesson starts with its starting pair, and the
    // learner's edits of it are kept apart from their edits of the lesson.
    const exercises = JSON.parse(Module.ccall('pageExercises', 'string', [], []));
    const practice = $('exercise');
    exercise = exercises.find((e) => e.name === new URLSearchParams(location.search).get('exercise')) || null;
    if (firstStart) {
      for (const e of exercises) {
        const state = progress(e.name);
        practice.add(new Option(`${e.name} (${e.lesson})${state ? ': ' + state : ''}`, e.name));
      }
      practice.value = exercise ? exercise.name : '';
      practice.addEventListener('change', () => {
        location.search = practice.value ? '?exercise=' + practice.value : '?lesson=' + choice.value;
      });
    }
    let chosen = lesson;
    if (!exercise) {
      const row = lessons.findIndex(([name]) => name === lesson);
      adoptOldEdits(files.slice(2 * row, 2 * row + 2));
    }
    if (exercise) {
      chosen = exercise.lesson;
      choice.value = chosen;
      kept = `glsl-lessons:exercise:${exercise.name}:`;
      exercise.files.forEach((file, i) => {
        const text = FS.readFile(exercise.start[i], { encoding: 'utf8' });
        FS.writeFile(file, text);
        own[file] = text;
      });
      if (firstStart) showExercise();
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
  // its title, the pair it draws (the editors follow it), and the check.
  function lessonReport(report) {
    for (const line of report.lines) {
      for (const text of line.text.replace(/\n$/, '').split('\n')) {
        show(text);
        (line.error ? console.error : console.log)(text);
      }
    }
    showTitle(report.title);
    // Once the program's call has returned: taking up the pair may build it.
    queueMicrotask(() => followPair(report.pair));
    if (report.check && exercise) showCheck(report.check);
  }

  // The program (lessons.js) made anew for each start: a lesson that ended
  // (Escape, or a failure) starts again without a reload, with the edits.
  function launch() {
    window.Module = {
      canvas: canvas,
      print: (line) => { show(line); console.log(line); },
      printErr: (line) => { show(line); console.error(line); },
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
    clearMarks();
    show('— started again —');
    hintsShown = 0;  // the new program has given none
    $('hints').textContent = '';
    $('solution').textContent = '';
    $('hint').disabled = false;
    $('hint').textContent = 'Hint';
    launch();
  });
  launch();  // lessons.js, before this script, gave createLessons
})();

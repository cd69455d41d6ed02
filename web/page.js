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
  const kept = 'glsl-lessons:';  // local storage: the learner's text of a file, by its name
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
  // the program says whether it built and what the compiler said.
  function save(i, text) {
    const file = watched[i];
    if (!file || !running) return;
    keep(file, text);
    const report = JSON.parse(Module.ccall('pageBuild', 'string', ['string', 'string'],
      [editors[0].value, editors[1].value]));
    showProblems(report);
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
    const files = Module.ccall('pageFiles', 'string', [], []).trim().split('\n');
    for (const file of files) {
      const folder = file.split('/').slice(0, -1).join('/');
      if (folder && !FS.analyzePath(folder).exists) FS.mkdir(folder);
    }
    await Promise.all(files.map(place));
    running = true;
    follow = setInterval(followPair, 100);
    canvas.focus();
    Module.callMain([lesson]);
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

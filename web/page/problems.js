// What the compiler said of the last build, as the program hands it over:
// each diagnostic with its file, stage, line and message, marked in the
// editor at its line (the line tinted, a mark in the gutter, the message
// under the line) and listed under the editors with the line's text. One
// mistake often makes more on its line: the first is shown, the rest
// counted. A message about an unexpected token often means the line before
// it lacks its end (a ';'): that line is shown too. A link error names what
// does not fit: where each shader declares it.
const problems = (() => {
  'use strict';
  let marks = [];

  function clear() {
    marks.forEach((undo) => undo());
    marks = [];
  }

  function mark(cm, line, message) {
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

  // The build's report shown against the pair in the editors: `files` the
  // two files, `editors` their editors. Returns the list's text.
  function show(report, files, editors) {
    clear();
    const textOf = (file) => (files.includes(file) ? editors[files.indexOf(file)].getValue() : '');
    function declarations(name) {
      const found = [];
      files.forEach((file, i) => {
        textOf(file).split('\n').forEach((line, at) => {
          if (new RegExp(`^\\s*(?:layout\\s*\\([^)]*\\)\\s*)?(?:flat\\s+|smooth\\s+)?(in|out|uniform|varying)\\s+\\w+\\s+${name}\\b`).test(line)) {
            found.push({ i, line: at + 1, text: `${['vertex', 'fragment'][i]} shader ${file} line ${at + 1}: ${line.trim()}` });
          }
        });
      });
      return found;
    }
    const shown = [];
    const seen = new Map();  // file:line -> how many more
    for (const d of report.diagnostics) {
      if (d.stage === 'link') {
        const names = [...new Set((d.message.match(/\b[A-Za-z_]\w*\b/g) || [])
          .filter((w) => declarations(w).length))];
        const where = names.flatMap(declarations);
        shown.push(`The pair did not link: ${d.message}` +
          (where.length ? `\n    declared in ${where.map((w) => w.text).join('\n    declared in ')}` : ''));
        where.forEach((w) => mark(editors[w.i], w.line, `The pair did not link: ${d.message}`));
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
    return shown.map((item) => {
      if (typeof item === 'string') return item;
      const more = seen.get(item.key);
      if (more) item.notes.push(`(and ${more} more on this line, most likely from the first)`);
      if (files.includes(item.file)) mark(editors[files.indexOf(item.file)], item.line, [item.message, ...item.notes].join('\n'));
      return [item.text, ...item.notes].join('\n    ');
    }).join('\n') + (report.built ? '' : '\nStill drawing with the last program that worked.');
  }

  return { show, clear };
})();

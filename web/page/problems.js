// What the compiler said of the last build, as the program says it to the
// learner on the desktop too (one mistake's cascade on a line counted, the
// line before one that lacks its end, where each shader declares what does
// not link): marked in the editor at its places (the line tinted, a mark in
// the gutter, the message under the line) and listed under the editors.
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
  // two files, `editors` their editors. The program has said each problem
  // as the desktop says it (report.problems): listed here, and marked at
  // each of its places. Returns the list's text.
  function show(report, files, editors) {
    clear();
    const shown = (report.problems || []).map((p) => {
      const said = [p.message, ...(p.stage === 'link' ? [] : p.notes)].join('\n');
      p.marks.forEach((m) => {
        if (files.includes(m.file)) mark(editors[files.indexOf(m.file)], m.line, said);
      });
      return p.text;
    });
    return shown.join('\n') + (report.built ? '' : '\nStill drawing with the last program that worked.');
  }

  return { show, clear };
})();

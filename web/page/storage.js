// What the page keeps in this browser's local storage, and nowhere else: the
// learner's text of each file (each lesson and exercise its own), the marks
// of edits not yet drawn, and how far the learner got with each exercise.
const storage = (() => {
  'use strict';
  let kept = 'glsl-lessons:';  // the learner's text of a file, by its name, after this
  const own = {};              // the page's own text of each shader file
  const trying = 'glsl-lessons:trying:';
  const progressKey = 'glsl-lessons:progress:';

  // The edits of `owner` (a lesson, or "exercise:NAME") from now on.
  function keepFor(owner) { kept = `glsl-lessons:${owner}:`; }

  function keptText(file) {
    try { return localStorage.getItem(kept + file); } catch (e) { return null; }
  }
  // Whether the edit is kept in this browser; when storage refuses it (full,
  // or turned off), the edit lives as long as the page.
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
  // back at the next load instead of being built again. The mark belongs to
  // the edit (it holds the text's hash), not to the file: a build of the
  // other file, or of this file's own text beside a held-back edit, neither
  // sets it nor takes it away.
  function hash(text) {  // FNV-1a over the text's UTF-16 code units
    let h = 0x811c9dc5;
    for (let i = 0; i < text.length; i++) h = Math.imul(h ^ text.charCodeAt(i), 16777619) >>> 0;
    return h.toString(16);
  }
  // Marks the kept edit of `file` when `text` is that edit; false when the
  // mark cannot be kept (storage full): the edit must not be kept then.
  function markTrying(file, text) {
    try {
      if (localStorage.getItem(kept + file) !== text) return true;  // not what a load applies
      localStorage.setItem(trying + kept + file, hash(text));
      return true;
    } catch (e) {
      return false;
    }
  }
  function unmark(files, texts) {
    try {
      files.forEach((file, i) => {
        if (localStorage.getItem(trying + kept + file) === hash(texts[i])) localStorage.removeItem(trying + kept + file);
      });
    } catch (e) { /* none */ }
  }
  // `built`: whether the texts made a program, which draws from now on; a
  // build that failed draws nothing of theirs, and cannot hang a frame.
  function drewWith(files, texts, canvas, built) {
    if (!built) {
      unmark(files, texts);
      return;
    }
    requestAnimationFrame(() => requestAnimationFrame(() => {
      // A pixel read back waits for the frame's drawing to end on the GPU:
      // a frame that never ends keeps the mark (a lost context, too).
      const gl = canvas.getContext('webgl2');
      if (!gl || gl.isContextLost()) return;
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
      if (gl.isContextLost()) return;
      unmark(files, texts);
    }));
  }
  function neverDrew(file) {
    try {
      const mark = localStorage.getItem(trying + kept + file);
      const text = localStorage.getItem(kept + file);
      // '1': a mark of the page before marks held the text's hash
      return mark !== null && text !== null && (mark === '1' || mark === hash(text));
    } catch (e) { return false; }
  }
  // An edit kept, then found unmarkable: taken back out of storage.
  function forget(file) {
    try { localStorage.removeItem(kept + file); } catch (e) { /* none */ }
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

  return { own, keepFor, keptText, keep, forget, adoptOldEdits, markTrying, drewWith, neverDrew, progress, keepProgress };
})();

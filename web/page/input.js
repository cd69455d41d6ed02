// Keys and clicks on the page's controls and editors stay there: the lesson
// (GLUT, which listens to the whole window, before anything else sees an
// event) gets only those meant for the picture. Its listeners are wrapped as
// it adds them, so the editors' own keys (undo, search) work.
const input = (() => {
  'use strict';
  const canvas = document.getElementById('canvas');
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
  return { forTheLesson };
})();

// The page's log: what the lesson says, one line at a time.
const log = (() => {
  'use strict';
  function show(line) {
    const box = document.getElementById('log');
    box.textContent += line + '\n';
    box.scrollTop = box.scrollHeight;
  }
  return { show };
})();

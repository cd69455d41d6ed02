// Test-only, put into the page by the tests before it loads: counts the
// frames the lesson draws and reads one back from WebGL right after it is
// drawn, before the browser shows it and clears the drawing buffer.
(() => {
  const clear = WebGL2RenderingContext.prototype.clear;
  let drawing = null;  // the context that cleared during this animation frame
  WebGL2RenderingContext.prototype.clear = function (mask) {
    drawing = this;
    return clear.call(this, mask);
  };
  let drawn = 0;
  const waiting = [];  // [frame number or null for the next, resolve]
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((time) => {
    drawing = null;
    const began = performance.now();
    callback(time);
    if (!drawing) return;
    if (window.lessonProbeTiming) {  // a benchmark: the frame's whole work, finished
      drawing.readPixels(0, 0, 1, 1, drawing.RGBA, drawing.UNSIGNED_BYTE, new Uint8Array(4));
      costs[drawn + 1] = performance.now() - began;
    }
    drawn += 1;
    times[drawn] = performance.now();  // since the page began to load
    if (drawn === 1) first = read(drawing);  // before a test could ask for it
    for (const wait of waiting.slice()) {
      if (wait[0] !== null && wait[0] !== drawn) continue;
      waiting.splice(waiting.indexOf(wait), 1);
      wait[1](drawn === 1 ? first : read(drawing));
    }
  });
  let first = null;
  const times = {}, costs = {};
  function read(gl) {
    const w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
    const pixels = new Uint8Array(w * h * 4);
    gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    let text = '';
    for (let i = 0; i < pixels.length; i += 0x8000) text += String.fromCharCode(...pixels.subarray(i, i + 0x8000));
    return { width: w, height: h, drawn: drawn, pixels: btoa(text) };
  }
  window.lessonProbe = {
    drawn: () => drawn,
    // With window.lessonProbeTiming set: ms from the start of frame `number`'s
    // work to its last pixel drawn (a 1-pixel read waits for it).
    cost: (number) => costs[number],
    // When frame `number` was drawn, in ms since the page began to load;
    // waits for it.
    timeOf: (number) => new Promise((resolve) => {
      const look = () => (times[number] !== undefined ? resolve(times[number]) : setTimeout(look, 10));
      look();
    }),
    // The pixels of frame `number`, or of the next frame drawn (null). The
    // first frame is kept; another one already past never comes.
    frame: (number) => new Promise((resolve) => {
      if (number === 1 && first) resolve(first);
      else waiting.push([number, resolve]);
    }),
  };
})();

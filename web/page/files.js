// Every file the lessons read, from the page's folder into the program's:
// each from the page's folder, where a learner may have put their own (an
// image); where it cannot be fetched (the page opened from disk, where a
// browser fetches nothing), as packed in files.js when the page was built.
// The lesson starts with the page's own shaders: a learner's kept edit is
// put in afterwards, as an edit, so that one that does not build is shown
// with its errors instead of ending the lesson. A file the page lacks is
// left out, and the lesson says what it cannot read.
const placing = (() => {
  'use strict';
  async function place(file) {
    let bytes;
    const packed = (window.lessonFiles || {})[file];
    try {
      const response = await fetch(file, { cache: 'no-cache' });
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
      bytes = new Uint8Array(await response.arrayBuffer());
    } catch (e) {
      if (packed === undefined) {
        log.show(`The page could not ${location.protocol === 'file:' ? 'read' : 'fetch'} ${file}: ${e.message}.`);
        return;
      }
      bytes = Uint8Array.from(atob(packed), (c) => c.charCodeAt(0));
    }
    if (/\.(vert|frag)$/.test(file)) storage.own[file] = new TextDecoder().decode(bytes);
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

  // Every file in place, in the program's folder /lessons: the names of the
  // files it reads, as the program gives them.
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

  return { placeFiles };
})();

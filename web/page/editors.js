// The two editors, vertex and fragment shader: CodeMirror (editor.js), with
// GLSL ES's words, line numbers, a gutter for the problems' marks, bracket
// matching, search (Ctrl-F), go to line (Alt-G) and comments (Ctrl-/).
const editing = (() => {
  'use strict';
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
  const editors = ['vertex', 'fragment'].map((id) => CodeMirror.fromTextArea(document.getElementById(id), {
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
  return { editors };
})();

// CommonJS entry: the ES module, loaded on the first call of load(). The
// default export is there for code compiled from `import mensora from`.
'use strict';

exports.load = () => import('./index.js').then((mensora) => mensora.load());
exports.default = { load: exports.load };

// CommonJS entry: the ES module, loaded on the first call of load().
'use strict';

exports.load = () => import('./index.js').then((mensora) => mensora.load());

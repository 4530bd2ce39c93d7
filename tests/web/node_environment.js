// The tests run with node's own environment (HOME, XDG_*, TMPDIR), as the native suites do.
Module.preRun = (Module.preRun || []).concat([function () { Object.assign(ENV, process.env); }]);

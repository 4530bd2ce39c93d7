// Before the program starts: the designer's own files (/user) from the browser's storage,
// written back after each change; the service worker that keeps the site for offline use.
var Module = {
  preRun: [function () {
    FS.mkdir('/user');
    FS.mount(IDBFS, {}, '/user');
    addRunDependency('kelvo-user-files');
    FS.syncfs(true, function () { removeRunDependency('kelvo-user-files'); });
  }],
  onRuntimeInitialized: function () {
    var loading = document.querySelector('.kelvo-loading');
    if (loading) loading.remove();
    var pending = false;
    Module.kelvoSync = function () {
      if (pending) return;
      pending = true;
      setTimeout(function () { pending = false; FS.syncfs(false, function () {}); }, 200);
    };
    // Every event may have written a file of the user's: kept after it.
    var push = Module.kelvoPush;
    Module.kelvoPush = function (event) { push(event); Module.kelvoSync(); };
    Module.callMain([]);
  },
  print: function (text) { console.log(text); },
  printErr: function (text) { console.warn(text); },
};
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('sw.js').catch(function () {});
}

// The player's files (settings.ini and the worlds) live in a folder kept in
// the browser's own storage. It is read back before the game starts, so a
// reload of the page finds the worlds again.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  FS.mkdir("/quillmoor");
  FS.mount(IDBFS, {}, "/quillmoor");
  FS.chdir("/quillmoor");
  addRunDependency("saves");
  FS.syncfs(true, function (err) {
    if (err) console.error("the saves could not be read from the browser: " + err);
    removeRunDependency("saves");
  });
});

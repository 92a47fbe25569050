// What the page and the game hand each other. They meet on one object, the
// page's global Module: Emscripten's runtime (quillmoor.js) takes its
// settings from it, and the page's scripts, the game's own JavaScript
// (library_web.js) and the bundles put ahead of the game's code (saves.js,
// codec.js) all see it. Every property one of them sets there for another
// to read is declared here, once: what it holds, who sets it (`by`) and who
// reads it (`readers`), each a file of platform/web, "tests" (tests/web),
// "bench" (bench/web_*.mjs) or "runtime" (Emscripten's).
//
// The page's scripts and the bundles take Module from here (esbuild puts
// this file in each; the declarations below are left out, as nothing there
// uses them). The game's library cannot import: Emscripten copies it into
// quillmoor.js function by function. It and the tests use the same names,
// and tests/web/contract_test.mjs holds every one of those files to this
// list.

// Made by whichever runs first: page.js, before quillmoor.js, whose runtime
// takes it as its own.
export const Module = globalThis.Module || (globalThis.Module = {});

export const CONTRACT = {
  // ---------------------------------------------------------------- the page's, before the game's code runs

  // The canvas the game draws on (#screen), whose 2D context the game takes
  // when its window opens.
  canvas: { by: "page.js", readers: ["library_web.js"] },
  // The audio output the game plays into, and the sound switch (sound.js):
  // { on, context, output, started }, with `context` and `output` from the
  // player's first gesture; `started` counts the sounds the game started.
  // Null when the page wants no sound (#verify=).
  sound: { by: "page.js", readers: ["library_web.js", "tests"] },
  // Called once the game has ended (Exit): the page says so in its words.
  ended: { by: "page.js", readers: ["library_web.js"] },
  // A replay checked by the page (#verify=URL): true, and the player's
  // saves are neither read nor locked.
  verifying: { by: "page.js", readers: ["saves.js"] },
  // A replay watched in the page (#watch=URL, or a file the player chose):
  // true, and the player's saves are neither read nor locked either.
  watching: { by: "page.js", readers: ["saves.js"] },
  // The game's command line then: ["--verify", NAME] or ["--replay", NAME].
  arguments: { by: "page.js", readers: ["runtime"] },
  // Where the game's lines go then (its standard output).
  print: { by: "page.js", readers: ["runtime"] },
  // Told how far the check has got: checking(done, total), in update steps;
  // the page's bar fills with it.
  checking: { by: "page.js", readers: ["library_web.js"] },
  // The one line the game said of the replay checked or watched (refused,
  // or left), or "stopped: WHY" when it could not run; undefined until then.
  verdict: { by: "page.js", readers: ["tests"] },

  // ---------------------------------------------------------------- the bundles', ahead of the game's code

  // The player's files in the browser's storage, and the one-tab lock:
  // keepStart(paths) and keepResult(job) for each save, watch(watcher) and
  // state, takeOver(), exportFiles() and restoreFiles(files) for a backup.
  saves: { by: "saves.js", readers: ["library_web.js", "page.js", "backup.js", "tests"] },
  // True once another tab has taken the saves over: the game stops where it
  // is, at its next frame.
  halted: { by: "saves.js", readers: ["library_web.js"] },
  // The replay's zlib: deflate(bytes), and inflate(bytes, out), true only
  // for a whole stream of exactly out.length bytes.
  codec: { by: "codec.js", readers: ["library_web.js", "tests"] },

  // ---------------------------------------------------------------- the game's (library_web.js)

  // The game's side of the page: `keys` (KeyboardEvent.code to the game's
  // key code, from the key table), `events` waiting for the game, `sounds`
  // as made ({ name, data, rate }), the canvas's `context` once the window
  // is open with the `image` over the frame's bytes, and `times`, how long
  // the last frames kept the page busy.
  quillmoor: { by: "library_web.js", readers: ["tests", "bench"] },
  // How many frames the game has shown: its own clock, 16 ms of play each.
  flips: { by: "library_web.js", readers: ["tests", "bench"] },
  // "Save replay"'s way in, from the game's window opening: path() of the
  // replay being written (empty when none), checkpoint() (the step it is
  // asked at, -1 when nothing is recorded any more), steps(), read(path).
  replay: { by: "library_web.js", readers: ["replay.js", "tests"] },
  // The replay viewer's way in, from the game's window opening: state(),
  // what its bar says ({ step, total, quarters, paused, end: "no", "ended"
  // or "early" }), seek(step), at the game's next frame, and digest(), the
  // game's state summed up (hex).
  watch: { by: "library_web.js", readers: ["watch.js", "page.js", "tests", "bench"] },
};

// Emscripten's own: the page's settings for its runtime, and what the
// runtime puts on Module (the game's exports are named with "_").
export const EMSCRIPTEN = ["preRun", "instantiateWasm", "onRuntimeInitialized", "onAbort", "FS_createDataFile",
                           "addRunDependency", "removeRunDependency"];

// The page's start-up: the game's code fetched with its download shown,
// the game's Module set up before quillmoor.js runs, and the page's other
// jobs started (layout.js, touch.js, status.js, notice.js, sound.js,
// watch.js).
// Bundled at build time into index.html itself (web.cmake), so nothing waits
// on another file before the game's own are asked for.
import { Module } from "./contract.js";
import { follow, fullScreenButton } from "./layout.js";
import { savesNotice } from "./notice.js";
import { sound } from "./sound.js";
import { download, hideStatus, status } from "./status.js";
import { touchControls } from "./touch.js";
import { leave, refused, watchAsked, watchButton, watchControls } from "./watch.js";

const screen = document.getElementById("screen");

// A test's way in: with #verify=URL the page checks the replay at URL as
// `quillmoor --verify` does, with no canvas, no controls and none of the
// player's saves, and shows the one line the game says (Module.verdict).
const verify = /^#verify=(.+)$/.exec(location.hash);
// A replay to watch (#watch=URL, or a file chosen a moment ago: watch.js),
// with the game's viewer, none of the player's saves, and the viewer's own
// controls in place of the game's.
const watch = verify ? null : watchAsked();

follow();
if (watch) watchControls();
else touchControls();
fullScreenButton();
if (!watch && !verify) watchButton();

// The page's controls are not needed to start: their code (backup.js) is
// fetched once the game's own is in, or once the page knows it cannot start.
let controls = false;
function backupControls() {
  if (controls || verify || watch) return;
  controls = true;
  const code = document.createElement("script");
  code.src = "backup.js";
  document.body.appendChild(code);
}

function stopped(why) {
  backupControls();
  if (verify && Module.verdict === undefined) Module.verdict = `stopped: ${why}`;
  screen.style.visibility = "hidden";
  status(`Quillmoor stopped on an error (${why}). Reload the page to play again.`, null);
}

// The game's code is asked for at once, beside quillmoor.js, so the two
// share the line, and here, so its download can be shown.
const wasm = typeof WebAssembly === "object" ? fetch("quillmoor.wasm") : null;
if (wasm) wasm.catch(() => {});  // the failure is shown once the game asks for the code

// quillmoor.js finds its settings in the page's global Module (contract.js).
Object.assign(Module, {
  preRun: [],
  instantiateWasm(imports, done) {
    wasm.then(download).then((bytes) => {
      status("Starting Quillmoor", undefined);
      backupControls();
      return WebAssembly.instantiate(bytes, imports);
    }).then((made) => done(made.instance, made.module)).catch((err) => stopped(err.message));
    return {};
  },
  onRuntimeInitialized() {
    if (verify) {
      screen.style.visibility = "hidden";
      if (Module.verdict === undefined) status("Checking the replay", undefined);
      return;
    }
    hideStatus();
    // After one visit the page's files are kept for playing with no
    // network. The keeper starts only now, so on a first visit it does not
    // fetch the same files while the player waits for them.
    if ("serviceWorker" in navigator) navigator.serviceWorker.register("sw.js").catch(() => {});
  },
  onAbort(what) { stopped(what); },
});
Module.canvas = screen;
// The audio output the game plays into, and the sound switch (sound.js).
Module.sound = verify ? null : sound(screen);
// After Exit: a page cannot close itself, so it says what happened. A
// replay watched and left returns to the game's title.
Module.ended = () => {
  if (watch) return leave();
  screen.style.visibility = "hidden";
  status("The game has ended. Reload the page to play again.", null);
};

if (verify) {
  document.getElementById("bar").style.display = "none";
  let url = "", name = "replay";
  try {
    url = decodeURIComponent(verify[1]);
    // The file keeps its own name, so the game's line names it as the
    // desktop's does for the same file checked in its own folder.
    const last = url.split(/[?#]/)[0].split("/").pop();
    if (/^\w[\w.,-]*$/.test(last)) name = last;
  } catch (err) { /* no URL: the game says it cannot read the file */ }
  Module.verifying = true;
  Module.arguments = ["--verify", name];
  Module.checking = (done, total) => {
    if (Module.verdict === undefined && done < total) status("Checking the replay", done / total);
  };
  Module.print = (line) => {
    console.log(line);
    if (Module.verdict !== undefined) return;
    Module.verdict = line;
    status(line, null);
  };
  Module.preRun.push(() => {
    if (!url) return;
    Module.addRunDependency("replay");
    fetch(url).then((response) => {
      if (!response.ok) throw new Error(`${response.status}`);
      return response.arrayBuffer();
    }).then((bytes) => Module.FS_createDataFile("/", name, new Uint8Array(bytes), true, false, false))
      .catch((err) => console.error(`the replay ${url} could not be fetched: ${err.message}`))
      .finally(() => Module.removeRunDependency("replay"));
  });
} else if (watch) {
  Module.watching = true;
  Module.arguments = ["--replay", watch.name];
  // The game's one line of the replay: why it cannot be watched (said
  // before its window opens: shown here, with the way back), or how it was
  // left.
  Module.print = (line) => {
    console.log(line);
    if (Module.verdict !== undefined) return;
    Module.verdict = line;
    if (Module.watch) return;  // the window is open: the viewer was left
    screen.style.visibility = "hidden";
    refused();
    status(line, null);
  };
  Module.preRun.push(() => {
    const keep = (bytes) => Module.FS_createDataFile("/", watch.name, bytes, true, false, false);
    if (watch.bytes) return keep(new Uint8Array(watch.bytes));
    if (!watch.url) return;
    Module.addRunDependency("replay");
    fetch(watch.url).then((response) => {
      if (!response.ok) throw new Error(`${response.status}`);
      return response.arrayBuffer();
    }).then((bytes) => keep(new Uint8Array(bytes)))
      .catch((err) => console.error(`the replay ${watch.url} could not be fetched: ${err.message}`))
      .finally(() => Module.removeRunDependency("replay"));
  });
} else {
  // The saves' state is shown from the moment they start (saves.js runs
  // its start in the game's preRun, after this one).
  Module.preRun.push(() => savesNotice(Module.saves));
}

addEventListener("error", (e) => stopped(e.message));
if (typeof WebAssembly !== "object") {
  status("Quillmoor cannot run in this browser: it has no WebAssembly. Try another browser, or a newer one.", null);
  backupControls();
} else {
  const code = document.createElement("script");
  code.src = "quillmoor.js";
  code.onerror = () => stopped("quillmoor.js could not be loaded");
  document.body.appendChild(code);
}

// "Save replay": downloads the replay of the play so far.
//
// The game records every session as it goes into replays/ in the page's
// memory, and only there: the browser's storage keeps just the files a save
// hands it (saves.js), and a backup holds just what is stored (archive.js).
// Pressed, the game is asked for a checkpoint at its next update step, which
// also writes the record up to it to the file; once the game has stepped past
// it, the file holds the play so far, whole, and is handed over as
// quillmoor-<date>_<time>.replay for `quillmoor --replay` or `--verify`.
//
// Bundled into the page's controls by backup.js.
import { Module } from "./contract.js";

// While a save waits for the browser's storage (up to ten seconds) the game
// takes no step, and so writes no checkpoint: this waits a little longer.
export const WAIT = 15000;

export const NOT_STARTED = "No replay yet: the game has not started.";
export const NOT_RECORDED = "No replay: this play is not being recorded.";
export const NOT_RUNNING = "The replay could not be saved: the game is not running in this tab.";

// replays/2026-12-11_02-19-15.replay -> quillmoor-2026-12-11_02-19-15.replay
export const replayName = (path) => "quillmoor-" + path.split("/").pop();

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// An error whose message is fit to show the player as it is.
export class ReplayError extends Error {}

// The replay so far, as {name, bytes}; a failure is thrown as the player's
// words. `game` is what the game offers the page (Module.replay, set by
// library_web.js once the game's window opens).
export async function replaySoFar(game) {
  if (!game) throw new ReplayError(NOT_STARTED);
  const path = game.path();
  if (!path) throw new ReplayError(NOT_RECORDED);
  // No checkpoint (-1) once the game has ended: it wrote its replay whole
  // then. (It ends only within an update step, so never before the step
  // that writes a checkpoint asked for.)
  const at = game.checkpoint();
  if (at >= 0) {
    const end = Date.now() + WAIT;
    while (game.steps() <= at) {
      if (Date.now() > end) throw new ReplayError(NOT_RUNNING);
      await sleep(50);
    }
  }
  let bytes;
  try {
    bytes = game.read(path);
  } catch (err) {
    throw new ReplayError("The replay could not be saved: it could not be read.");
  }
  return { name: replayName(path), bytes };
}

// The page's control (index.html, #replay-save beside the backup controls).
function control() {
  const button = document.getElementById("replay-save");
  const message = document.getElementById("replay-message");
  if (!button || !message) return;
  const say = (text) => { message.textContent = text; message.hidden = !text; };
  button.addEventListener("click", async () => {
    // The game's keys are on the window: the control keeps no focus.
    button.blur();
    button.disabled = true;
    say("Saving the replay...");
    try {
      const { name, bytes } = await replaySoFar(Module.replay);
      const url = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
      const link = document.createElement("a");
      link.href = url;
      link.download = name;
      link.click();
      setTimeout(() => URL.revokeObjectURL(url), 60000);
      say(`Replay saved: ${name}`);
    } catch (err) {
      say(err instanceof ReplayError ? err.message : `The replay could not be saved: ${err.message}`);
    } finally {
      button.disabled = false;
    }
  });
}

if (typeof document !== "undefined") control();

// The page's backup controls (index.html, #saves-controls): "Save backup"
// downloads one zip of everything stored, "Restore backup" puts such a zip
// back in place of what is stored, after asking. The archive itself is
// archive.js; the storage is the game's (Module.saves, saves.js).
//
// What fails is told beside the controls in the player's words: what
// happened, and what they can do about it.
//
// The page's bundle (build-web/backup.js) is this file with archive.js, its
// zip library and "Save replay" (replay.js), the page's other control under
// the game: the page fetches one file for its controls.
import { ARCHIVE_LIMIT, BackupError, backupName, describe, packBackup, readBackup } from "./archive.js";
import { Module } from "./contract.js";
import "./replay.js";

// The storage's failures (their kind, from saves.js), as a backup or a
// restore meets them.
export const NO_BACKUP = {
  unavailable: "No backup made: your saves could not be read in this browser. Reload the page to try again.",
  timeout: "No backup made: the browser's storage did not answer. Try again in a moment.",
  failed: "No backup made: the browser's storage failed. Reload the page and try again.",
};
export const NOT_RESTORED = {
  unavailable: "Nothing was restored: this browser cannot keep your saves. Reload the page and try again.",
  elsewhere: "Nothing was restored: Quillmoor is open in another tab, which keeps the saves. Restore there, or close it first.",
  full: "Nothing was restored: the browser's storage is full. Free some space and try again.",
  timeout: "Nothing was restored: the browser's storage did not answer. Try again in a moment.",
  failed: "Nothing was restored: the browser's storage failed. Reload the page and try again.",
};
export const UNREADABLE_FILE = "That file could not be read. Choose it again.";
export const NO_SAVES = "Saves are not available in this browser.";

// The player's words for `err`: a BackupError's own, else those of its kind.
export function told(err, words) {
  if (err instanceof BackupError) return err.message;
  console.error(err);
  return words[err && err.kind] || words.failed;
}

function controls() {
  const box = document.getElementById("saves-controls");
  if (!box) return;
  const [save, restore, picker, ask, question, yes, no, message] =
    ["backup-save", "backup-restore", "backup-file", "backup-ask", "backup-question", "backup-yes", "backup-no",
     "backup-message"].map((id) => document.getElementById(id));
  let waiting = null;  // the checked backup awaiting the player's yes

  const say = (text) => { message.textContent = text; message.hidden = !text; };
  const busy = (on) => { save.disabled = restore.disabled = on; };
  const asking = (on) => { ask.hidden = !on; save.hidden = restore.hidden = on; };
  const saves = () => {
    const s = Module.saves;
    if (!s) say(NO_SAVES);
    return s;
  };
  // The game's keys are on the window: a control keeps no focus after a click.
  for (const button of [save, restore, yes, no]) button.addEventListener("click", () => button.blur());

  save.addEventListener("click", async () => {
    const s = saves();
    if (!s) return;
    busy(true);
    say("Packing the saves...");
    try {
      const zip = await packBackup(await s.exportFiles());
      const url = URL.createObjectURL(new Blob([zip], { type: "application/zip" }));
      const link = document.createElement("a");
      link.href = url;
      link.download = backupName();
      link.click();
      setTimeout(() => URL.revokeObjectURL(url), 60000);
      say(`Backup saved: ${link.download}`);
    } catch (err) {
      say(told(err, NO_BACKUP));
    } finally {
      busy(false);
    }
  });

  restore.addEventListener("click", () => {
    if (!saves()) return;
    say("");
    picker.value = "";
    picker.click();
  });

  picker.addEventListener("change", async () => {
    const file = picker.files && picker.files[0];
    if (!file) return;
    busy(true);
    say("Checking the backup...");
    try {
      if (file.size > ARCHIVE_LIMIT) throw new BackupError("That file is too large to be a Quillmoor backup.");
      waiting = await readBackup(new Uint8Array(await file.arrayBuffer()));
      say("");
      question.textContent = `Replace your saves with this backup (${describe(waiting)})? What is saved now will be lost.`;
      asking(true);
    } catch (err) {
      say(told(err, { failed: UNREADABLE_FILE }));
    } finally {
      busy(false);
    }
  });

  no.addEventListener("click", () => {
    waiting = null;
    asking(false);
    say("Nothing was changed.");
  });

  yes.addEventListener("click", async () => {
    const s = saves();
    const files = waiting;
    waiting = null;
    asking(false);
    if (!s || !files) return;
    busy(true);
    say("Restoring...");
    try {
      await s.restoreFiles(files);
      // The game reads its files only as the page starts.
      say("Restored. Starting again...");
      location.reload();
    } catch (err) {
      say(told(err, NOT_RESTORED));
      busy(false);
    }
  });
}

if (typeof document !== "undefined") controls();

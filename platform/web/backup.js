// The page's backup controls (index.html, #saves-controls): "Save backup"
// downloads one zip of everything stored, "Restore backup" puts such a zip
// back in place of what is stored, after asking. The archive itself is
// archive.js; the storage is the game's (Module.saves, saves.js).
//
// The page's bundle (build-web/backup.js) is this file with archive.js, its
// zip library and "Save replay" (replay.js), the page's other control under
// the game: the page fetches one file for its controls.
import { ARCHIVE_LIMIT, BackupError, backupName, describe, packBackup, readBackup } from "./archive.js";
import "./replay.js";

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
  // Module.saves is the game's storage (saves.js, inside quillmoor.js).
  const saves = () => {
    const s = globalThis.Module && globalThis.Module.saves;
    if (!s) say("Saves are not available in this browser.");
    return s;
  };
  const shownError = (err) => (err && err.message ? err.message : String(err));
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
      say(shownError(err));
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
      say(err instanceof BackupError ? err.message : `That file could not be read: ${shownError(err)}`);
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
      say(`Nothing was restored: ${shownError(err)}`);
      busy(false);
    }
  });
}

if (typeof document !== "undefined") controls();

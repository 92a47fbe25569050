// The backup's archive: one zip of the player's saves (the settings and
// every world), written by "Save backup" and read back, checked whole, by
// "Restore backup" (backup.js, the page's controls).
//
// The zip holds a list of its files, quillmoor-backup.json:
//   {"game":"Quillmoor","format":1,"files":[{"path":..., "size":..., "sha256":...}]}
// and each file under its stored path: settings.ini, or worlds/<name>/<file>.
// A restore checks the whole archive against that list before anything
// stored is touched: a file that is not a backup, or a backup that was cut
// short or changed, is refused with the player's words (a BackupError) and
// the saves stay as they are.
//
// Bundled with its zip library into the page's controls; the tests run it
// in Node.
import { strFromU8, strToU8, unzipSync, zipSync } from "fflate";

export const MANIFEST = "quillmoor-backup.json";
export const FORMAT = 1;
// The game's own files are a few kilobytes to a few hundred; anything near
// these limits is not a save.
export const FILE_LIMIT = 1 << 20;
export const TOTAL_LIMIT = 64 << 20;
const MANIFEST_LIMIT = 8 << 20;
// The largest file that could hold a backup within those limits.
export const ARCHIVE_LIMIT = TOTAL_LIMIT + MANIFEST_LIMIT;

export const NOT_A_BACKUP = "That file is not a Quillmoor backup.";
export const DAMAGED = "That backup is damaged.";

// An error whose message is fit to show the player as it is.
export class BackupError extends Error {}

const damaged = (why) => new BackupError(`${DAMAGED.slice(0, -1)}: ${why}.`);
// A name from a file is shown to the player only as plain text, and short.
const shown = (path) => JSON.stringify(path.length > 48 ? path.slice(0, 45) + "..." : path);

// The places the game keeps files in: settings.ini, and worlds/<name>/<file>
// with the same rules the game holds world names to. Nothing else is ever
// written from a backup.
export function isSavePath(path) {
  if (typeof path !== "string") return false;
  if (path === "settings.ini") return true;
  const parts = path.split("/");
  return parts.length === 3 && parts[0] === "worlds" &&
         parts.slice(1).every((p) => p !== "" && p !== "." && p !== ".." && !/[\\\x00-\x1f]/.test(p));
}

async function sha256(bytes) {
  const digest = new Uint8Array(await crypto.subtle.digest("SHA-256", bytes));
  return Array.from(digest, (b) => b.toString(16).padStart(2, "0")).join("");
}

// What a list of save files holds, in the player's words: "2 worlds and the settings".
export function describe(files) {
  const worlds = new Set(files.filter((f) => f.path.startsWith("worlds/")).map((f) => f.path.split("/")[1]));
  const parts = [];
  if (worlds.size) parts.push(`${worlds.size} world${worlds.size === 1 ? "" : "s"}`);
  if (files.some((f) => f.path === "settings.ini")) parts.push("the settings");
  return parts.join(" and ");
}

// The stored files as one zip, its list first. Anything stored that the game
// never reads (no save path) is left out rather than making a backup that
// could not be restored.
export async function packBackup(stored) {
  const files = stored.filter((f) => {
    if (isSavePath(f.path)) return true;
    console.warn(`not a save, left out of the backup: ${f.path}`);
    return false;
  }).sort((a, b) => (a.path < b.path ? -1 : a.path > b.path ? 1 : 0));
  if (files.length === 0) throw new BackupError("There is nothing saved yet.");
  const listed = [];
  let total = 0;
  for (const f of files) {
    if (listed.length && listed[listed.length - 1].path === f.path) throw new BackupError(`${f.path} is stored twice.`);
    if (f.data.length > FILE_LIMIT) throw new BackupError(`${f.path} is too large to back up.`);
    total += f.data.length;
    listed.push({ path: f.path, size: f.data.length, sha256: await sha256(f.data) });
  }
  if (total > TOTAL_LIMIT) throw new BackupError("The saves are too large to back up.");
  const entries = { [MANIFEST]: strToU8(JSON.stringify({ game: "Quillmoor", format: FORMAT, files: listed })) };
  for (const f of files) entries[f.path] = f.data;
  return zipSync(entries);
}

// Whether bytes that would not open as a zip began as one of ours: a zip
// whose first entry is the list. Then it is a damaged backup (cut short,
// say), not some other file.
function beganAsBackup(bytes) {
  const name = strToU8(MANIFEST);
  if (bytes.length < 30 + name.length) return false;
  const at = (i) => bytes[i] | (bytes[i + 1] << 8);
  if (at(0) !== 0x4b50 || at(2) !== 0x0403 || at(26) !== name.length) return false;
  return name.every((b, i) => bytes[30 + i] === b);
}

// Reads and checks a whole backup; resolves to its files [{path, data}] or
// rejects with a BackupError. Nothing is decompressed before its declared
// size has been checked against the limits.
export async function readBackup(bytes) {
  if (bytes.length > ARCHIVE_LIMIT) throw new BackupError("That file is too large to be a Quillmoor backup.");
  const entries = [];
  try {
    unzipSync(bytes, { filter: (entry) => { entries.push(entry); return false; } });
  } catch (err) {
    throw beganAsBackup(bytes) ? damaged("it is not a whole zip") : new BackupError(NOT_A_BACKUP);
  }
  const manifests = entries.filter((e) => e.name === MANIFEST);
  if (manifests.length === 0) throw new BackupError(NOT_A_BACKUP);
  if (manifests.length > 1) throw damaged("its list of files is in it twice");
  if (manifests[0].originalSize > MANIFEST_LIMIT) throw damaged("its list of files is too large");

  const inflate = (which) => {
    try {
      return unzipSync(bytes, { filter: (e) => which(e) });
    } catch (err) {
      throw damaged("its files cannot be unpacked");
    }
  };
  let manifest;
  try {
    manifest = JSON.parse(strFromU8(inflate((e) => e.name === MANIFEST)[MANIFEST]));
  } catch (err) {
    if (err instanceof BackupError) throw err;
    throw damaged("its list of files cannot be read");
  }
  if (!manifest || typeof manifest !== "object" || manifest.game !== "Quillmoor") throw new BackupError(NOT_A_BACKUP);
  if (Number.isInteger(manifest.format) && manifest.format > FORMAT)
    throw new BackupError("That backup was made by a newer Quillmoor, which this page cannot read.");
  if (manifest.format !== FORMAT || !Array.isArray(manifest.files)) throw damaged("its list of files cannot be read");

  // The list first: every path a save's, each once, sizes within the limits.
  const listed = new Map();
  let total = 0;
  for (const f of manifest.files) {
    if (!f || typeof f !== "object" || !Number.isSafeInteger(f.size) || f.size < 0 ||
        typeof f.sha256 !== "string" || !/^[0-9a-f]{64}$/.test(f.sha256))
      throw damaged("its list of files cannot be read");
    if (!isSavePath(f.path)) throw damaged(`it holds ${shown(String(f.path))}, which is not a save`);
    if (listed.has(f.path)) throw damaged(`${shown(f.path)} is listed twice`);
    if (f.size > FILE_LIMIT) throw damaged(`${shown(f.path)} is too large`);
    total += f.size;
    listed.set(f.path, f);
  }
  if (listed.size === 0) throw new BackupError("That backup holds no saves.");
  if (total > TOTAL_LIMIT) throw damaged("it is too large");

  // Then the zip: exactly the listed files, each once, and nothing declared
  // larger than the list says.
  const seen = new Set();
  for (const e of entries) {
    if (e.name === MANIFEST) continue;
    const f = listed.get(e.name);
    if (!f) throw damaged(`it holds ${shown(e.name)}, which is not in its list`);
    if (seen.has(e.name)) throw damaged(`${shown(e.name)} is in it twice`);
    if (e.originalSize !== f.size) throw damaged(`${shown(e.name)} is not as it was saved`);
    seen.add(e.name);
  }
  for (const path of listed.keys()) if (!seen.has(path)) throw damaged(`${shown(path)} is missing`);

  // Last the bytes themselves, against the list's sizes and digests.
  const unpacked = inflate((e) => e.name !== MANIFEST);
  const files = [];
  for (const f of listed.values()) {
    const data = unpacked[f.path];
    if (data.length !== f.size || (await sha256(data)) !== f.sha256) throw damaged(`${shown(f.path)} is not as it was saved`);
    files.push({ path: f.path, data });
  }
  return files;
}

// quillmoor-backup-YYYY-MM-DD.zip, by the player's own calendar.
export function backupName(date = new Date()) {
  const two = (n) => String(n).padStart(2, "0");
  return `quillmoor-backup-${date.getFullYear()}-${two(date.getMonth() + 1)}-${two(date.getDate())}.zip`;
}

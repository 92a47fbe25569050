// The page's backup controls. First the archive itself, in Node: a backup
// of the saves reads back as the same files, and every kind of wrong file
// is refused with the player's message. Then the page in headless Chromium,
// as a player would use it: a world made in one browser is saved as a
// backup (a real download), restored into a second browser with nothing
// stored, and Begin there loads that world; a damaged backup and a file that
// is no backup are refused on the page and leave the stored files as they
// were.
//
//   node backup_test.mjs BUILD-WEB-FOLDER [SHOTS-FOLDER]
//
// Prints "N passed, M failed" and exits non-zero when anything failed.
import crypto from "node:crypto";
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import * as backup from "../../platform/web/archive.js";
import { check, failures, launch, open, serve, stored, summary, titleShown, until } from "./harness.mjs";

// The same zip library the page bundles, for making archives that are wrong
// in one way each.
const { strFromU8, strToU8, unzipSync, zipSync } = createRequire(new URL("../../platform/web/package.json", import.meta.url))("fflate");

const [site, shots] = process.argv.slice(2);
if (!site) {
  console.error("usage: node backup_test.mjs BUILD-WEB-FOLDER [SHOTS-FOLDER]");
  process.exit(2);
}

const sha = (b) => crypto.createHash("sha256").update(b).digest("hex");
const flipMiddle = (zip) => {
  const b = Uint8Array.from(zip);
  for (let i = 0; i < 16; ++i) b[(b.length >> 1) + i] ^= 0xff;
  return b;
};

// --- The archive ---------------------------------------------------------
const saves = [
  { path: "settings.ini", data: strToU8("UPSCALING=2\r\nFULLSCREEN=0 (requires upscaling x4)\r\nWORLDNAME=Moor\r\nVSYNC=1\r\n") },
  { path: "worlds/Defaultia/overworld", data: new Uint8Array(crypto.randomBytes(40000)) },
  { path: "worlds/Defaultia/player", data: new Uint8Array(300).fill(7) },
  { path: "worlds/Moor/12,34", data: new Uint8Array(0) },
];
const listing = (files) => files.map((f) => ({ path: f.path, size: f.data.length, sha256: sha(f.data) }));
const packed = await backup.packBackup([...saves, { path: "worlds/stray", data: strToU8("?") }]);
try {
  const back = await backup.readBackup(packed);
  const same = back.length === saves.length &&
    saves.every((f) => back.some((g) => g.path === f.path && Buffer.compare(g.data, f.data) === 0));
  check(same, "a backup reads back as the same files, and what is not a save is left out of it");
  const list = JSON.parse(strFromU8(unzipSync(packed)["quillmoor-backup.json"]));
  check(JSON.stringify(list) === JSON.stringify({ game: "Quillmoor", format: 1, files: listing(saves) }),
        "its list names each file with its size and SHA-256");
  check(backup.describe(back) === "2 worlds and the settings", `its contents told as "${backup.describe(back)}"`);
} catch (err) {
  check(false, "a backup reads back: " + err.message);
}

// A backup's parts, changed one way at a time and zipped again.
function archive({ manifest, files = saves, extra = {}, drop = [] } = {}) {
  const list = { game: "Quillmoor", format: 1, files: listing(files) };
  const entries = { "quillmoor-backup.json": strToU8(typeof manifest === "string" ? manifest : JSON.stringify({ ...list, ...manifest })) };
  for (const f of files) if (!drop.includes(f.path)) entries[f.path] = f.data;
  return zipSync({ ...entries, ...extra });
}
const MiB = 1 << 20;
// Two entries under one name: the second zipped under a name of the same
// length, then renamed in the zip's headers.
function twice() {
  const zip = archive({ extra: { "worlds/Defaultia/playeR": saves[2].data } });
  const from = Buffer.from("worlds/Defaultia/playeR"), to = Buffer.from("worlds/Defaultia/player");
  const b = Buffer.from(zip);
  for (let at = b.indexOf(from); at >= 0; at = b.indexOf(from, at + 1)) to.copy(b, at);
  return new Uint8Array(b);
}
const unsafe = ["../settings.ini", "/settings.ini", "worlds\\Defaultia\\player", "worlds//player", "worlds/../player",
                "worlds/Defaultia/..", "worlds/A/B/player", "worlds/A/pl\nayer", "notes.txt", "worlds/Defaultia"];
const cases = [
  ["a plain text file", strToU8("These are my worlds, honest.\n"), backup.NOT_A_BACKUP],
  ["an empty file", new Uint8Array(0), backup.NOT_A_BACKUP],
  ["a zip with no list of files", zipSync({ "photo.png": new Uint8Array(10) }), backup.NOT_A_BACKUP],
  ["a list from another game", archive({ manifest: { game: "Other" } }), backup.NOT_A_BACKUP],
  ["a later format", archive({ manifest: { format: 2 } }), /newer Quillmoor/],
  ["a format that is no number", archive({ manifest: { format: "1" } }), /damaged: its list of files cannot be read/],
  ["a list that is not JSON", archive({ manifest: "{\"game\":\"Quillmoor\",\"format\":1,\"fi" }), /damaged: its list of files cannot be read/],
  ["a listed file with no digest", archive({ manifest: { files: [{ path: "settings.ini", size: 3 }] } }), /damaged: its list of files/],
  ["a listed file missing", archive({ drop: ["worlds/Defaultia/player"] }), /damaged: "worlds\/Defaultia\/player" is missing/],
  ["a file that is not listed", archive({ extra: { "worlds/Defaultia/9,9": new Uint8Array(4) } }), /damaged: .*"worlds\/Defaultia\/9,9", which is not in its list/],
  ["a file of another size", archive({ extra: { "worlds/Defaultia/player": new Uint8Array(301) } }), /damaged: "worlds\/Defaultia\/player" is not as it was saved/],
  ["a file with other bytes", archive({ extra: { "worlds/Defaultia/player": new Uint8Array(300).fill(8) } }), /damaged: "worlds\/Defaultia\/player" is not as it was saved/],
  ["a file listed twice", archive({ manifest: { files: [...listing(saves), ...listing(saves.slice(0, 1))] } }), /damaged: "settings.ini" is listed twice/],
  ["a file in the zip twice", twice(), /damaged: "worlds\/Defaultia\/player" is in it twice/],
  ["a file over 1 MiB", archive({ files: [{ path: "worlds/Big/overworld", data: new Uint8Array(MiB + 1) }] }), /damaged: "worlds\/Big\/overworld" is too large/],
  ["over 64 MiB in all", archive({ manifest: { files: Array.from({ length: 65 }, (_, i) => ({ path: `worlds/W/${i}`, size: MiB, sha256: "0".repeat(64) })) } }), /damaged: it is too large/],
  ["no files at all", archive({ files: [] }), /holds no saves/],
  ["a backup cut short", packed.subarray(0, packed.length >> 1), /damaged: it is not a whole zip/],
  ["a backup with bytes flipped in the middle", flipMiddle(packed), /^That backup is damaged/],
  ...unsafe.map((p) => [`the path ${JSON.stringify(p)}`, archive({ files: [{ path: p, data: strToU8("x") }] }), /damaged: it holds .*, which is not a save/]),
];
for (const [what, bytes, want] of cases) {
  let got;
  try {
    got = `read as ${(await backup.readBackup(bytes)).length} files`;
  } catch (err) {
    got = err instanceof backup.BackupError ? err.message : `a fault: ${err.stack}`;
  }
  check(typeof want === "string" ? got === want : want.test(got), `${what} is refused: ${got}`);
}
for (const [what, files, want] of [
  ["nothing stored", [], "There is nothing saved yet."],
  ["a stored file over 1 MiB", [{ path: "worlds/Big/overworld", data: new Uint8Array(MiB + 1) }], "worlds/Big/overworld is too large to back up."],
]) {
  const got = await backup.packBackup(files).then(() => "a backup", (err) => err.message);
  check(got === want, `with ${what}, no backup is made: ${got}`);
}

// --- The page ------------------------------------------------------------
const server = await serve(site);
const work = fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-backup-"));
const browsers = [];
// A player in a browser of their own, as on another machine.
async function player() {
  const browser = await launch();
  browsers.push(browser);
  return { browser, ...(await open(browser, server.url)) };
}
const message = (page) => page.evaluate(() => {
  const m = document.getElementById("backup-message");
  return m.hidden ? "" : m.textContent;
});
const asking = (page) => page.evaluate(() => !document.getElementById("backup-ask").hidden);
// What the browser's storage holds: a line of path and digest for each file.
const held = (files) => files.map((f) => f.path + " " + sha(f.data)).sort().join("\n");
const storedNow = async (page) =>
  held(Object.entries(await stored(page)).map(([p, b64]) => ({ path: p, data: Buffer.from(b64, "base64") })));
async function choose(page, file) {
  const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 10000 }), page.click("#backup-restore")]);
  await chooser.accept([file]);
}
async function shot(page, name) {
  if (shots) await page.screenshot({ path: path.join(shots, name + ".png") });
}

let first, second;
try {
  // One player makes a world and saves a backup of it.
  first = await player();
  const downloads = path.join(work, "downloads");
  const cdp = await first.browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
  let named = null, done = false;
  cdp.on("Browser.downloadWillBegin", (e) => { named = e.suggestedFilename; });
  cdp.on("Browser.downloadProgress", (e) => { if (e.state === "completed") done = true; });
  check(await first.waitFor("the title", titleShown), "the title screen shows");
  await first.key("KeyX");
  check(await first.line("world saved: Defaultia"), "Begin makes a world and saves it");
  // Escape leaves the home area and the world, saving it again: back at the
  // title nothing more is being written. It is held until the saving starts,
  // as the area shuts its ears while it wipes in.
  await first.line("entering encounter type: 3");
  await first.page.keyboard.down("Escape");
  await first.line("saving world: Defaultia", 30, 2);
  await first.page.keyboard.up("Escape");
  check(await first.line("world saved: Defaultia", 30, 2) && await first.waitFor("the title", titleShown),
        "Escape saves the world and opens the title");
  const made = await storedNow(first.page);
  await first.page.click("#backup-save");
  check(await until("the download", () => done), "Save backup downloads a file");
  const d = new Date();
  const today = `${d.getFullYear()}-${String(d.getMonth() + 1).padStart(2, "0")}-${String(d.getDate()).padStart(2, "0")}`;
  check(named === `quillmoor-backup-${today}.zip`, `the file is named for the day (${named})`);
  const saidSaved = await message(first.page);
  check(saidSaved === `Backup saved: ${named}`, `the page says so ("${saidSaved}")`);
  await shot(first.page, "backup-saved");
  const zipfile = path.join(downloads, named || "none");
  const inZip = held(await backup.readBackup(new Uint8Array(fs.readFileSync(zipfile))));
  check(inZip === made && /worlds\/Defaultia\/overworld/.test(inZip) && /worlds\/Defaultia\/player/.test(inZip),
        `the backup holds exactly what is stored:\n${inZip}`);

  // Another player, with no world stored, takes it up.
  second = await player();
  const page = second.page;
  check(await second.waitFor("the title", titleShown), "the title shows in a browser with no world");
  // The game keeps its settings as it starts; no world yet.
  const fresh = await storedNow(page);
  check(!fresh.includes("worlds/"), `no world is stored there yet (${fresh.replace(/ \w+/g, "")})`);
  await choose(page, zipfile);
  check(await until("the question", () => asking(page)), "a good backup is asked about before anything is replaced");
  const question = await page.$eval("#backup-question", (e) => e.textContent);
  check(/1 world/.test(question), `the question tells what the backup holds ("${question}")`);
  await shot(page, "backup-asking");
  await page.click("#backup-no");
  check(!(await asking(page)) && await message(page) === "Nothing was changed.", "Cancel leaves things be and says so");
  check(await storedNow(page) === fresh, "after Cancel the stored files are as they were");

  await choose(page, zipfile);
  await until("the question", () => asking(page));
  second.lines.length = 0;
  await Promise.all([page.waitForNavigation({ timeout: 30000 }), page.click("#backup-yes")]);
  check(await second.waitFor("the title after the restore", titleShown), "Replace restores and the page starts again at the title");
  const restored = await storedNow(page);
  check(restored === made, `the storage holds the backup's files${restored === made ? "" : ":\n" + restored}`);
  const folder = await page.evaluate(() => FS.readdir("/quillmoor/worlds/Defaultia").sort());
  check(folder.includes("overworld") && folder.includes("player"), `the game finds the world's files (${folder.join(" ")})`);
  await second.key("KeyX");
  await second.waitFor("the world", (f) => !titleShown(f), 30);
  // A world made anew would be saving by now.
  await second.frames(30);
  check(!second.lines.some((l) => l.startsWith("saving world")), "Begin loads the restored world rather than making one");

  // Wrong files are refused there: the page is not reloaded, and what is
  // stored stays as it is.
  const before = await storedNow(page);
  const flipped = path.join(work, "flipped.zip");
  fs.writeFileSync(flipped, flipMiddle(fs.readFileSync(zipfile)));
  const text = path.join(work, "worlds.txt");
  fs.writeFileSync(text, "These are my worlds, honest.\n");
  for (const [what, file, want] of [["a backup with bytes flipped in the middle", flipped, /^That backup is damaged/],
                                    ["a text file", text, /^That file is not a Quillmoor backup\.$/]]) {
    await page.evaluate(() => { window.stayed = true; });
    await choose(page, file);
    await until("the answer", async () => !/^(|Checking.*)$/.test(await message(page)));
    const said = await message(page);
    check(want.test(said) && !(await asking(page)), `${what} is refused on the page ("${said}")`);
    await shot(page, "refused-" + path.basename(file));
    check(await storedNow(page) === before && await page.evaluate(() => window.stayed === true),
          `after ${what}, the stored files are as they were`);
  }

  // The browser's storage failing a backup or a restore: the player is told
  // what happened and what to do, in words of their own, and nothing stored
  // changes. (The tab taken over stops its game: it comes last.)
  const failing = [
    ["Save backup", "the storage fails to read", () => {
      IDBObjectStore.prototype.getAll = () => { throw new DOMException("the disk failed", "UnknownError"); };
    }, "No backup made: the browser's storage failed. Reload the page and try again."],
    ["Replace", "the storage is full", () => {
      IDBObjectStore.prototype.put = () => { throw new DOMException("over the quota", "QuotaExceededError"); };
    }, "Nothing was restored: the browser's storage is full. Free some space and try again."],
    ["Replace", "another tab took the saves over", () => new Promise((resolve) => {
      const request = indexedDB.open("quillmoor");
      request.onsuccess = () => {
        const tx = request.result.transaction("meta", "readwrite");
        tx.objectStore("meta").put(1e6, "turn");
        tx.oncomplete = () => { request.result.close(); resolve(); };
      };
    }), "Nothing was restored: Quillmoor is open in another tab, which keeps the saves. Restore there, or close it first."],
  ];
  for (const [button, what, breakIt, want] of failing) {
    const before = await storedNow(page);
    const put = await page.evaluateHandle(() => [IDBObjectStore.prototype.put, IDBObjectStore.prototype.getAll]);
    await page.evaluate(breakIt);
    if (button === "Replace") {
      await choose(page, zipfile);
      await until("the question", () => asking(page), 10);
      await page.click("#backup-yes");
    } else {
      await page.click("#backup-save");
    }
    await until("the answer", async () => !/^(|Packing.*|Restoring.*)$/.test(await message(page)), 20);
    const said = await message(page);
    await page.evaluate(([p, g]) => { IDBObjectStore.prototype.put = p; IDBObjectStore.prototype.getAll = g; }, put);
    check(said === want, `${button} when ${what} says so ("${said}")`);
    check(await storedNow(page) === before, `after ${button} when ${what}, the stored files are as they were`);
  }
  check((await second.notice()).includes("This one has stopped"), "the tab whose restore met another's turn has stopped");

  // A page whose game brought no storage says so rather than doing nothing.
  await page.evaluate(() => { delete Module.saves; });
  await page.click("#backup-save");
  check(await message(page) === "Saves are not available in this browser.", "without the game's storage, the page says so");
} catch (e) {
  check(false, "the pages ran: " + e.stack);
} finally {
  for (const p of [first, second]) if (p && failures()) console.log(p.lines.slice(-20).join("\n"));
  for (const b of browsers) await b.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
process.exit(summary());

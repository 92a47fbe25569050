// Replays in the page. First the page's zlib (codec.js), in Node: what it
// deflates, zlib inflates, and what zlib deflates, it inflates; anything
// else is refused, a block made to inflate to gigabytes at once. Then the
// page in headless Chromium: the replays recorded on the desktop in
// tests/replays, checked by the page's own build, say what
// `quillmoor --verify` says of them; a player's "Save replay" downloads the play so far, which the
// desktop accepts and the page checks alike, and which never reaches the
// browser's storage or a backup; damaged replays are refused alike; and
// when there is no replay, the button says so on the page.
//
//   node replay_test.mjs BUILD-WEB-FOLDER DESKTOP-QUILLMOOR [SHOTS-FOLDER]
//
// DESKTOP-QUILLMOOR is build/quillmoor; REPLAYS=FOLDER checks the .replay
// files there instead of tests/replays', and with REPLAYS_ONLY=1 only them
// (the replays the Windows game recorded, say). Prints "N passed, M
// failed" and exits non-zero when anything failed.
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import { check, failures, launch, open, pageEnded, serve, stored, summary, titleShown, until } from "./harness.mjs";

const [site, desktop, shots] = process.argv.slice(2);
if (!site || !desktop) {
  console.error("usage: node replay_test.mjs BUILD-WEB-FOLDER DESKTOP-QUILLMOOR [SHOTS-FOLDER]");
  process.exit(2);
}

// --- The codec -----------------------------------------------------------
// codec.js sets Module.codec, as it does ahead of the game's code.
globalThis.Module = {};
await import("../../platform/web/codec.js");
const codec = globalThis.Module.codec;

// A second of keys is small, and inflates from one piece of input; a
// world's map is large and repetitive, and inflates from many.
const map = new Uint8Array(600000).map((_, i) => (i % 509 < 400 ? (i >> 9) & 7 : (i * 2654435761) >>> 27));
const payloads = [["a second of keys", new TextEncoder().encode("x".repeat(40) + "keys, steps and a checkpoint ".repeat(6))],
                  ["a world's map", map]];
for (const [what, data] of payloads) {
  let packed = [], ok;
  try {
    packed = codec.deflate(data);
    const back = new Uint8Array(data.length);
    ok = Buffer.compare(zlib.inflateSync(packed), Buffer.from(data)) === 0 &&
         codec.inflate(zlib.deflateSync(data, { level: 9 }), back) && Buffer.compare(back, data) === 0;
  } catch (err) {
    ok = false;
    console.log(err.message);
  }
  check(ok, `${what}: the page's deflate is read by zlib, and zlib's by the page's inflate (${data.length} -> ${packed.length} bytes)`);
}

// A zlib stream of one block that copies 258 bytes at a time, 13 bits each:
// a few megabytes that would inflate to gigabytes.
function inflatesToGigabytes(size) {
  const out = new Uint8Array(size);
  out.set([0x78, 0x01]);
  let bit = 16;
  const put = (v, n, first) => {  // n bits of v, lowest first, or (Huffman codes) highest first
    for (let i = 0; i < n; i++, bit++) if ((v >> (first ? n - 1 - i : i)) & 1) out[bit >> 3] |= 1 << (bit & 7);
  };
  put(1, 1); put(1, 2); put(0x30, 8, true);  // the last block, fixed codes; a literal 0
  while (bit + 13 <= size * 8) { put(0xc5, 8, true); put(0, 5, true); }  // length 258, distance 1
  return out;
}
const keys = payloads[0][1], keysPacked = zlib.deflateSync(keys);
const refusals = [
  ["a size one short", keysPacked, keys.length - 1],
  ["a size one over", keysPacked, keys.length + 1],
  ["deflate with no zlib header", zlib.deflateRawSync(keys), keys.length],
  ["no stream at all, for no bytes", new Uint8Array(0), 0],
  ["a block that inflates to gigabytes", inflatesToGigabytes(12 << 20), 100],
];
for (const [what, data, rawsize] of refusals) {
  const start = performance.now();
  let ok;
  try {
    ok = codec.inflate(data, new Uint8Array(rawsize));
  } catch (err) {
    ok = `a fault: ${err.message}`;
  }
  const ms = performance.now() - start;
  // Refused in milliseconds; seconds would mean it inflated it all.
  check(ok === false && ms < 3000, `${what} is refused by the page's inflate (${ok}, in ${ms.toFixed(0)} ms)`);
}

// --- The page ------------------------------------------------------------
const work = fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-replay-"));
const realPlay = path.resolve(process.env.REPLAYS || new URL("../replays/", import.meta.url).pathname);
const server = await serve(site, { "/real/": realPlay, "/made/": work });
const browsers = [];

// What the desktop says of a replay, checked in its own folder.
function desktopVerdict(file) {
  const run = spawnSync(path.resolve(desktop), ["--verify", path.basename(file)],
                        { cwd: path.dirname(file), encoding: "utf8", timeout: 600000 });
  return { line: run.stdout.trim(), code: run.status };
}
// What the page's own build says of it (#verify=), and what the page shows.
async function pageVerdict(browser, url) {
  const tab = await open(browser, server.url + "#verify=" + url);
  const line = await tab.page.waitForFunction(() => window.Module && Module.verdict !== undefined,
                                              { timeout: 600000, polling: 100 })
    .then(() => tab.page.evaluate(() => Module.verdict)).catch((err) => `no verdict: ${err.message}`);
  const shown = await tab.page.$eval("#status-text", (e) => e.textContent);
  await tab.page.close();
  return { line, shown };
}
// The kinds of a replay's blocks, the deflated ones with their top bit.
function blockKinds(bytes) {
  const kinds = [];
  let at = 0;
  const number = () => {
    let n = 0, shift = 0, b;
    do { b = bytes[at++]; n += (b & 127) * 2 ** shift; shift += 7; } while (b & 128 && at < bytes.length);
    return n;
  };
  while (at < bytes.length) {
    const kind = bytes[at++];
    const size = number();
    if (kind & 0x80) number();
    at += size + 4;
    kinds.push(kind);
  }
  return kinds;
}
const message = (page) => page.evaluate(() => {
  const m = document.getElementById("replay-message");
  return m.hidden || m.getBoundingClientRect().height === 0 ? "" : m.textContent;
});
async function shot(page, name) {
  if (shots) await page.screenshot({ path: path.join(shots, name + ".png") });
}

// Asked for the replays alone: the rest of the page's checks are not made.
class OnlyTheReplays extends Error {}

let player;
try {
  const browser = await launch();
  browsers.push(browser);
  const downloads = path.join(work, "downloads");
  const cdp = await browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
  let named = null, done = false;
  cdp.on("Browser.downloadWillBegin", (e) => { named = e.suggestedFilename; done = false; });
  cdp.on("Browser.downloadProgress", (e) => { if (e.state === "completed") done = true; });
  // Presses "Save replay" and waits for what it says; the file it downloaded, if any.
  async function saveReplay(page) {
    named = null;
    done = false;
    await page.click("#replay-save");
    await until("Save replay's answer", async () => !/^(|Saving.*)$/.test(await message(page)));
    const said = await message(page);
    if (!said.startsWith("Replay saved")) return { said, file: null };
    await until("the download", () => done);
    return { said, file: named && path.join(downloads, named) };
  }

  // The replays recorded on the desktop, checked by the page's own build.
  const recorded = fs.existsSync(realPlay) ? fs.readdirSync(realPlay).filter((f) => f.endsWith(".replay")).sort() : [];
  if (recorded.length === 0) console.log(`(no replays in ${realPlay} to check)`);
  for (const name of recorded) {
    const want = desktopVerdict(path.join(realPlay, name));
    const got = await pageVerdict(browser, "real/" + name);
    check(want.code === 0 && want.line.startsWith("replay ok") && got.line === want.line && got.shown === want.line,
          `${name}: the page says what the desktop says ("${got.line}"${got.shown === got.line ? "" : `, shown "${got.shown}"`}; ` +
          `the desktop "${want.line}", ${want.code})`);
  }

  if (process.env.REPLAYS_ONLY) throw new OnlyTheReplays();

  // A long replay (some hours at the title) checked by the page: the page
  // stays the browser's while it checks, and its bar fills as it goes.
  {
    const version = spawnSync(path.resolve(desktop), ["--version"], { encoding: "utf8" }).stdout.trim().split(" ")[1];
    const idle = fs.mkdtempSync(path.join(work, "idle-"));
    const made = spawnSync(path.resolve(path.dirname(desktop), "tests/record_replay"), [idle, version, "200000"],
                           { encoding: "utf8", timeout: 600000 });
    const recorded = path.join(idle, (/replays\/\S+\.replay/.exec(made.stdout) || ["none"])[0]);
    fs.copyFileSync(recorded, path.join(work, "long.replay"));
    const tab = await open(browser, server.url + "#verify=made/long.replay");
    const seen = new Set();
    // Each look at the page is answered only when the check gives the
    // browser its turn: a page that never did would show one bar, at the end.
    while (await tab.page.evaluate(() => Module.verdict === undefined)) {
      seen.add(await tab.page.$eval("#status-bar", (bar) => (bar.hasAttribute("value") ? bar.value : "none")));
    }
    const line = await tab.page.evaluate(() => Module.verdict);
    const filled = [...seen].filter((v) => typeof v === "number" && v > 0 && v < 1);
    check(/^replay ok: \d+ steps$/.test(line) && filled.length >= 2,
          `a long check leaves the page the browser's and fills its bar as it goes ("${line}"; ${filled.length} ` +
          `stages of the bar seen)`);
    await tab.page.close();
  }

  // A player makes a world, comes back to it in a new session (whose replay
  // then holds the world's files, deflated), walks, and saves the replay.
  player = await open(browser, server.url);
  const page = player.page;
  check(await player.waitFor("the title", titleShown), "the title screen shows");
  await player.key("KeyX");
  await player.line("entering encounter type: 3");
  await page.keyboard.down("Escape");
  await player.line("saving world: Defaultia", 30, 2);
  await page.keyboard.up("Escape");
  await player.line("world saved: Defaultia", 30, 2);
  await player.waitFor("the title", titleShown);
  await page.reload();
  await player.waitFor("the title after a reload", titleShown);
  player.lines.length = 0;
  await player.key("KeyX");
  await player.waitFor("the world", (f) => !titleShown(f), 15);
  // Each key held for some of the game's frames (16 ms of play each).
  for (const [key, frames] of [["ArrowRight", 30], ["ArrowUp", 18], ["KeyX", 5], ["ArrowLeft", 25]]) await player.key(key, frames);
  const loaded = !player.lines.some((l) => l.startsWith("saving world"));
  const before = await page.evaluate(() => Module.replay.steps());
  const saved = await saveReplay(page);
  const after = await page.evaluate(() => Module.replay.steps());
  await shot(page, "replay-saved");
  const recording = await page.evaluate(() => Module.replay.path());
  check(saved.file !== null && saved.said === `Replay saved: ${named}` &&
        /^quillmoor-\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.replay$/.test(named) && named === "quillmoor-" + path.basename(recording),
        `Save replay downloads the replay, named for its start, and says so ("${saved.said}")`);
  const file = path.join(work, "saved.replay");
  fs.copyFileSync(saved.file || "/dev/null", file);
  const bytes = fs.readFileSync(file);
  const deflated = blockKinds(bytes).filter((k) => k & 0x80).length;
  check(loaded && deflated > 0,
        `its blocks holding the world's files, read as Begin loaded the world, are deflated (${deflated} of ${blockKinds(bytes).length}` +
        `${loaded ? "" : "; the world was made anew"})`);
  // It ends at the checkpoint taken after the press: every step up to the press is in it.
  const desk = desktopVerdict(file);
  const steps = Number((/^replay ok: (\d+) steps/.exec(desk.line) || [])[1]);
  check(desk.code === 0 && steps >= before && steps <= after,
        `the desktop accepts it, up to the step of the press (${desk.code}, "${desk.line}"; pressed at step ${before}, ${after} after)`);
  const inPage = await pageVerdict(browser, "made/saved.replay");
  check(inPage.line === desk.line, `the page's own build says the same of it ("${inPage.line}")`);

  // The replay lives in the page's memory only.
  const keptPaths = Object.keys(await stored(page));
  const backedUp = await page.evaluate(async () => (await Module.saves.exportFiles()).map((f) => f.path));
  const inMemory = await page.evaluate(() => FS.readdir("/quillmoor/replays"));
  check(inMemory.includes(path.basename(recording)) && keptPaths.length > 0 &&
        ![...keptPaths, ...backedUp].some((p) => p.includes("replay")),
        `it is in the page's memory, but neither in the browser's storage nor in a backup (stored: ${keptPaths.join(" ")})`);

  // Replays wrong in one way each: the page's build says what the desktop says.
  const wrong = [
    ["a replay with a byte flipped in the middle", (b) => { b[b.length >> 1] ^= 0x40; return b; }],
    ["a replay cut short", (b) => b.subarray(0, Math.floor(b.length * 0.6))],
    ["a text file", () => Buffer.from("These are my travels, honest.\n")],
  ];
  for (const [what, change] of wrong) {
    const name = what.replace(/^an? /, "").replace(/\W+/g, "-") + ".replay";
    fs.writeFileSync(path.join(work, name), change(Buffer.from(bytes)));
    const want = desktopVerdict(path.join(work, name));
    const got = await pageVerdict(browser, "made/" + name);
    check(got.line === want.line && got.shown === want.line && (what.includes("cut short") || want.code === 1),
          `${what}: the page says what the desktop says ("${got.line}"${got.shown === got.line ? "" : `, shown "${got.shown}"`}; ` +
          `the desktop "${want.line}", ${want.code})`);
  }

  // A second tab, waiting for the first to close, runs no game: no replay.
  const waiting = await open(browser, server.url);
  await until("the second tab to wait", async () => (await waiting.notice()).includes("open in another tab"));
  await until("the controls", () => waiting.page.evaluate(() => {
    document.getElementById("replay-save").click();
    return !document.getElementById("replay-message").hidden;
  }));
  const notStarted = await message(waiting.page);
  check(notStarted === "No replay yet: the game has not started.", `a tab whose game has not started says so ("${notStarted}")`);
  await shot(waiting.page, "replay-not-started");
  await waiting.page.close();

  // A game that has ended has written its replay whole: it is saved as it is.
  await page.reload();
  await player.waitFor("the title", titleShown);
  await player.key("ArrowLeft");
  await player.frames(12);
  await player.key("KeyX");
  check(await pageEnded(page), "after Exit the page says the game has ended");
  const ended = await saveReplay(page);
  if (ended.file) fs.copyFileSync(ended.file, path.join(work, "ended.replay"));
  const whole = ended.file ? desktopVerdict(path.join(work, "ended.replay")) : { line: ended.said, code: -1 };
  check(whole.code === 0 && /^replay ok: \d+ steps$/.test(whole.line),
        `after the game has ended, Save replay gives the whole replay, to its end ("${whole.line}")`);

  // Where the replay cannot be written (its folder's name taken by a file),
  // the game plays on unrecorded and the button says there is none.
  await page.evaluate(() => new Promise((resolve, reject) => {
    const request = indexedDB.open("quillmoor");
    request.onsuccess = () => {
      const tx = request.result.transaction("files", "readwrite");
      tx.objectStore("files").put(new Uint8Array([1]), "replays");
      tx.oncomplete = () => { request.result.close(); resolve(); };
      tx.onerror = () => reject(tx.error);
    };
    request.onerror = () => reject(request.error);
  }));
  await page.reload();
  const started = await player.waitFor("the title", titleShown);
  const none = await saveReplay(page);
  check(started && none.file === null && none.said === "No replay: this play is not being recorded.",
        `with no room for a replay the game plays unrecorded, and Save replay says so on the page ("${none.said}")`);
  await shot(page, "replay-not-recorded");
} catch (e) {
  if (!(e instanceof OnlyTheReplays)) check(false, "the pages ran: " + e.stack);
} finally {
  if (player && failures()) console.log(player.lines.slice(-20).join("\n"));
  for (const b of browsers) await b.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
process.exit(summary());

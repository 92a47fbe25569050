// Plays the game's page in headless Chromium with real key events, as a
// player would: the title shows and matches the desktop's title frame pixel
// for pixel, Begin makes a world and runs its home area, Escape twice saves
// it (out of the area, then the overworld saves and opens the title), and a
// reload of the page finds the same world in the browser's storage.
//
//   node browser_test.mjs BUILD-WEB-FOLDER TITLE.rgba [SHOTS-FOLDER]
//
// Prints "N passed, M failed" and exits non-zero when anything failed.
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const [site, titlefile, shots] = process.argv.slice(2);
if (!site || !titlefile) {
  console.error("usage: node browser_test.mjs BUILD-WEB-FOLDER TITLE.rgba [SHOTS-FOLDER]");
  process.exit(2);
}

let passed = 0, failed = 0;
function check(ok, what) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
}

// A plain static server on a free port of this machine, as any would do.
const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };
const server = http.createServer((req, res) => {
  const name = path.join(site, path.normalize(decodeURIComponent(req.url.split("?")[0])).replace(/^(\.\.[/\\])+/, ""));
  const file = name.endsWith("/") ? path.join(name, "index.html") : name;
  fs.readFile(file, (err, data) => {
    if (err) { res.writeHead(404); res.end(); return; }
    res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
    res.end(data);
  });
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const url = `http://127.0.0.1:${server.address().port}/`;

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-browser-"));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  userDataDir: profile,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--autoplay-policy=no-user-gesture-required"],
});
const page = await browser.newPage();
await page.setViewport({ width: 1024, height: 640 });
const lines = [];
page.on("console", (m) => lines.push(m.text()));
page.on("pageerror", (e) => lines.push("page error: " + e.message + "\n" + e.stack));

// The canvas as RGBA bytes.
async function frame() {
  const b64 = await page.evaluate(() => {
    const d = Module.quillmoor.context.getImageData(0, 0, 480, 270).data;
    let s = "";
    for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
    return btoa(s);
  });
  return Buffer.from(b64, "base64");
}
const pixel = (f, x, y) => [f[(y * 480 + x) * 4], f[(y * 480 + x) * 4 + 1], f[(y * 480 + x) * 4 + 2]];
const same = (a, b) => a.every((v, i) => v === b[i]);

// Waits, frame by frame, for something to show on the canvas.
async function waitFor(what, test, seconds = 30) {
  const end = Date.now() + seconds * 1000;
  while (Date.now() < end) {
    try {
      if (test(await frame())) return true;
    } catch (e) { /* the game is not up yet */ }
    await new Promise((r) => setTimeout(r, 100));
  }
  console.log(`(waited ${seconds} s for ${what})`);
  return false;
}
const titleShown = (f) => same(pixel(f, 40, 260), [64, 64, 64]);
async function key(code, ms = 60) {
  await page.keyboard.down(code);
  await new Promise((r) => setTimeout(r, ms));
  await page.keyboard.up(code);
}
async function shot(name) {
  if (shots) await page.screenshot({ path: path.join(shots, name + ".png") });
}

try {
  await page.goto(url);
  check(await waitFor("the title", titleShown), "the title screen shows");
  await shot("title");
  const want = fs.readFileSync(titlefile);
  const got = await frame();
  let differ = 0;
  for (let i = 0; i < want.length; i += 4)
    if (want[i] !== got[i] || want[i + 1] !== got[i + 1] || want[i + 2] !== got[i + 2]) differ++;
  check(differ === 0, `the title frame is the desktop's, pixel for pixel (${differ} pixels differ)`);
  const scale = await page.evaluate(() => document.getElementById("screen").getBoundingClientRect().width / 480);
  check(scale === 2, `the canvas is scaled by the largest whole factor that fits (${scale} in 1024 x 640)`);

  // Begin: a new world is made, and its home area runs.
  await key("KeyX");
  check(lines.some((l) => l === "entering encounter type: 3") ||
        await waitFor("the home area", () => lines.includes("entering encounter type: 3")),
        "Begin makes a world and enters its home area");
  check(lines.includes("world saved: Defaultia"), "the new world is saved as it is made");
  await new Promise((r) => setTimeout(r, 1000));
  await shot("home-area");
  // Escape leaves the area; its press carries on to the overworld, which saves.
  const saves = lines.filter((l) => l === "world saved: Defaultia").length;
  await key("Escape");
  check(await waitFor("the title again", titleShown), "Escape leaves the area, saves and opens the title");
  check(lines.filter((l) => l === "world saved: Defaultia").length === saves + 1, "the world was saved on the way");
  const files = await page.evaluate(() => FS.readdir("/quillmoor/worlds/Defaultia").sort());
  check(files.includes("overworld") && files.includes("player"), `the world's files are there (${files.join(" ")})`);
  // The saves reach the browser's storage on their own; give it a moment.
  await new Promise((r) => setTimeout(r, 1000));

  // A reload finds the world again: Begin loads it, no world is made.
  lines.length = 0;
  await page.reload();
  check(await waitFor("the title after the reload", titleShown), "the title shows after a reload");
  const kept = await page.evaluate(() => FS.readdir("/quillmoor/worlds/Defaultia").sort());
  check(kept.includes("overworld") && kept.includes("player"), `a reload finds the world's files (${kept.join(" ")})`);
  await key("KeyX");
  await waitFor("the overworld", (f) => !titleShown(f), 10);
  await new Promise((r) => setTimeout(r, 500));
  check(!lines.some((l) => l.startsWith("saving world")), "Begin loaded the world rather than making a new one");
  await shot("overworld");
} catch (e) {
  check(false, "the page ran: " + e.message);
} finally {
  if (failed) console.log(lines.slice(-30).join("\n"));
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);

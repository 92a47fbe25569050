// What a frame costs the page's main thread in headless Chromium: update,
// drawing and presenting, from the moment the browser hands the game its
// frame to the moment the frame is on the canvas, over 600 frames at 2x on
// the overworld and in a wild area. Also the page's download size.
//
//   node bench/web_frames.mjs [BUILD-WEB-FOLDER]    (after bash tools/web.sh --build;
//   run from tests/web/ or with its node_modules on NODE_PATH)
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import { createRequire } from "node:module";

const require = createRequire(path.resolve("tests/web/package.json"));
const puppeteer = require("puppeteer-core");
const site = process.argv[2] || "build-web";

const server = http.createServer((req, res) => {
  const file = path.join(site, req.url === "/" ? "index.html" : path.basename(req.url));
  fs.readFile(file, (err, data) => {
    if (err) { res.writeHead(404); res.end(); return; }
    const type = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" }[path.extname(file)];
    res.writeHead(200, { "Content-Type": type || "application/octet-stream" });
    res.end(data);
  });
});
await new Promise((r) => server.listen(0, "127.0.0.1", r));
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-bench-"));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true, userDataDir: profile,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync"],
});
const page = await browser.newPage();
await page.setViewport({ width: 1024, height: 640 });
const lines = [];
page.on("console", (m) => lines.push(m.text()));
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
async function key(code, ms = 60) { await page.keyboard.down(code); await sleep(ms); await page.keyboard.up(code); }
async function until(test, seconds = 30) {
  for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(100)) if (await test()) return true;
  return false;
}
// The main thread's time for the next 600 frames.
async function measure(what) {
  await page.evaluate(() => { Module.quillmoor.times = []; });
  await until(() => page.evaluate(() => Module.quillmoor.times.length >= 600), 60);
  const t = (await page.evaluate(() => Module.quillmoor.times.slice(0, 600))).sort((a, b) => a - b);
  const at = (p) => t[Math.min(t.length - 1, Math.floor(p * t.length))];
  console.log(`${what}: median ${at(0.5).toFixed(2)} ms, 99th percentile ${at(0.99).toFixed(2)} ms, ` +
              `worst ${t[t.length - 1].toFixed(2)} ms per frame (${t.length} frames)`);
}

await page.goto(`http://127.0.0.1:${server.address().port}/`);
await until(() => page.evaluate(() => !!(window.Module && Module.quillmoor && Module.quillmoor.context)));
await sleep(500);
await key("KeyX");                                     // Begin: a new world, its home area
await until(async () => lines.includes("entering encounter type: 3"));
await sleep(1000);
await key("Escape");                                   // out to the overworld, saved, the title
await until(async () => lines.filter((l) => l.startsWith("world saved")).length >= 2);
await sleep(500);
await key("KeyX");                                     // Begin again: the overworld
await sleep(1000);
await measure("overworld");
// Onto a wild neighbour of home: the first direction that is not blocked.
let wild = false;
for (const dir of ["ArrowRight", "ArrowLeft", "ArrowUp", "ArrowDown"]) {
  await key(dir, 200);
  if ((wild = await until(async () => lines.includes("entering encounter type: 0"), 3))) break;
}
await sleep(1500);
if (process.env.SHOTS) await page.screenshot({ path: path.join(process.env.SHOTS, "wild-area.png") });
await measure(wild ? "wild area" : "no wild area reached from home; measured where the marker stands");
await browser.close();
server.close();
fs.rmSync(profile, { recursive: true, force: true });

for (const f of ["quillmoor.wasm", "quillmoor.js", "index.html"]) {
  const bytes = fs.readFileSync(path.join(site, f));
  console.log(`${f}: ${bytes.length} bytes, ${zlib.gzipSync(bytes, { level: 9 }).length} gzipped`);
}

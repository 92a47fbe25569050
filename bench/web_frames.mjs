// What a frame costs the page's main thread in headless Chromium: update,
// drawing and presenting, from the moment the browser hands the game its
// frame to the moment the frame is on the canvas, over 600 frames at 2x on
// the overworld and in a wild area. Also the page's download size.
//
//   node bench/web_frames.mjs [BUILD-WEB-FOLDER]    (after bash tools/web.sh --build;
//   run from the project's root, with tests/web's packages installed)
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { launch, open, serve, until } from "../tests/web/harness.mjs";

const site = process.argv[2] || "build-web";

const server = await serve(site);
const browser = await launch();
const tab = await open(browser, null);
const { page, lines } = tab;
// The main thread's time for the next 600 frames.
async function measure(what) {
  await page.evaluate(() => { Module.quillmoor.times = []; });
  await until("600 frames", () => page.evaluate(() => Module.quillmoor.times.length >= 600), 120);
  const t = (await page.evaluate(() => Module.quillmoor.times.slice(0, 600))).sort((a, b) => a - b);
  const at = (p) => t[Math.min(t.length - 1, Math.floor(p * t.length))];
  console.log(`${what}: median ${at(0.5).toFixed(2)} ms, 99th percentile ${at(0.99).toFixed(2)} ms, ` +
              `worst ${t[t.length - 1].toFixed(2)} ms per frame (${t.length} frames)`);
}

await page.goto(server.url);
await until("the game", () => page.evaluate(() => !!(window.Module && Module.quillmoor && Module.quillmoor.context)));
await tab.frames(30);
await tab.key("KeyX");                                 // Begin: a new world, its home area
await tab.line("entering encounter type: 3");
await tab.frames(60);
await tab.key("Escape");                               // out to the overworld, saved, the title
await until("the save", () => lines.filter((l) => l.startsWith("world saved")).length >= 2);
await tab.frames(30);
await tab.key("KeyX");                                 // Begin again: the overworld
await tab.frames(60);
await measure("overworld");
// Onto a wild neighbour of home: the first direction that is not blocked.
let wild = false;
for (const dir of ["ArrowRight", "ArrowLeft", "ArrowUp", "ArrowDown"]) {
  await tab.key(dir, 12);
  if ((wild = await until("a wild area", () => lines.includes("entering encounter type: 0"), 3))) break;
}
await tab.frames(90);
if (process.env.SHOTS) await page.screenshot({ path: path.join(process.env.SHOTS, "wild-area.png") });
await measure(wild ? "wild area" : "no wild area reached from home; measured where the marker stands");
await browser.close();
server.close();

for (const f of fs.readFileSync(path.join(site, "page-files.txt"), "utf8").split("\n").filter((f) => f)) {
  const bytes = fs.readFileSync(path.join(site, f));
  console.log(`${f}: ${bytes.length} bytes, ${zlib.gzipSync(bytes, { level: 9 }).length} gzipped`);
}

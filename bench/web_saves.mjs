// What a world save costs the page in headless Chromium: the longest gap
// between the browser's frames while a save is under way, over ten saves,
// and the bytes each save hands to the browser's storage.
//
// Each round names a new world on the world list and begins it: the world
// is made and saved whole (its map and its player, 524,449 bytes), and its
// home area opens; Escape leaves it for the title and the next round.
//
//   node bench/web_saves.mjs [BUILD-WEB-FOLDER]    (after bash tools/web.sh --build;
//   run from the project's root, with tests/web's packages installed)
import { launch, nameWorld, open, serve, titleShown, toBegin } from "../tests/web/harness.mjs";
const site = process.argv[2] || "build-web";

const server = await serve(site);
const browser = await launch();
const tab = await open(browser, server.url, {
  before: (page) => page.evaluateOnNewDocument(() => {
    // The browser's frames, the save's lines and the bytes put in storage,
    // each with its time.
    window.benchFrames = [];
    const tick = (t) => { window.benchFrames.push(t); requestAnimationFrame(tick); };
    requestAnimationFrame(tick);
    window.benchMarks = [];
    const log = console.log;
    console.log = (...args) => {
      const text = String(args[0]);
      if (text.startsWith("saving world") || text.startsWith("world saved")) window.benchMarks.push([text, performance.now()]);
      log.apply(console, args);
    };
    window.benchPuts = [];
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function (value, ...rest) {
      const bytes = value && (value.byteLength || (value.contents && value.contents.byteLength)) || 0;
      window.benchPuts.push([performance.now(), bytes]);
      return put.call(this, value, ...rest);
    };
  }),
});

const rounds = [];
for (let k = 0; k < 10; ++k) {
  await tab.page.evaluate(() => { window.benchMarks = []; window.benchPuts = []; });
  const name = await nameWorld(tab, k);
  await toBegin(tab);
  await tab.line(`world saved: ${name}`);
  await tab.frames(90);  // whatever the save still writes after its line
  rounds.push(await tab.page.evaluate((name) => {
    const start = window.benchMarks.find((m) => m[0] === `saving world: ${name}`);
    const done = window.benchMarks.find((m) => m[0] === `world saved: ${name}`);
    if (!start || !done) return null;
    // From the frame before the save starts to the frame after the storage
    // has been handed the map, the save's big file (the first version of
    // the page hands it over only after the save has printed its line).
    const puts = window.benchPuts.filter((p) => p[0] >= start[1] && p[0] <= done[1] + 1000);
    const maps = puts.filter((p) => p[1] >= 524296);
    const until = Math.max(done[1], maps.length ? maps[maps.length - 1][0] : 0) + 50;
    const bytes = puts.filter((p) => p[0] <= until).reduce((sum, p) => sum + p[1], 0);
    const frames = window.benchFrames.filter((t) => t >= start[1] - 50 && t <= until);
    let gap = 0;
    for (let i = 1; i < frames.length; ++i) gap = Math.max(gap, frames[i] - frames[i - 1]);
    return { gap, bytes, ms: done[1] - start[1] };
  }, name));
  // Out of the home area and back to the title for the next world.
  await tab.frames(30);
  await tab.key("Escape", 9);
  await tab.waitFor("the title", titleShown);
}
await browser.close();
server.close();

rounds.forEach((r, i) => console.log(r ? `save ${i + 1}: longest gap between frames ` +
  `${r.gap.toFixed(1)} ms, ${r.bytes} bytes put in storage, ${r.ms.toFixed(0)} ms from "saving world" to "world saved"`
  : `save ${i + 1}: not seen`));
const seen = rounds.filter((r) => r);
console.log(`longest gap over ${seen.length} saves: ${Math.max(...seen.map((r) => r.gap)).toFixed(1)} ms`);

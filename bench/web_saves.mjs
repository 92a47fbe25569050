// What a world save costs the page in headless Chromium: the longest gap
// between the browser's frames while a save is under way, over ten saves,
// and the bytes each save hands to the browser's storage.
//
// Each round names a new world on the world list and begins it: the world
// is made and saved whole (its map and its player, 524,449 bytes), and its
// home area opens; Escape leaves it for the title and the next round.
// With --first, each round is the first save of a page load instead: a new
// browser with nothing stored, its default world begun from the title.
//
//   node bench/web_saves.mjs [--first] [BUILD-WEB-FOLDER]    (after bash tools/web.sh --build;
//   run from the project's root, with tests/web's packages installed)
import { launch, nameWorld, open, serve, titleShown, toBegin } from "../tests/web/harness.mjs";
const first = process.argv.includes("--first");
const site = process.argv.slice(2).find((a) => !a.startsWith("--")) || "build-web";

const server = await serve(site);
const watch = {
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
};

// The longest gap between frames while the world `name` was being saved.
function measure(tab, name) {
  return tab.page.evaluate((name) => {
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
    // The frame the save's line was printed in, apart: a new world's save
    // follows its making in one frame.
    const before = window.benchFrames.filter((t) => t <= start[1]).pop();
    const after = window.benchFrames.find((t) => t > start[1]);
    const own = frames.filter((t) => t >= after);
    let owngap = 0;
    for (let i = 1; i < own.length; ++i) owngap = Math.max(owngap, own[i] - own[i - 1]);
    return { gap, bytes, ms: done[1] - start[1], printed: after - before, printedat: start[1] - before, owngap };
  }, name);
}

const rounds = [];
if (first) {
  for (let k = 0; k < 10; ++k) {
    const browser = await launch();
    const tab = await open(browser, server.url, watch);
    // The title's cursor starts on Begin.
    await tab.waitFor("the title", titleShown);
    await tab.frames(12);
    await tab.key("KeyX");
    await tab.line("world saved: Defaultia");
    await tab.frames(90);
    rounds.push(await measure(tab, "Defaultia"));
    await browser.close();
  }
} else {
  const browser = await launch();
  const tab = await open(browser, server.url, watch);
  for (let k = 0; k < 10; ++k) {
    await tab.page.evaluate(() => { window.benchMarks = []; window.benchPuts = []; });
    const name = await nameWorld(tab, k);
    await toBegin(tab);
    await tab.line(`world saved: ${name}`);
    await tab.frames(90);  // whatever the save still writes after its line
    rounds.push(await measure(tab, name));
    // Out of the home area and back to the title for the next world.
    await tab.frames(30);
    await tab.key("Escape", 9);
    await tab.waitFor("the title", titleShown);
  }
  await browser.close();
}
server.close();

rounds.forEach((r, i) => console.log(r ? `save ${i + 1}: longest gap between frames ` +
  `${r.gap.toFixed(1)} ms (the frame it began in ${r.printed.toFixed(1)} ms, begun ${r.printedat.toFixed(1)} ms into it; ` +
  `after it ${r.owngap.toFixed(1)} ms), ${r.bytes} bytes put in storage, ${r.ms.toFixed(0)} ms from "saving world" to "world saved"`
  : `save ${i + 1}: not seen`));
const seen = rounds.filter((r) => r);
console.log(`longest gap over ${seen.length} saves: ${Math.max(...seen.map((r) => r.gap)).toFixed(1)} ms; ` +
  `${seen.filter((r) => r.gap <= 17).length} of ${seen.length} within 17 ms`);

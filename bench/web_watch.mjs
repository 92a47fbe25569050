// What watching a replay costs the page in headless Chromium, in an hour's
// replay: how long a seek takes from the start to the middle and to the
// end, and from the end back to the middle (the game started over), on
// this machine and with the processor slowed four times (a phone-class
// machine); and how many frames the page shows a second, and how many
// steps it plays, at 16x and as fast as it goes.
//
//   node bench/web_watch.mjs HOUR.replay [BUILD-WEB-FOLDER]
//     (HOUR.replay from build/bench/replay_bench 1 216000 HOUR.replay; after
//     bash tools/web.sh --build; run from the project's root, with
//     tests/web's packages installed)
import path from "node:path";
import { launch, open, serve, until } from "../tests/web/harness.mjs";

const [hour, site = "build-web"] = process.argv.slice(2);
if (!hour) {
  console.error("usage: node bench/web_watch.mjs HOUR.replay [BUILD-WEB-FOLDER]");
  process.exit(2);
}
const server = await serve(site, { "/bench/": path.dirname(path.resolve(hour)) });
const browser = await launch();

const state = (page) => page.evaluate(() => Module.watch.state());
// The seconds from asking for a step to the first frame that shows it.
async function seek(page, to) {
  return page.evaluate((to) => new Promise((resolve) => {
    const start = performance.now();
    Module.watch.seek(to);
    const look = () => {
      if (Module.watch.state().step === to) resolve((performance.now() - start) / 1000);
      else requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  }), to);
}
// Frames shown and steps played in `seconds` at the speed reached by
// `ups` presses of Up.
async function watch(tab, ups, seconds) {
  for (let i = 0; i < ups; ++i) await tab.key("ArrowUp", 1);
  const from = await tab.page.evaluate(() => ({ flips: Module.flips, step: Module.watch.state().step, t: performance.now() }));
  await new Promise((r) => setTimeout(r, seconds * 1000));
  const to = await tab.page.evaluate(() => ({ flips: Module.flips, step: Module.watch.state().step, t: performance.now() }));
  const s = (to.t - from.t) / 1000;
  return `${((to.flips - from.flips) / s).toFixed(1)} frames a second, ${((to.step - from.step) / s).toFixed(0)} steps a second`;
}

for (const slowdown of [1, 4]) {
  const tab = await open(browser, null);
  const cdp = await tab.page.target().createCDPSession();
  await cdp.send("Emulation.setCPUThrottlingRate", { rate: slowdown });
  await tab.page.goto(server.url + "#watch=bench/" + path.basename(hour));
  await until("the replay", () => tab.page.evaluate(() => !!(window.Module && Module.watch) && Module.watch.state().step > 0), 300);
  const total = (await state(tab.page)).total;
  await tab.key("Space");  // paused: each seek lands and stays
  console.log(`${slowdown === 1 ? "this machine" : "the processor slowed 4 times"} (${total} steps, paused):`);
  console.log(`  from the start to the middle      ${(await seek(tab.page, Math.floor(total / 2))).toFixed(2)} s`);
  console.log(`  on from the middle to the end     ${(await seek(tab.page, total)).toFixed(2)} s`);
  console.log(`  back from the end to the middle   ${(await seek(tab.page, Math.floor(total / 2))).toFixed(2)} s`);
  await seek(tab.page, 0);
  console.log(`  from the start to the end         ${(await seek(tab.page, total)).toFixed(2)} s`);
  await seek(tab.page, 0);
  await tab.key("Space");  // playing
  console.log(`  watching at 16x: ${await watch(tab, 4, 5)}`);
  console.log(`  as fast as it goes: ${await watch(tab, 1, 5)}`);
  await tab.page.close();
}
await browser.close();
server.close();

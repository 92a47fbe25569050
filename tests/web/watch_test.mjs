// Watching a replay in the page, with real key events, in the engine
// BROWSER= names (Chromium, Firefox ESR or WebKitGTK): a replay sent as a
// link (#watch=URL) plays with the game's viewer; Space pauses and the
// picture holds still; a full stop steps one update; a seek forward, a seek
// back from the end (the game started over) and a few steps played straight
// all come to the same state, and the replay's own checkpoints, recorded in
// straight play, still match to its end after them; Escape returns to the
// game's title; while it plays, the player's saves are neither read nor
// locked, and what was stored is there as it was afterwards; a damaged file
// and a foreign one are refused with the desktop's own line. In Chromium
// also: "Watch replay" with a file chosen and with one dropped on the page,
// one too large for the browser to carry said so, and a phone (touch, device scale 3, upright and on its side) tapping the
// viewer's buttons and its timeline.
//
//   BROWSER=chromium|firefox|webkit node watch_test.mjs BUILD-WEB-FOLDER DESKTOP-PROGRAM
//
// DESKTOP-PROGRAM is build/quillmoor. Prints "N passed, M failed" and exits
// non-zero when anything failed.
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { check, differing, drive, serve, skip, summary, titleShown, until } from "./harness.mjs";

const [site, desktop] = process.argv.slice(2);
if (!site || !desktop) {
  console.error("usage: BROWSER=NAME node watch_test.mjs BUILD-WEB-FOLDER DESKTOP-PROGRAM");
  process.exit(2);
}
const name = process.env.BROWSER || "chromium";

// Real play kept among the tests: some 50 seconds, 2989 steps, from the
// naming grid to the home area and back to the title.
const realPlay = path.resolve(new URL("../replays/", import.meta.url).pathname);
const TOTAL = 2989;
// Files the page must refuse: one cut and damaged, one that is no replay.
const work = fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-watch-"));
const kept = fs.readFileSync(path.join(realPlay, "first_start.replay"));
const damaged = Buffer.from(kept.subarray(0, Math.floor(kept.length * 3 / 4)));
damaged[Math.floor(kept.length / 2)] ^= 0x55;
fs.writeFileSync(path.join(work, "damaged.replay"), damaged);
fs.writeFileSync(path.join(work, "notes.replay"), "a shopping list, not a replay\n");

const server = await serve(site, { "/real/": realPlay, "/made/": work });
const browser = await drive(name).catch((e) => {
  check(false, `${name}: the browser starts (${e.message})`);
  server.close();
  process.exit(summary());
});

const state = (w) => w.evaluate(() => (window.Module && Module.watch ? Module.watch.state() : null));
const digest = (w) => w.evaluate(() => Module.watch.digest());
// The frame beneath the viewer's bar.
const beneath = (f) => f.subarray(11 * 480 * 4);
// Waits for the viewer to say something of itself.
const until_ = (w, what, test, seconds = 60) => until(what, async () => {
  const s = await state(w);
  return s && test(s);
}, seconds);
// The player's files as the page has them from its storage, by path (the
// replays of its sessions are the page's memory's alone).
const files = (w) => w.evaluate(() => {
  const out = {};
  const walk = (dir) => {
    let names = [];
    try { names = FS.readdir(dir); } catch (e) { return; }
    for (const n of names) {
      if (n === "." || n === "..") continue;
      const p = dir + "/" + n;
      if (p === "/quillmoor/replays") continue;
      if (FS.isDir(FS.stat(p).mode)) walk(p);
      else out[p] = Array.from(FS.readFile(p)).join(",");
    }
  };
  walk("/quillmoor");
  return JSON.stringify(out);
});
const notice = (w) => w.evaluate(() => {
  const n = document.getElementById("notice");
  return n && !n.hidden ? n.textContent : "";
});

try {
  // The player's own game first: its title, its settings stored.
  const game = await browser.open(server.url);
  await game.waitFor("the title", titleShown);
  await until("the saves ready", async () => (await files(game)).includes("settings.ini"), 30);
  const before = await files(game);
  await game.close();

  const tab = await browser.open(server.url + "#watch=real/first_start.replay");
  check(await until_(tab, "the replay playing", (s) => s.total === TOTAL && s.step > 0),
        `${name}: a replay sent as a link plays in the page (${JSON.stringify(await state(tab))})`);

  // Another tab of the game meanwhile has the saves: watching holds no lock.
  const other = await browser.open(server.url);
  await other.waitFor("the title", titleShown);
  await other.frames(30);
  check((await notice(other)) === "", `${name}: a game in another tab while one watches keeps its saves ("${await notice(other)}")`);
  await other.close();
  await tab.front();

  // Paused, the picture holds still.
  await tab.key("Space");
  await until_(tab, "paused", (s) => s.paused);
  await tab.evaluate(() => Module.watch.seek(1500));
  check(await until_(tab, "step 1500", (s) => s.step === 1500), `${name}: the timeline's seek goes to step 1500`);
  await tab.frames(5);
  const held = await tab.frame();
  const heldAt = (await state(tab)).step;
  await tab.frames(60);
  const still = differing(beneath(held), beneath(await tab.frame()));
  check(still === 0 && (await state(tab)).step === heldAt,
        `${name}: paused, not a step is taken and not a pixel moves beneath the bar (${still} differ)`);
  const forward = await digest(tab);

  // A full stop steps one update.
  await tab.key("Period");
  check(await until_(tab, "one step on", (s) => s.step === 1501, 10) && (await state(tab)).paused,
        `${name}: paused, a full stop goes one update on and holds there (${(await state(tab)).step})`);

  // To the end, and back from there to the same step: the game starts over.
  await tab.key("End");
  check(await until_(tab, "the end", (s) => s.end === "ended" || s.step === TOTAL),
        `${name}: End goes to the replay's end (${JSON.stringify(await state(tab))})`);
  await tab.evaluate(() => Module.watch.seek(1500));
  await until_(tab, "back at 1500", (s) => s.step === 1500 && s.end === "no");
  const back = await digest(tab);
  // Ten steps short of it, then stepped there one update at a time.
  await tab.evaluate(() => Module.watch.seek(1490));
  await until_(tab, "at 1490", (s) => s.step === 1490);
  for (let i = 0; i < 10; ++i) {
    const at = (await state(tab)).step;
    await tab.key("Period");
    await until_(tab, "a step", (s) => s.step === at + 1, 10);
  }
  const stepped = (await state(tab)).step === 1500 ? await digest(tab) : "not at 1500";
  check(forward === back && back === stepped,
        `${name}: sought forward, sought back and stepped there, step 1500 is the same state (${forward} ${back} ${stepped})`);

  // As fast as it goes to the end: every checkpoint after those seeks is
  // the one straight play recorded.
  await tab.key("Space");
  for (let i = 0; i < 5; ++i) await tab.key("ArrowUp");
  const fastest = (await state(tab)).quarters;
  check(await until_(tab, "the end again", (s) => s.end !== "no", 120) && (await state(tab)).end === "ended" &&
        fastest === 0, `${name}: as fast as it goes (${fastest}) it plays to its end, every checkpoint matching`);

  // Escape: the game's title, the player's files as they were.
  await tab.key("Escape");
  check(await until("the title", async () => !(await tab.evaluate(() => location.hash)) &&
                    titleShown(await tab.frame()), 60),
        `${name}: Escape leaves the replay for the game's title`);
  await until("the saves ready", async () => (await files(tab)).includes("settings.ini"), 30);
  check((await files(tab)) === before, `${name}: the player's stored files are as they were before the replay`);
  await tab.close();

  // Refused as the desktop refuses it, in its words.
  for (const file of ["damaged.replay", "notes.replay"]) {
    const run = spawnSync(path.resolve(desktop), ["--verify", file], { cwd: work, encoding: "utf8" });
    const want = run.stdout.trim();
    const w = await browser.open(server.url + "#watch=made/" + file);
    await until("the refusal", () => w.evaluate(() => Module.verdict !== undefined), 60);
    const shown = await w.evaluate(() => document.getElementById("status-text").textContent);
    const back = await w.evaluate(() => {
      const b = document.querySelector('#watch [data-key="Escape"]');
      return !!b && b.getBoundingClientRect().width > 0;
    });
    check(run.status === 1 && shown === want && back,
          `${name}: ${file} is refused with the desktop's line ("${shown}"; the desktop: "${want}"), and the way back is there`);
    await w.close();
  }

  // Choosing a file, dropping one, and a phone: where puppeteer can.
  if (!browser.browser || name !== "chromium") {
    skip("\"Watch replay\" with a chosen or a dropped file, and a phone's taps", "driven in Chromium only", name);
  } else {
    const page = (await browser.open(server.url)).page;
    await until("the title", async () => page.evaluate(() => !!(window.Module && Module.quillmoor && Module.quillmoor.context)));
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#replay-watch")]);
    await chooser.accept([path.join(realPlay, "first_start.replay")]);
    const asked = await page.$eval("#watch-question", (e) => e.textContent);
    check(/^Watch first_start\.replay\?/.test(asked), `${name}: a chosen file is asked about first ("${asked}")`);
    await Promise.all([page.waitForNavigation(), page.click("#watch-yes")]);
    await until("the chosen replay", async () => page.evaluate(() => !!(window.Module && Module.watch) &&
                                                                   Module.watch.state().total === 2989));
    check(await page.evaluate(() => location.hash === "#watch" && Module.watch.state().total === 2989),
          `${name}: "Watch replay" plays the chosen file in the page`);
    await page.keyboard.press("Escape");
    await until("the title", async () => page.evaluate(() => !location.hash && !!(window.Module && Module.quillmoor &&
                                                                                  Module.quillmoor.context)));
    // Dropped on the page.
    await page.evaluate((bytes) => {
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array(bytes)], "dropped.replay"));
      window.dispatchEvent(new DragEvent("drop", { dataTransfer: data, bubbles: true, cancelable: true }));
    }, Array.from(kept));
    const dropped = await page.$eval("#watch-question", (e) => e.textContent);
    await page.click("#watch-no");
    check(/^Watch dropped\.replay\?/.test(dropped) && await page.$eval("#watch-ask", (e) => e.hidden),
          `${name}: a dropped file is asked about too, and Cancel leaves the game as it was ("${dropped}")`);
    // A file the browser will not carry across the reload: said, and the
    // game goes on.
    await page.evaluate((bytes) => {
      history.pushState = () => { throw new DOMException("the state is too large", "DataCloneError"); };
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array(bytes)], "huge.replay"));
      window.dispatchEvent(new DragEvent("drop", { dataTransfer: data, bubbles: true, cancelable: true }));
    }, Array.from(kept));
    await page.click("#watch-yes");
    const said = await until("the message", () => page.$eval("#replay-message", (e) => !e.hidden), 10)
      ? await page.$eval("#replay-message", (e) => e.textContent) : "";
    check(said === "The replay could not be opened here: it is too large for this browser." &&
          await page.evaluate(() => !location.hash && !!Module.quillmoor.context),
          `${name}: a file too large to carry across the reload is said so, and the game goes on ("${said}")`);
    await page.close();

    // A phone, upright and on its side: the buttons and the timeline within
    // the screen and clear of the game, and answering taps.
    for (const [width, height] of [[390, 844], [844, 390]]) {
      const phone = (await browser.open(server.url + "#watch=real/first_start.replay",
                                        { viewport: { width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true } })).page;
      await until("the replay", async () => phone.evaluate(() => !!(window.Module && Module.watch) &&
                                                                 Module.watch.state().step > 0));
      const boxes = await phone.evaluate(() => {
        const box = (e) => { const b = e.getBoundingClientRect(); return [b.left, b.top, b.right, b.bottom]; };
        return { screen: box(document.getElementById("screen")),
                 controls: [...document.querySelectorAll("#watch button, #watch-time")].map(box) };
      });
      const inside = boxes.controls.every(([l, t, r, b]) => l >= 0 && t >= boxes.screen[3] && r <= width && b <= height);
      const play = await phone.$('#watch [data-key="Space"]');
      await play.tap();
      const paused = await until("paused by a tap", () => phone.evaluate(() => Module.watch.state().paused), 10);
      const timeline = await phone.$("#watch-time");
      const t = await timeline.boundingBox();
      await phone.touchscreen.tap(t.x + t.width * 0.75, t.y + t.height / 2);
      const there = await until("the tapped time", () => phone.evaluate(() => {
        const s = Module.watch.state();
        return Math.abs(s.step - 0.75 * s.total) < 0.05 * s.total;
      }), 20);
      check(inside && paused && there,
            `${name}: a phone ${width} x ${height} at scale 3: the viewer's controls under the game and on the screen (${inside}), a tap pauses (${paused}), a tap on the timeline goes there (${there})`);
      await phone.close();
    }
  }
} catch (e) {
  check(false, `${name}: the watch test ran to its end (${e.stack})`);
} finally {
  await browser.close().catch(() => {});
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
process.exit(summary());

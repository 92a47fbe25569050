// Plays the game's page in headless Chromium with real key events, as a
// player would: the title shows and matches the desktop's title frame pixel
// for pixel, Begin makes a world and runs its home area, Escape twice saves
// it (out of the area, then the overworld saves and opens the title), and a
// reload of the page finds the same world in the browser's storage.
//
//   node browser_test.mjs BUILD-WEB-FOLDER DESKTOP-FRAME-PROGRAM [SHOTS-FOLDER]
//
// DESKTOP-FRAME-PROGRAM is build/tests/desktop_frame: the desktop's frames
// as the test machine draws them. Prints "N passed, M failed" and exits
// non-zero when anything failed.
import fs from "node:fs";
import path from "node:path";
import { check, desktopFrame, differing, failures, launch, open, pageEnded, serve, summary, titleShown, until } from "./harness.mjs";

const [site, desktopframe, shots] = process.argv.slice(2);
if (!site || !desktopframe) {
  console.error("usage: node browser_test.mjs BUILD-WEB-FOLDER DESKTOP-FRAME-PROGRAM [SHOTS-FOLDER]");
  process.exit(2);
}
// The desktop's frame after `frame` flips, the keys given as [code, flip
// pressed, flip let go].
const desktopFrameAt = (frame, keys) => desktopFrame(desktopframe, frame, keys);

const server = await serve(site);
const browser = await launch();
const tab = await open(browser, null);
const { page, lines } = tab;
// The page has laid itself out again for a new device pixel ratio: the
// ratio is in force, and a frame has been drawn since.
const settled = (ratio) => page.waitForFunction((r) => devicePixelRatio === r, { timeout: 60000 }, ratio)
  .then(() => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))))
  .catch(() => {});
async function shot(name) {
  if (shots) await page.screenshot({ path: path.join(shots, name + ".png") });
}

try {
  await page.goto(server.url);
  check(await tab.waitFor("the title", titleShown), "the title screen shows");
  await shot("title");
  const differ = differing(desktopFrameAt(5), await tab.frame());
  check(differ === 0, `the title frame is the desktop's, pixel for pixel (${differ} pixels differ)`);

  // The page makes its sounds from their settings, one a frame once the
  // title shows; each must be the desktop's WAV file, sample for sample.
  await page.waitForFunction(() => Module.quillmoor.sounds.length >= 24, { timeout: 60000 }).catch(() => {});
  const made = await page.evaluate(() => Module.quillmoor.sounds.map((s) => ({
    name: s.name, rate: s.rate, samples: Array.from(s.data, (v) => Math.round(v * 32768)) })));
  const wavs = fs.readdirSync(new URL("../../assets/sfx/", import.meta.url)).filter((f) => f.endsWith(".wav")).sort();
  const unlike = [];
  for (const file of wavs) {
    const wav = fs.readFileSync(new URL("../../assets/sfx/" + file, import.meta.url));
    let at = 12, want = null;
    while (at + 8 <= wav.length && !want) {
      const size = wav.readUInt32LE(at + 4);
      if (wav.toString("latin1", at, at + 4) === "data")
        want = Array.from({ length: size / 2 }, (_, i) => wav.readInt16LE(at + 8 + 2 * i));
      at += 8 + size + (size & 1);
    }
    const sound = made.find((m) => m.name === "sfx\\" + file);
    if (!sound || sound.rate !== wav.readUInt32LE(24) || sound.samples.length !== want.length ||
        sound.samples.some((v, i) => v !== want[i]))
      unlike.push(file);
  }
  check(wavs.length === 24 && made.length === wavs.length && unlike.length === 0,
        `the page's ${made.length} sounds are the desktop's ${wavs.length} WAV files, sample for sample` +
        (unlike.length ? ` (unlike: ${unlike.join(", ")})` : ""));
  const scale = await page.evaluate(() => document.getElementById("screen").getBoundingClientRect().width / 480);
  check(scale === 2, `the canvas is scaled by the largest whole factor that fits (${scale} in 1024 x 640)`);
  // On screens with 1.25 and 3 device pixels to the CSS pixel, each game
  // pixel still covers a whole number of device pixels, on whole pixels.
  for (const ratio of [1.25, 3]) {
    await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: ratio });
    await settled(ratio);
    const r = await page.evaluate(() => {
      const b = document.getElementById("screen").getBoundingClientRect();
      return [b.left, b.top, b.width, b.height].map((v) => v * devicePixelRatio);
    });
    const whole = r.every((v) => Math.abs(v - Math.round(v)) < 1e-6);
    const k = r[2] / 480;
    check(whole && Number.isInteger(k) && r[3] === 270 * k,
          `at ${ratio} device pixels to the CSS pixel the canvas is ${r[2]} x ${r[3]} device pixels at (${r[0]}, ${r[1]})`);
  }
  await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
  await settled(1);

  // Browser shortcuts stay the browser's: not cancelled, and no game keys.
  await page.evaluate(() => {
    window.shortcuts = [];
    window.addEventListener("keydown", (e) => { if (e.ctrlKey && e.code !== "ControlLeft") window.shortcuts.push(`${e.code}:${e.defaultPrevented}`); });
  });
  for (const code of ["KeyP", "KeyR"]) {
    await page.keyboard.down("Control");
    await page.keyboard.press(code);
    await page.keyboard.up("Control");
  }
  // Both have reached the page, and the game has gone on long enough to
  // have seen them.
  await page.waitForFunction(() => window.shortcuts.length >= 2, { timeout: 60000 }).catch(() => {});
  await tab.frames(30);
  const shortcuts = await page.evaluate(() => window.shortcuts);
  check(shortcuts.join(" ") === "KeyP:false KeyR:false", `Ctrl+P and Ctrl+R are left to the browser (${shortcuts.join(" ")})`);
  check(titleShown(await tab.frame()) && !lines.some((l) => l.startsWith("saving world")),
        "Ctrl+P and Ctrl+R change nothing in the game");

  // The page takes the keys the game plays with, as the key table names
  // them, and leaves every other to the browser: a key it takes has its
  // default prevented. (Keypad Enter is only let go: pressed, it would
  // begin; Tab last, as it moves the focus.)
  const keyCases = [["KeyA", true], ["Digit3", true], ["ArrowDown", true], ["NumpadEnter", true, "keyup"],
                    ["KeyB", false], ["Digit4", false], ["Backspace", false], ["ShiftLeft", false], ["Tab", false]];
  await page.evaluate(() => {
    window.keyEvents = [];
    for (const type of ["keydown", "keyup"])
      window.addEventListener(type, (e) => window.keyEvents.push(`${e.type} ${e.code} ${e.defaultPrevented}`));
  });
  for (const [code, , type] of keyCases) {
    if (type === "keyup") await page.keyboard.up(code);
    else await page.keyboard.press(code);
  }
  await page.focus("#screen");
  const keyEvents = await page.evaluate(() => window.keyEvents);
  const untaken = keyCases.filter(([code, taken, type = "keydown"]) => !keyEvents.includes(`${type} ${code} ${taken}`));
  check(untaken.length === 0, "the page takes the game's keys and leaves the others to the browser" +
        (untaken.length ? ` (wrong: ${untaken.map(([code]) => code).join(", ")}; seen: ${keyEvents.join(", ")})` : ""));

  // Begin: a new world is made, and its home area runs.
  await tab.key("KeyX");
  check(await tab.line("entering encounter type: 3"), "Begin makes a world and enters its home area");
  check(lines.includes("world saved: Defaultia"), "the new world is saved as it is made");
  // The area wipes in for 20 steps, and takes no keys meanwhile.
  await tab.frames(40);
  await shot("home-area");
  // Escape leaves the area; its press carries on to the overworld, which saves.
  const saves = lines.filter((l) => l === "world saved: Defaultia").length;
  await tab.key("Escape");
  check(await tab.waitFor("the title again", titleShown), "Escape leaves the area, saves and opens the title");
  check(lines.filter((l) => l === "world saved: Defaultia").length === saves + 1, "the world was saved on the way");
  const files = await page.evaluate(() => FS.readdir("/quillmoor/worlds/Defaultia").sort());
  check(files.includes("overworld") && files.includes("player"), `the world's files are there (${files.join(" ")})`);

  // A reload finds the world again: Begin loads it, no world is made.
  lines.length = 0;
  await page.reload();
  check(await tab.waitFor("the title after the reload", titleShown), "the title shows after a reload");
  const kept = await page.evaluate(() => FS.readdir("/quillmoor/worlds/Defaultia").sort());
  check(kept.includes("overworld") && kept.includes("player"), `a reload finds the world's files (${kept.join(" ")})`);
  await tab.key("KeyX");
  await tab.waitFor("the overworld", (f) => !titleShown(f), 30);
  // A world made anew would be saving by now.
  await tab.frames(30);
  check(!lines.some((l) => l.startsWith("saving world")), "Begin loaded the world rather than making a new one");
  await shot("overworld");

  // After one visit the page plays with no network at all.
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
  await page.setOfflineMode(true);
  await page.reload();
  check(await tab.waitFor("the title offline", titleShown), "an offline reload after a first visit shows the title");
  await page.setOfflineMode(false);

  // The same keys at the same frames from the same start: the page, run on
  // the test machine's clock (16 ms a flip, from 0, so the same dice), opens
  // the bag in a new world's home area with the cursor in the same colour
  // as the desktop's. The keys go to the page's own key listener between
  // the flips, as the test machine queues them.
  const bagKeys = [["KeyX", 30, 30], ["ArrowRight", 200, 203], ["Enter", 220, 220]];
  const bagFlip = 240;
  const fresh = await browser.createBrowserContext();
  const bag = await open(fresh, null, {
    before: (p) => p.evaluateOnNewDocument((keys, frame) => {
      const flips = () => (window.Module && Module.flips) || 0;
      performance.now = () => 16 * flips();
      const events = [];
      for (const [code, down, up] of keys) events.push(["keydown", code, down], ["keyup", code, up]);
      events.sort((a, b) => a[2] - b[2]);
      const next = window.requestAnimationFrame.bind(window);
      window.requestAnimationFrame = (callback) => next((t) => {
        const f = flips();
        if (f >= frame && !window.bagFrame) {
          window.bagFrame = { flip: f, pixels: Array.from(Module.quillmoor.context.getImageData(0, 0, 480, 270).data) };
        }
        while (events.length && events[0][2] <= f) {
          const [type, code] = events.shift();
          window.dispatchEvent(new KeyboardEvent(type, { code, bubbles: true }));
        }
        callback(t);
      });
    }, bagKeys, bagFlip),
  });
  await bag.page.goto(server.url);
  const shown = await bag.page.waitForFunction(() => window.bagFrame, { timeout: 60000 })
    .then(() => bag.page.evaluate(() => window.bagFrame)).catch(() => null);
  const bagDiffer = shown && shown.flip === bagFlip ? differing(desktopFrameAt(bagFlip, bagKeys), shown.pixels) : -1;
  check(bagDiffer === 0, `after the same keys the bag's frame is the desktop's, pixel for pixel ` +
        `(${shown ? `flip ${shown.flip}, ${bagDiffer} pixels differ` : "no frame"})`);
  await fresh.close();

  // The page as it loads, fails and ends, each in a page of its own.
  const slow = await open(browser, null);
  const cdp = await slow.page.target().createCDPSession();
  await cdp.send("Network.enable");
  await cdp.send("Network.setBypassServiceWorker", { bypass: true });  // the first visit's download
  await cdp.send("Network.emulateNetworkConditions",
                 { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 1.6e6 / 8 });
  slow.page.goto(server.url).catch(() => {});
  // What the page says while the game's code is still on its way.
  const loading = await slow.page.waitForFunction(() => {
    const s = document.getElementById("status");
    return s && !s.hidden && s.getBoundingClientRect().height > 0 &&
           !(window.Module && Module.quillmoor && Module.quillmoor.context) ? s.textContent : "";
  }, { timeout: 60000, polling: "raf" }).then((h) => h.jsonValue(), () => "");
  check(loading.startsWith("Loading Quillmoor"), `on a slow network the page says it is loading while it downloads ("${loading}")`);
  if (shots) await slow.page.screenshot({ path: path.join(shots, "loading.png") });
  await slow.page.close();

  const fails = [
    ["without WebAssembly", () => { delete window.WebAssembly; }, "cannot run in this browser: it has no WebAssembly", "no-webassembly"],
    ["when the game cannot start", () => { WebAssembly.instantiate = () => Promise.reject(new Error("broken")); },
     "stopped on an error", "error"],
  ];
  for (const [when, breakIt, says, name] of fails) {
    const t = await open(browser, server.url, { before: (p) => p.evaluateOnNewDocument(breakIt) });
    // The page has given its last word: no longer loading.
    await t.page.waitForFunction(() => !/^(Loading|Starting)/.test(document.getElementById("status-text").textContent),
                                 { timeout: 60000 }).catch(() => {});
    const [text, bar] = await t.page.evaluate(() => [document.getElementById("status").textContent,
                                                      document.getElementById("status-bar").getBoundingClientRect().height]);
    check(text.includes(says) && text.includes(says.startsWith("stopped") ? "Reload" : "browser") && bar === 0,
          `${when} the page says so in text, with no loading bar ("${text}"${bar ? `, a bar ${bar} px high` : ""})`);
    if (shots) await t.page.screenshot({ path: path.join(shots, name + ".png") });
    await t.page.close();
  }

  // Exit on the title ends the game with its own letters on the canvas
  // (in a tab of its own: the first one is closed and its saves with it).
  await page.close();

  // A phone, touch only, in landscape and in portrait: the controls stand
  // beside or under the game and never over it; a tap on X begins, and
  // holding the right arrow moves the player until the finger lifts.
  for (const [w, h, how] of [[844, 390, "landscape"], [390, 844, "portrait"]]) {
    const phone = await open(browser, server.url,
                             { viewport: { width: w, height: h, isMobile: true, hasTouch: true, deviceScaleFactor: 3 } });
    await phone.waitFor("the title on the phone", titleShown);
    const boxes = await phone.page.evaluate(() => {
      const r = (el) => { const b = el.getBoundingClientRect(); return [b.left, b.top, b.right, b.bottom]; };
      return { screen: r(document.getElementById("screen")),
               controls: [...document.querySelectorAll("#touch [data-key]")].map((el) => [el.dataset.key, r(el)]),
               width: document.documentElement.clientWidth, height: document.documentElement.clientHeight };
    });
    const [sl, st, sr, sb] = boxes.screen;
    const clear = boxes.controls.length === 9 && boxes.controls.every(([, [l, t, r, b]]) =>
      (r <= sl || l >= sr || b <= st || t >= sb) && l >= 0 && t >= 0 && r <= boxes.width && b <= boxes.height);
    check(clear, `${how}: nine touch controls on the screen, none over the game`);
    const from = phone.lines.length;
    await phone.page.tap('[data-key="KeyX"]');
    check(await phone.waitFor("Begin by touch", (f) => !titleShown(f), 30), `${how}: a tap on X begins`);
    // Wherever Begin led (the world is this browser's, made before), it has
    // wiped in and takes keys.
    await phone.frames(90);
    const before = await phone.frame();
    const right = boxes.controls.find(([k]) => k === "ArrowRight")[1];
    await phone.page.touchscreen.touchStart((right[0] + right[2]) / 2, (right[1] + right[3]) / 2);
    await phone.frames(75);
    const during = await phone.frame();
    await phone.page.touchscreen.touchEnd();
    await until("the arrow let go", () => phone.page.evaluate(() => document.querySelectorAll("#touch .held").length === 0), 10);
    const still = await phone.page.evaluate(() => document.querySelectorAll("#touch .held").length);
    let moved = 0;
    for (let i = 0; i < before.length; i += 4) if (before[i] !== during[i] || before[i + 1] !== during[i + 1]) moved++;
    check(moved > 100 || phone.lines.slice(from).some((l) => l.startsWith("entering encounter type")),
          `${how}: holding the right arrow moves the player (${moved} pixels changed)`);
    check(still === 0, `${how}: lifting the finger lets the arrow go`);
    if (shots) await phone.page.screenshot({ path: path.join(shots, `phone-${how}.png`) });
    await phone.page.close();
  }

  const last = await open(browser, server.url);
  await last.waitFor("the title", titleShown);
  await last.key("ArrowLeft");
  await last.frames(12);
  await last.key("KeyX");
  check(await pageEnded(last.page), "Exit leaves the page's end message");
  if (shots) await last.page.screenshot({ path: path.join(shots, "ended.png") });
} catch (e) {
  check(false, "the page ran: " + e.message);
} finally {
  if (failures()) console.log(lines.slice(-30).join("\n"));
  await browser.close();
  server.close();
}
process.exit(summary());

// What the page must do in every engine it is tested in (Chromium, Firefox
// ESR and WebKitGTK; BROWSER= chooses one), played with real key events:
// the title is the desktop's frame pixel for pixel on a canvas scaled by a
// whole factor, the first key starts the sound, Begin makes a world whose
// home area runs and the player walks,
// Escape saves it and a reload finds it again, a second window says the
// game is open elsewhere and can take it over, a reload with the server
// gone plays from the service worker, Exit ends the game, and the loading
// bar, while the game's code has not come, is an empty outline; where the
// engine lets the test do it, the page without WebAssembly and the touch
// controls. What an engine cannot do is said and counted as skipped.
//
//   BROWSER=chromium|firefox|webkit node engines_test.mjs BUILD-WEB-FOLDER DESKTOP-FRAME-PROGRAM
//
// DESKTOP-FRAME-PROGRAM is build/tests/desktop_frame. Prints "N passed,
// M failed" and exits non-zero when anything failed.
import { check, desktopFrame, differing, drive, serve, skip, summary, titleShown, until } from "./harness.mjs";

const [site, desktopframe] = process.argv.slice(2);
if (!site || !desktopframe) {
  console.error("usage: BROWSER=NAME node engines_test.mjs BUILD-WEB-FOLDER DESKTOP-FRAME-PROGRAM");
  process.exit(2);
}
const name = process.env.BROWSER || "chromium";

// The desktop's title after 5 flips, as the test machine draws it.
const desktopTitle = () => desktopFrame(desktopframe, 5);
// The world's files the page keeps in the browser's storage (the game's
// folder, as the page's file system holds it).
const worldFiles = (w) => w.evaluate(() => {
  try { return FS.readdir("/quillmoor/worlds/Defaultia").filter((n) => n[0] !== ".").sort(); } catch (e) { return []; }
});
const whole = (files) => files.includes("overworld") && files.includes("player");

let server = await serve(site);
const browser = await drive(name).catch((e) => {
  check(false, `${name}: the browser starts (${e.message})`);
  server.close();
  process.exit(summary());
});
try {
  const tab = await browser.open(server.url);
  check(await tab.waitFor("the title", titleShown), `${name}: the title screen shows`);
  const differ = differing(desktopTitle(), await tab.frame());
  check(differ === 0, `${name}: the title frame is the desktop's, pixel for pixel (${differ} pixels differ)`);
  // Each game pixel is a whole number of device pixels, on whole device
  // pixels, at the largest such scale that fits the window.
  const [x, y, w, h, width, height] = await tab.evaluate(() => {
    const b = document.getElementById("screen").getBoundingClientRect();
    return [b.left, b.top, b.width, b.height, innerWidth, innerHeight].map((v) => v * devicePixelRatio);
  });
  const k = w / 480;
  check([x, y, w, h].every(Number.isInteger) && Number.isInteger(k) && k >= 1 && h === 270 * k &&
        x + w <= width && y + h <= height && ((k + 1) * 480 > width || (k + 1) * 270 > height),
        `${name}: the canvas is scaled by a whole factor that fits the window (${w} x ${h} at (${x}, ${y}) in ${width} x ${height})`);

  // The first key (X: Begin) starts the sound.
  await tab.key("KeyX");
  const audio = () => tab.evaluate(() => (Module.sound && Module.sound.context && Module.sound.context.state) || "none");
  await until("the sound running", async () => (await audio()) === "running", 30);
  const state = await audio();
  check(state === "running", `${name}: after the first key the page's sound is running (${state})`);

  // Begin makes the world, saved as it is made, and its home area runs.
  check(await tab.waitFor("the home area", (f) => !titleShown(f), 30) &&
        await until("the new world saved", async () => whole(await worldFiles(tab))),
        `${name}: Begin makes a world, saved as it is made (${(await worldFiles(tab)).join(" ")})`);
  // The area wipes in for 20 steps and takes no keys meanwhile; then the
  // right arrow held walks the player.
  await tab.frames(40);
  const before = await tab.frame();
  await tab.down("ArrowRight");
  await tab.frames(30);
  const during = await tab.frame();
  await tab.up("ArrowRight");
  const moved = differing(before, during);
  check(moved > 100, `${name}: holding the right arrow walks the player (${moved} pixels changed)`);

  // Escape leaves the area and the overworld saves it on the way to the title.
  const stamp = () => tab.evaluate(() => FS.stat("/quillmoor/worlds/Defaultia/player").mtime.getTime());
  const made = await stamp();
  await tab.frames(10);
  await tab.key("Escape");
  check(await tab.waitFor("the title again", titleShown) &&
        await until("the world saved again", async () => (await stamp()) > made, 10),
        `${name}: Escape leaves the area, saves the world and opens the title`);

  // A reload finds the world in the browser's storage.
  await tab.reload();
  check(await tab.waitFor("the title after the reload", titleShown) && whole(await worldFiles(tab)),
        `${name}: a reload finds the world again (${(await worldFiles(tab)).join(" ")})`);

  // A second window: the game is open elsewhere; "Play here instead" there
  // takes it over, and the first says it has stopped.
  const other = await browser.open(server.url);
  const elsewhere = await until("the second window's notice", async () => (await other.notice()).includes("open in another tab"));
  check(elsewhere, `${name}: a second window says the game is open elsewhere ("${await other.notice()}")`);
  await other.click("#notice button");
  await other.front();
  check(await other.waitFor("the title in the second window", titleShown),
        `${name}: "Play here instead" starts the game in the second window`);
  await until("the first window's notice", async () => (await tab.notice()).includes("This one has stopped"));
  check((await tab.notice()).includes("This one has stopped"), `${name}: the first window says it has stopped`);
  await tab.close();

  // After one visit the page plays with the server gone, from its worker.
  await until("the service worker", () => other.evaluate(() => navigator.serviceWorker.controller !== null));
  server.close();
  // A reload that finds nothing at all fails here, with the check.
  await other.reload().catch(() => {});
  check(await other.waitFor("the title offline", titleShown) && whole(await worldFiles(other)),
        `${name}: with the server gone a reload plays from the service worker, the world kept`);

  // Exit on the title ends the game with the page's own words.
  await other.key("ArrowLeft");
  await other.frames(12);
  await other.key("KeyX");
  check(await until("the end message", () => other.evaluate(() => !document.getElementById("status").hidden &&
          document.getElementById("status-text").textContent === "The game has ended. Reload the page to play again.")),
        `${name}: Exit ends the game with the page's end message`);
  await other.close();

  // A browser without WebAssembly is told so in text, with no loading bar.
  if (browser.cannot.prepare) skip("the page without WebAssembly", browser.cannot.prepare, name);
  else {
    const bare = await browser.open(server.url, { before: () => { delete window.WebAssembly; } });
    await until("the page's last word", () => bare.evaluate(() => !/^(Loading|Starting)/.test(document.getElementById("status-text").textContent)));
    const [text, high] = await bare.evaluate(() => [document.getElementById("status").textContent,
                                                     document.getElementById("status-bar").getBoundingClientRect().height]);
    check(text.includes("cannot run in this browser: it has no WebAssembly") && high === 0,
          `${name}: without WebAssembly the page says so in text, with no loading bar ("${text}")`);
    await bare.close();
  }

  // A phone, touch only: the controls come with the first touch, and a tap
  // on X begins (Begin loads the world made above, offline).
  if (browser.cannot.touch) skip("the touch controls", browser.cannot.touch, name);
  else {
    const phone = await browser.open(server.url,
                                     { viewport: { width: 844, height: 390, isMobile: true, hasTouch: true, deviceScaleFactor: 3 } });
    await phone.waitFor("the title on the phone", titleShown);
    await phone.tap("#screen");
    const shown = await until("the touch controls", () => phone.evaluate(() => !document.getElementById("touch").hidden));
    if (shown) await phone.tap('[data-key="KeyX"]');
    check(shown && await phone.waitFor("Begin by touch", (f) => !titleShown(f), 30),
          `${name}: on a touch screen the controls show, and a tap on X begins`);
    await phone.close();
  }

  // While the game's code has not come the page shows its loading bar: an
  // outline in the page's green, and inside it the background colour (an
  // indeterminate bar says something is happening, it fills nothing).
  server = await serve(site, {}, { hold: ["/quillmoor.wasm"] });
  const waiting = await browser.open(server.url);
  const bar = await until("the loading bar", () => waiting.evaluate(() => {
    const b = document.getElementById("status-bar").getBoundingClientRect();
    return b.height > 0 && !document.getElementById("status").hidden;
  }));
  const box = await waiting.evaluate(() => {
    const b = document.getElementById("status-bar").getBoundingClientRect();
    return [b.left, b.top, b.width, b.height].map(Math.round);
  });
  // Two frames drawn since it was laid out: what is seen is on the screen.
  await waiting.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(() => r(true)))));
  const px = await waiting.pixels(box);
  const at = (x, y) => px.slice((y * box[2] + x) * 4, (y * box[2] + x) * 4 + 3);
  const colours = new Set();
  for (let y = 3; y < box[3] - 3; ++y)
    for (let x = 3; x < box[2] - 3; ++x) colours.add(at(x, y).join(","));
  const outline = at(Math.floor(box[2] / 2), 0).join(",");
  check(bar && outline === "128,255,128" && colours.size === 1 && colours.has("32,24,16"),
        `${name}: while the game's code is on its way the loading bar is an empty outline ` +
        `(outline ${outline}, inside ${[...colours].join(" ")})`);
  await waiting.close();
} catch (e) {
  check(false, `${name}: the page ran: ${e.message}`);
  if (process.env.DEBUG) console.log(e);
} finally {
  await browser.close();
  server.close();
}
process.exit(summary());

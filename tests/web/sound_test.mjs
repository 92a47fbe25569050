// The page's sound and what a phone asks of it, in headless Chromium that
// lets a page start sound only after the player's own gesture, as phones do:
// the first tap on a touch control, the first key or the first click starts
// the sound; the "Sound" switch mutes it and is remembered by the next
// visit, also where the page's storage fails for the visit; the home-screen
// icon is there at 180 x 180; the full-screen button shows only where the
// browser can go full screen.
//
//   node sound_test.mjs BUILD-WEB-FOLDER
//
// Prints "N passed, M failed" and exits non-zero when anything failed.
import { check, launch, open, serve, summary, titleShown, until } from "./harness.mjs";

const [site] = process.argv.slice(2);
if (!site) {
  console.error("usage: node sound_test.mjs BUILD-WEB-FOLDER");
  process.exit(2);
}

const server = await serve(site);
const browser = await launch(undefined, { args: ["--autoplay-policy=document-user-activation-required"] });
const phoneView = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 };

// What the page's output is doing: no output yet, or its state.
const audio = (page) => page.evaluate(() => (Module.sound.context ? Module.sound.context.state : "none"));
// The switch as a player and a screen reader see it, and the output's gain.
const switchShown = (page) => page.evaluate(() => {
  const b = document.getElementById("sound");
  return { text: b.textContent, pressed: b.getAttribute("aria-pressed"), hidden: b.hidden,
           gain: Module.sound.output ? Module.sound.output.gain.value : null, started: Module.sound.started,
           focus: document.activeElement && document.activeElement.id };
});
// The switch as the browser tells a screen reader: its name, pressed or not.
async function spoken(page) {
  const node = await page.accessibility.snapshot({ root: await page.$("#sound") });
  return `${node.role} "${node.name.trim()}" ${node.pressed ? "pressed" : "not pressed"}`;
}
// A tab in a browser context of its own (its own storage), at the title.
async function fresh(viewport, before) {
  const context = await browser.createBrowserContext();
  const tab = await open(context, server.url, { viewport, before });
  await tab.waitFor("the title", titleShown);
  tab.context = context;
  return tab;
}
// The sound started by a key the title does nothing with.
async function wake(tab) {
  await tab.key("ArrowUp");
  return until("the sound running", async () => (await audio(tab.page)) === "running", 20);
}
// Moves on the title: each plays the menu's sound (Right then Left, back on
// Begin), the game having gone on past each.
async function menuMoves(tab) {
  for (const code of ["ArrowRight", "ArrowLeft"]) {
    await tab.key(code);
    await tab.frames(12);
  }
}

try {
  // The first gesture of each kind starts the sound: on a phone a tap on a
  // touch control (its finger put down is no gesture the browser counts; the
  // lift is), a key, a click on a button. Puppeteer's own evaluations count
  // as a gesture of the player's, so until the gesture the page is looked at
  // only through the browser's protocol, which does not, and it is checked
  // that the page has had no gesture before.
  const gestures = [
    ["a tap on a touch control", phoneView, '#touch [data-key="ArrowUp"]', (page, [x, y]) => page.touchscreen.tap(x, y)],
    ["a key", undefined, null, (page) => page.keyboard.press("ArrowUp")],
    ["a click on a button", undefined, "#fullscreen", (page, [x, y]) => page.mouse.click(x, y)],
  ];
  for (const [gesture, viewport, target, act] of gestures) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    if (viewport) await page.setViewport(viewport);
    const cdp = await page.createCDPSession();
    const look = (expression) => cdp.send("Runtime.evaluate", { expression, returnByValue: true })
      .then((r) => r.result.value);
    await page.goto(server.url);
    await until("the game running", () => look("!!(window.Module && Module.flips > 5)"));
    const where = target ? await look(`(() => { const r = document.querySelector('${target}').getBoundingClientRect();
                                          return [(r.left + r.right) / 2, (r.top + r.bottom) / 2]; })()`) : null;
    const before = await look("[navigator.userActivation.hasBeenActive, Module.sound.context ? Module.sound.context.state : 'none']");
    await act(page, where);
    const state = () => look("Module.sound.context ? Module.sound.context.state : 'none'");
    const running = await until(`the sound after ${gesture}`, async () => (await state()) === "running", 20);
    check(before[0] === false && before[1] !== "running" && running,
          `${gesture} starts the sound (before: ${before[0] ? "a gesture already, " : ""}${before[1]}, after: ${await state()})`);
    await context.close();
  }

  // The switch: on at first, off mutes the output and starts no sound, and
  // the next visit finds it as the player left it.
  const tab = await fresh();
  const { page } = tab;
  await wake(tab);
  await menuMoves(tab);
  const on = await switchShown(page);
  const onSpoken = await spoken(page);
  check(on.text === "Sound on" && onSpoken === 'button "Sound" pressed' && on.gain === 1 && on.started >= 2,
        `at first the switch says "Sound on", is read as ${onSpoken}, and menu moves are heard (${JSON.stringify(on)})`);
  await page.click("#sound");
  const off = await switchShown(page);
  const offSpoken = await spoken(page);
  await menuMoves(tab);
  const offLater = await switchShown(page);
  check(off.text === "Sound off" && offSpoken === 'button "Sound" not pressed' && off.gain === 0 &&
        off.focus === "screen" && offLater.started === off.started,
        `clicked, it says "Sound off", is read as ${offSpoken}, the output's gain is 0, the game has the keys again and ` +
        `starts no sound (${JSON.stringify(off)}, then ${offLater.started} started)`);
  check(titleShown(await tab.frame()), "the switch's click gave the game no key (still on the title)");
  await page.reload();
  await tab.waitFor("the title after the reload", titleShown);
  await wake(tab);
  await menuMoves(tab);
  const kept = await switchShown(page);
  check(kept.text === "Sound off" && kept.pressed === "false" && kept.gain === 0 && kept.started === 0,
        `after a reload the switch is still off and nothing is heard (${JSON.stringify(kept)})`);
  await page.click("#sound");
  await page.reload();
  await tab.waitFor("the title after the second reload", titleShown);
  const back = await switchShown(page);
  check(back.text === "Sound on" && back.pressed === "true", `switched on again, it is on after a reload (${back.text})`);
  await tab.context.close();

  // Storage that fails: the page plays, and the switch works for the visit.
  const failing = await fresh(undefined, (p) => p.evaluateOnNewDocument(() => {
    Storage.prototype.getItem = Storage.prototype.setItem = () => { throw new DOMException("denied", "SecurityError"); };
  }));
  await failing.page.click("#sound");
  await wake(failing);
  await menuMoves(failing);
  const lasting = await switchShown(failing.page);
  check(lasting.text === "Sound off" && lasting.gain === 0 && lasting.started === 0 &&
        !failing.lines.some((l) => l.startsWith("page error")),
        `with the page's storage failing the switch still mutes, for the visit (${JSON.stringify(lasting)})`);
  await failing.context.close();

  // The phone's home-screen icon, and a browser that cannot go full screen.
  const phone = await fresh(phoneView, (p) => p.evaluateOnNewDocument(() => {
    Object.defineProperty(Document.prototype, "fullscreenEnabled", { get: () => false });
  }));
  const icon = await phone.page.evaluate(async () => {
    const link = document.querySelector('link[rel="apple-touch-icon"]');
    if (!link) return "no link";
    const response = await fetch(link.href);
    const type = response.headers.get("Content-Type");
    const picture = await createImageBitmap(await response.blob());
    return `${response.status} ${type} ${picture.width}x${picture.height}`;
  });
  check(icon === "200 image/png 180x180", `the home-screen icon is a 180 x 180 PNG (${icon})`);
  const shown = await phone.page.evaluate(() => {
    const visible = (id) => document.getElementById(id).getBoundingClientRect().width > 0;
    return { fullscreen: visible("fullscreen"), sound: visible("sound") };
  });
  check(!shown.fullscreen && shown.sound,
        `where the browser cannot go full screen its button is hidden, the sound switch is not (${JSON.stringify(shown)})`);
  await phone.context.close();
  const desktop = await fresh();
  const can = await desktop.page.evaluate(() => document.getElementById("fullscreen").getBoundingClientRect().width > 0);
  check(can, "where the browser can go full screen its button shows");
  await desktop.context.close();
} catch (e) {
  check(false, "the page ran: " + e.message);
} finally {
  await browser.close();
  server.close();
}
process.exit(summary());

// What the browser tests and the page's benchmarks (bench/web_*.mjs) share:
// a plain static server for the built page, the browser that plays it, a
// page as the player sees it (its canvas, its console lines, its keys), waits
// for what the game or the page does (never for a fixed time: the machine
// may be loaded) and the tally of checks.
import { execFileSync, spawn } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import puppeteer from "puppeteer-core";
import { Builder, Key } from "selenium-webdriver";

let passed = 0, failed = 0, skipped = 0;
export function check(ok, what) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
  return ok;
}
export function failures() { return failed; }
// A check this browser cannot make: said, with why, and counted; never a
// silent pass.
export function skip(what, why, name = process.env.BROWSER || "chromium") {
  skipped++;
  console.log(`skipped in ${name}: ${what} (${why})`);
}
export function summary() {
  console.log(`${passed} passed, ${failed} failed` + (skipped ? `, ${skipped} skipped` : ""));
  return failed ? 1 : 0;
}

// Waits until `test()` holds, asking again every `every` ms, for at most
// `seconds`; says what it waited for when it gives up. The default is
// generous: a loaded machine may take many times longer than an idle one.
export async function until(what, test, seconds = 60, every = 50) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    try {
      if (await test()) return true;
    } catch (e) { /* not there yet: the page may be loading or reloading */ }
    if (Date.now() >= end) break;
    await new Promise((r) => setTimeout(r, every));
  }
  console.log(`(waited ${seconds} s for ${what})`);
  return false;
}

// Any static server will do for the page; this one is plain on purpose.
// `folders` serves more files beside the page's, by the start of their path:
// { "/made/": FOLDER }. With `compress`, it gzips what it sends to a browser
// that accepts it, as most hosts do. The paths in `hold` are never answered
// (until the server closes): a download that does not come, so the page
// stays on what it shows while it waits.
export async function serve(site, folders = {}, { compress = false, hold = [] } = {}) {
  const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                  ".webmanifest": "application/manifest+json", ".png": "image/png" };
  const server = http.createServer((req, res) => {
    const asked = path.normalize(decodeURIComponent(req.url.split("?")[0])).replace(/^(\.\.[/\\])+/, "");
    if (hold.includes(asked)) return;
    const from = Object.keys(folders).find((start) => asked.startsWith(start));
    const name = from ? path.join(folders[from], asked.slice(from.length)) : path.join(site, asked);
    const file = name.endsWith("/") ? path.join(name, "index.html") : name;
    fs.readFile(file, (err, data) => {
      if (err) { res.writeHead(404); res.end(); return; }
      const headers = { "Content-Type": types[path.extname(file)] || "application/octet-stream" };
      if (compress && /gzip/.test(req.headers["accept-encoding"] || "")) {
        data = zlib.gzipSync(data, { level: 6 });
        headers["Content-Encoding"] = "gzip";
      }
      res.writeHead(200, headers);
      res.end(data);
    });
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  // Closed, it answers nothing more, not even on a connection kept open.
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => { server.close(); server.closeAllConnections(); } };
}

// The browsers the page is played in, each as puppeteer launches it: the
// machine's own, never one fetched. BROWSER=name chooses one for a run.
const browsers = {
  chromium: () => ({
    browser: "chrome",
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--autoplay-policy=no-user-gesture-required"],
  }),
  // Firefox ESR, spoken to over WebDriver BiDi. It plays sound only through
  // a sound server: it is given a quiet one of its own.
  firefox: () => ({
    browser: "firefox",
    protocol: "webDriverBiDi",
    executablePath: process.env.FIREFOX || "/usr/bin/firefox-esr",
    quiet: true,
  }),
};

// A PulseAudio server with a sound card that plays nothing, in `folder`:
// where the machine has no sound card (CI, a container), a browser that
// needs a server for its AudioContext to run gets one all the same. Its
// environment for the browser, and how to stop it.
async function quietSoundServer(folder) {
  const socket = path.join(folder, "native");
  const server = spawn("pulseaudio", ["-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                      "--load=module-null-sink",
                                      `--load=module-native-protocol-unix auth-anonymous=1 socket=${socket}`],
                       { stdio: "ignore", env: { ...process.env, HOME: folder, XDG_RUNTIME_DIR: folder } });
  server.on("error", () => {});  // none installed: the sound's check says the page's sound did not run
  process.on("exit", () => server.kill());  // never left behind, whatever ends the test
  await until("the quiet sound server", () => fs.existsSync(socket), 20);
  return { env: { PULSE_SERVER: "unix:" + socket },
           stop: () => { server.kill(); fs.rmSync(folder, { recursive: true, force: true }); } };
}

// A browser with a profile of its own, thrown away with it. `args` go to
// the browser after its own (a later switch wins over an earlier one).
export async function launch(name = process.env.BROWSER || "chromium", { args = [] } = {}) {
  if (!browsers[name]) throw new Error(`no browser named ${name} (${Object.keys(browsers).join(", ")})`);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-browser-"));
  const { quiet, ...options } = browsers[name]();
  if (args.length) options.args = [...(options.args || []), ...args];
  const sound = quiet ? await quietSoundServer(fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-sound-"))) : null;
  const browser = await puppeteer.launch({ headless: true, userDataDir: profile, ...options,
                                           ...(sound ? { env: { ...process.env, ...sound.env } } : {}) })
    .catch((e) => { if (sound) sound.stop(); throw e; });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    if (sound) sound.stop();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// The game's own clock: how many frames it has shown. Every loop of the
// game shows one a pass, at the browser's animation frames; the naming grid
// runs no update steps, so they would not do.
const framesShown = () => (window.Module && Module.flips) || 0;
// Whether the game is not running: the page shows its status (loading,
// stopped on an error, ended) only then.
const stopped = () => !document.getElementById("status").hidden;

const pixel = (f, x, y) => [f[(y * 480 + x) * 4], f[(y * 480 + x) * 4 + 1], f[(y * 480 + x) * 4 + 2]];
const same = (a, b) => a.every((v, i) => v === b[i]);
export const titleShown = (f) => same(pixel(f, 40, 260), [64, 64, 64]);

// The game's notices are green text centred on the cleared screen: the
// width of the green, in pixels, tells "Could not save!" from "Saving World".
// The page says the game has ended (after Exit), within `seconds`.
export function pageEnded(page, seconds = 10) {
  return page.waitForFunction(
    () => !document.getElementById("status").hidden &&
          document.getElementById("status-text").textContent === "The game has ended. Reload the page to play again.",
    { timeout: seconds * 1000 }).then(() => true, () => false);
}

export function noticeWidth(f) {
  let left = 480, right = -1;
  for (let y = 125; y < 145; ++y)
    for (let x = 0; x < 480; ++x)
      if (same(pixel(f, x, y), [128, 255, 128])) { left = Math.min(left, x); right = Math.max(right, x); }
  return right < 0 ? 0 : right - left + 1;
}

// A tab of the game: its console lines, its canvas and its keys.
export async function open(browser, url, { viewport = { width: 1024, height: 640 }, before } = {}) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const lines = [];
  page.on("console", (m) => lines.push(m.text()));
  page.on("pageerror", (e) => lines.push("page error: " + e.message + "\n" + e.stack));
  if (before) await before(page);
  if (url) await page.goto(url);
  const tab = {
    page, lines,
    // The canvas as RGBA bytes.
    async frame() {
      const b64 = await page.evaluate(() => {
        const d = Module.quillmoor.context.getImageData(0, 0, 480, 270).data;
        let s = "";
        for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
        return btoa(s);
      });
      return Buffer.from(b64, "base64");
    },
    // Waits, frame by frame, for something to show on the canvas.
    waitFor(what, test, seconds = 60) {
      return until(what, async () => test(await tab.frame()), seconds, 100);
    },
    // Waits for a console line (for `count` of them, all told).
    line(text, seconds = 60, count = 1) {
      return until(`"${text}"`, () => lines.filter((l) => l === text).length >= count, seconds, 20);
    },
    // Waits until the game has shown `n` more frames (16 ms of play each,
    // however long the machine takes to draw them), or has stopped.
    async frames(n, seconds = 60) {
      const from = await page.evaluate(framesShown).catch(() => 0);
      return page.waitForFunction(`(${framesShown})() >= ${from + n} || (${stopped})()`,
                                  { timeout: seconds * 1000, polling: 16 }).then(() => true, () => false);
    },
    // A key pressed and held for `frames` of the game's frames (at least one
    // sees it down), then let go.
    async key(code, frames = 2) {
      await page.keyboard.down(code);
      await tab.frames(frames);
      await page.keyboard.up(code);
    },
    notice: () => page.evaluate(() => {
      const n = document.getElementById("notice");
      return n && !n.hidden ? n.textContent : "";
    }),
  };
  return tab;
}

// A new world named on the title's world list: its name is the k-th letter
// of the naming grid. Leaving the list saves the settings with that name.
// Each key waits for the game to have gone on a quarter of a second after
// the one before: the menus ignore keys while they open.
export async function nameWorld(tab, k = 0) {
  await tab.waitFor("the title", titleShown);
  for (const key of ["ArrowRight", "KeyX", "KeyX", ...Array(k).fill("ArrowRight"), "KeyX", "Enter", "Escape"]) {
    await tab.key(key, 5);
    await tab.frames(15);
  }
  return String.fromCharCode(65 + k);
}

// Back on the title from the world list, the cursor is on Change World:
// Left moves it to Begin, and X begins.
export async function toBegin(tab) {
  await tab.waitFor("the title", titleShown);
  await tab.frames(12);
  await tab.key("ArrowLeft");
  await tab.frames(12);
  await tab.key("KeyX");
}

// Out of the area the player stands in: Escape, held until the overworld
// starts saving the world, then let go before the title would take it.
// Waits for the save's end (its line, or the title, which a failed save
// goes on to); whether it was saved. The page lets every held key go when
// it is hidden or loses focus, and the area shuts its ears for the 20 steps
// it wipes in: so the tab is in front, and the game has shown more frames
// than that there, before the key goes down.
export async function leaveArea(tab, name = "Defaultia") {
  const count = (l) => tab.lines.filter((x) => x === l).length;
  const saving = count(`saving world: ${name}`), saved = count(`world saved: ${name}`);
  await tab.page.waitForFunction(() => document.visibilityState === "visible", { timeout: 60000 }).catch(() => {});
  await tab.frames(30);
  await tab.page.keyboard.down("Escape");
  await tab.line(`saving world: ${name}`, 60, saving + 1);
  await tab.page.keyboard.up("Escape");
  await until("the save's end", async () => count(`world saved: ${name}`) > saved || titleShown(await tab.frame()));
  return tab.line(`world saved: ${name}`, 2, saved + 1);
}

// What the page keeps in the browser's storage: each file's bytes, as
// base64, by its path.
export function stored(page) {
  return page.evaluate(() => new Promise((resolve, reject) => {
    const request = indexedDB.open("quillmoor");
    // Looking must not make the storage where there is none.
    request.onupgradeneeded = () => request.transaction.abort();
    request.onerror = () => resolve({});
    request.onsuccess = () => {
      const db = request.result;
      if (!db.objectStoreNames.contains("files")) { db.close(); resolve({}); return; }
      const store = db.transaction("files", "readonly").objectStore("files");
      const out = {};
      const cursor = store.openCursor();
      cursor.onsuccess = () => {
        const c = cursor.result;
        if (!c) { db.close(); resolve(out); return; }
        const b = new Uint8Array(c.value);
        let s = "";
        for (let i = 0; i < b.length; i += 8192) s += String.fromCharCode.apply(null, b.subarray(i, i + 8192));
        out[c.key] = btoa(s);
        c.continue();
      };
      cursor.onerror = () => reject(cursor.error);
    };
  }));
}

// The page in any of the three engines, through the few things the tests
// that run in all of them ask of a browser: a window at a URL, a function
// evaluated in it, keys held and let go, its canvas, a screenshot, a reload.
// Chromium and Firefox are puppeteer's; WebKitGTK (its MiniBrowser) is
// driven by WebKitWebDriver over classic WebDriver, in windows of their own
// (a tab in the background there gets no frames), and needs a display
// (tools/test_web.sh gives it a virtual one). Classic WebDriver tells
// nothing of the page's console, so these tests judge by what the page and
// its storage show.
export const engines = ["chromium", "firefox", "webkit"];

// The canvas as base64 RGBA bytes, evaluated in the page.
const canvasBytes = () => {
  const d = Module.quillmoor.context.getImageData(0, 0, 480, 270).data;
  let s = "";
  for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
  return btoa(s);
};

// A window's common side, given how to evaluate in it and hold its keys.
function windowOf(w) {
  const win = {
    ...w,
    async frame() { return Buffer.from(await w.evaluate(canvasBytes), "base64"); },
    waitFor(what, test, seconds = 60) {
      return until(what, async () => test(await win.frame()), seconds, 100);
    },
    // Waits for `n` more of the game's frames, or for the game to stop.
    async frames(n, seconds = 60) {
      const from = await w.evaluate(framesShown).catch(() => 0);
      return until(`${n} frames`, () => w.evaluate(`return (${framesShown})() >= ${from + n} || (${stopped})()`), seconds, 16);
    },
    async key(code, frames = 2) {
      await w.down(code);
      await win.frames(frames);
      await w.up(code);
    },
    notice: () => w.evaluate(() => {
      const n = document.getElementById("notice");
      return n && !n.hidden ? n.textContent : "";
    }),
    // The screenshot's RGBA pixels in a box of CSS pixels ([left, top,
    // width, height]), read by the browser's own image decoder.
    async pixels(box) {
      const png = await w.screenshot();
      return w.evaluate(async (b64, [x, y, width, height]) => {
        const bytes = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
        const picture = await createImageBitmap(new Blob([bytes], { type: "image/png" }));
        const scale = picture.width / innerWidth;
        const c = document.createElement("canvas");
        c.width = width;
        c.height = height;
        const g = c.getContext("2d");
        g.imageSmoothingEnabled = false;
        g.drawImage(picture, x * scale, y * scale, width * scale, height * scale, 0, 0, width, height);
        return Array.from(g.getImageData(0, 0, width, height).data);
      }, png.toString("base64"), box);
    },
  };
  return win;
}

// Puppeteer's page as such a window. Strings are function bodies, as
// WebDriver takes them.
function puppeteerWindow(page) {
  const evaluate = (fn, ...args) => page.evaluate(typeof fn === "string" ? new Function(fn) : fn, ...args);
  // Firefox's WebDriver BiDi knows the space bar by its character only.
  const key = (code) => (code === "Space" ? " " : code);
  return windowOf({
    page, evaluate,
    goto: (url) => page.goto(url).then(() => {}),
    down: (code) => page.keyboard.down(key(code)),
    up: (code) => page.keyboard.up(key(code)),
    front: () => page.bringToFront(),
    click: (selector) => page.click(selector),
    tap: (selector) => page.tap(selector),
    reload: () => page.reload().then(() => {}),
    screenshot: async () => Buffer.from(await page.screenshot()),
    close: () => page.close(),
  });
}

// The WebDriver key for a key's place on the keyboard (event.code).
const webdriverKey = (code) => /^Key[A-Z]$/.test(code) ? code.slice(3).toLowerCase()
  : { ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT, ArrowUp: Key.ARROW_UP, ArrowDown: Key.ARROW_DOWN,
      Escape: Key.ESCAPE, Enter: Key.ENTER, Space: Key.SPACE, Home: Key.HOME, End: Key.END, PageUp: Key.PAGE_UP,
      PageDown: Key.PAGE_DOWN, Period: "." }[code];

async function freePort() {
  const s = http.createServer();
  await new Promise((resolve) => s.listen(0, "127.0.0.1", resolve));
  const port = s.address().port;
  await new Promise((resolve) => s.close(resolve));
  return port;
}

async function webkit() {
  const port = await freePort();
  const driver = spawn(process.env.WEBKIT_DRIVER || "/usr/bin/WebKitWebDriver", [`--port=${port}`, "--host=127.0.0.1"],
                       { stdio: "ignore" });
  let ended = false;
  const gone = new Promise((resolve) => { driver.on("exit", resolve); driver.on("error", resolve); }).then(() => { ended = true; });
  const url = `http://127.0.0.1:${port}`;
  await until("WebKitWebDriver", () => ended || fetch(url + "/status").then((r) => r.ok), 30, 100);
  if (ended) throw new Error("WebKitWebDriver did not start (tools/setup.sh --web installs webkit2gtk-driver)");
  const session = await new Builder().usingServer(url).withCapabilities({
    browserName: "MiniBrowser",
    "webkitgtk:browserOptions": {
      binary: process.env.MINIBROWSER || "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser",
      args: ["--automation", "--autoplay-policy=allow"],
    },
  }).build();
  await session.manage().window().setRect({ width: 1024, height: 640 });
  let first = await session.getWindowHandle(), current = first;
  const windowFor = (handle) => {
    const to = async () => {
      if (current !== handle) { await session.switchTo().window(handle); current = handle; }
    };
    const evaluate = async (fn, ...args) => {
      await to();
      return session.executeScript(typeof fn === "string" ? fn : `return (${fn}).apply(null, arguments)`, ...args);
    };
    return windowOf({
      evaluate,
      goto: async (u) => { await to(); await session.get(u); },
      down: async (code) => { await to(); await session.actions().keyDown(webdriverKey(code)).perform(); },
      up: async (code) => { await to(); await session.actions().keyUp(webdriverKey(code)).perform(); },
      front: to,
      click: async (selector) => { await to(); await session.findElement({ css: selector }).click(); },
      reload: async () => { await to(); await session.navigate().refresh(); },
      screenshot: async () => { await to(); return Buffer.from(await session.takeScreenshot(), "base64"); },
      // The last window closed would end the session: it is kept, blank,
      // for the next one.
      close: async () => {
        await to();
        if ((await session.getAllWindowHandles()).length > 1) { await session.close(); current = null; }
        else { await session.get("about:blank"); first = handle; }
      },
    });
  };
  return {
    name: "webkit",
    // Classic WebDriver runs no script before the page's own, and WebKitGTK
    // makes no touch events without a touch screen.
    cannot: { prepare: "classic WebDriver runs no script before the page's own",
              touch: "no touch events without a touch screen" },
    async open(u) {
      let handle = first;
      if (first) first = null;
      else {
        if (!current) await session.switchTo().window((await session.getAllWindowHandles())[0]);
        await session.switchTo().newWindow("window");
        handle = await session.getWindowHandle();
        current = handle;
        await session.manage().window().setRect({ width: 1024, height: 640 });
      }
      const win = windowFor(handle);
      if (u) await win.goto(u);
      return win;
    },
    async close() {
      await session.quit().catch(() => {});
      driver.kill();
      await gone;
    },
  };
}

// A browser of the named engine with a profile of its own, thrown away with it.
export async function drive(name = process.env.BROWSER || "chromium") {
  if (name === "webkit") return webkit();
  const browser = await launch(name);
  return {
    name, browser, cannot: {},
    // `before`: a function run in the page before its own scripts;
    // `viewport`: puppeteer's, a phone's say.
    async open(url, { before, viewport = { width: 1024, height: 640 } } = {}) {
      const page = await browser.newPage();
      await page.setViewport(viewport);
      if (before) await page.evaluateOnNewDocument(before);
      const win = puppeteerWindow(page);
      if (url) await win.goto(url);
      return win;
    },
    close: () => browser.close(),
  };
}

// The desktop's frame number `frame` as the test machine draws it
// (`program` is build/tests/desktop_frame), after the keys given as
// [code, frame down, frame up]: RGBA bytes, as a tab's frame() gives them.
export function desktopFrame(program, frame, keys = []) {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-frame-")), "frame.rgba");
  execFileSync(path.resolve(program), [file, String(frame), ...keys.map(([code, down, up]) => `${code}@${down}-${up}`)],
               { stdio: "ignore" });
  const bytes = fs.readFileSync(file);
  fs.rmSync(path.dirname(file), { recursive: true, force: true });
  return bytes;
}

// How many pixels of two RGBA frames differ in colour.
export function differing(want, got) {
  let differ = 0;
  for (let i = 0; i < want.length; i += 4)
    if (want[i] !== got[i] || want[i + 1] !== got[i + 1] || want[i + 2] !== got[i + 2]) differ++;
  return differ;
}

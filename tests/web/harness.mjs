// What the browser tests share: a plain static server for the built page,
// the machine's own Chromium, a page as the player sees it (its canvas, its
// console lines, its keys) and the tally of checks.
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

let passed = 0, failed = 0;
export function check(ok, what) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
  return ok;
}
export function failures() { return failed; }
export function summary() {
  console.log(`${passed} passed, ${failed} failed`);
  return failed ? 1 : 0;
}

// Any static server will do for the page; this one is plain on purpose.
// `folders` serves more files beside the page's, by the start of their path:
// { "/made/": FOLDER }.
export async function serve(site, folders = {}) {
  const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };
  const server = http.createServer((req, res) => {
    const asked = path.normalize(decodeURIComponent(req.url.split("?")[0])).replace(/^(\.\.[/\\])+/, "");
    const from = Object.keys(folders).find((start) => asked.startsWith(start));
    const name = from ? path.join(folders[from], asked.slice(from.length)) : path.join(site, asked);
    const file = name.endsWith("/") ? path.join(name, "index.html") : name;
    fs.readFile(file, (err, data) => {
      if (err) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
      res.end(data);
    });
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// Chromium with a profile of its own, thrown away with it.
export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "quillmoor-browser-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    userDataDir: profile,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--autoplay-policy=no-user-gesture-required"],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

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
    async waitFor(what, test, seconds = 30) {
      const end = Date.now() + seconds * 1000;
      while (Date.now() < end) {
        try {
          if (await test(await tab.frame())) return true;
        } catch (e) { /* the game is not up yet */ }
        await sleep(100);
      }
      console.log(`(waited ${seconds} s for ${what})`);
      return false;
    },
    // Waits for a console line.
    async line(text, seconds = 30, count = 1) {
      const end = Date.now() + seconds * 1000;
      while (Date.now() < end) {
        if (lines.filter((l) => l === text).length >= count) return true;
        await sleep(50);
      }
      console.log(`(waited ${seconds} s for "${text}")`);
      return false;
    },
    async key(code, ms = 60) {
      await page.keyboard.down(code);
      await sleep(ms);
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
export async function nameWorld(tab, k = 0) {
  await tab.waitFor("the title", titleShown);
  for (const key of ["ArrowRight", "KeyX", "KeyX", ...Array(k).fill("ArrowRight"), "KeyX", "Enter", "Escape"]) {
    await tab.key(key, 80);
    await sleep(250);
  }
  return String.fromCharCode(65 + k);
}

// Back on the title from the world list, the cursor is on Change World:
// Left moves it to Begin, and X begins.
export async function toBegin(tab) {
  await tab.waitFor("the title", titleShown);
  await sleep(200);
  await tab.key("ArrowLeft");
  await sleep(200);
  await tab.key("KeyX");
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

// The saves in the browser's storage, judged by what the player keeps and
// sees: two tabs, a storage that cannot be read, that is full, that fails a
// write, that does not answer, that is cleared under the page, and a tab
// closed in a save.
//
//   node saves_test.mjs BUILD-WEB-FOLDER
//
// Prints "N passed, M failed" and exits non-zero when anything failed.
import { check, failures, launch, leaveArea, nameWorld, noticeWidth, open, serve, stored, summary, titleShown, toBegin, until } from "./harness.mjs";

const site = process.argv[2];
if (!site) {
  console.error("usage: node saves_test.mjs BUILD-WEB-FOLDER");
  process.exit(2);
}
const server = await serve(site);
const origin = server.url.replace(/\/$/, "");

const saved = (tab) => tab.lines.filter((l) => l === "world saved: Defaultia").length;
const worldFiles = (files) => Object.keys(files).filter((k) => k.startsWith("worlds/Defaultia/")).sort();
const keptWhole = (files) => !Object.keys(files).some((k) => k.endsWith(".tmp") || k.endsWith("/commit"));
// "Could not save!" is wider on the screen than any other notice the game shows.
const couldNotSave = (f) => noticeWidth(f) >= 58;

// A new world, made from the title with Begin: saved, its home area running.
async function makeWorld(tab) {
  await tab.waitFor("the title", titleShown);
  await tab.key("KeyX");
  return (await tab.line("world saved: Defaultia")) && (await tab.line("entering encounter type: 3"));
}

// Escape in the home area: out to the overworld, which saves and shows the title.
const leaveToTitle = (tab) => leaveArea(tab);

// Begin on the title with a world stored: loaded, not made anew.
async function beginLoads(tab) {
  await tab.waitFor("the title", titleShown);
  const from = tab.lines.length;
  await tab.key("KeyX");
  await tab.waitFor("the overworld", (f) => !titleShown(f), 30);
  // A world made anew would be saving by now.
  await tab.frames(30);
  return !tab.lines.slice(from).some((l) => l.startsWith("saving world"));
}

// ONLY=words runs just the scenarios whose names hold them.
async function scenario(name, body) {
  if (process.env.ONLY && !name.includes(process.env.ONLY)) return;
  const browser = await launch();
  const tabs = [];
  const tab = (url = server.url, options) => open(browser, url, options).then((t) => (tabs.push(t), t));
  const mark = failures();
  try {
    await body(tab, browser);
  } catch (e) {
    check(false, `${name}: ran to the end (${e.message})`);
  }
  if (failures() > mark)
    for (const t of tabs) console.log(t.lines.slice(-15).map((l) => "  | " + l).join("\n"));
  await browser.close();
}

await scenario("two tabs", async (tab) => {
  const a = await tab();
  check(await makeWorld(a), "two tabs: the first tab makes a world");
  const b = await tab();
  await until("the second tab's notice", async () => (await b.notice()).includes("open in another tab"));
  check((await b.notice()).includes("open in another tab"), "two tabs: the second says the game is open elsewhere");
  check(!(await b.page.evaluate(() => !!(Module.quillmoor && Module.quillmoor.context))),
        "two tabs: the second does not start the game");
  // The first goes on playing and saving: the area, then the world. (A tab
  // in the background gets no frames: it is brought to the front to play.)
  await a.page.bringToFront();
  check(await leaveToTitle(a), "two tabs: the first saves its world");
  const afterA = await stored(a.page);
  // Closing the first lets the second start, on everything the first kept.
  await a.page.close();
  await b.page.bringToFront();
  check(await b.waitFor("the title in the second tab", titleShown), "two tabs: the second starts once the first closes");
  const seen = await b.page.evaluate(() => FS.readdir("/quillmoor/worlds/Defaultia").filter((n) => n[0] !== ".").sort());
  check(JSON.stringify(seen) === JSON.stringify(worldFiles(afterA).map((k) => k.split("/")[2])),
        `two tabs: the second reads all the first kept (${seen.join(" ")})`);
  // The second saves (Begin loads the world, Escape saves it): nothing of
  // the first's is lost or put back to an older state.
  check(await beginLoads(b), "two tabs: Begin in the second loads the first's world");
  const saves = saved(b);
  await b.key("Escape", 9);
  check(await b.line("world saved: Defaultia", 60, saves + 1), "two tabs: the second saves");
  const afterB = await stored(b.page);
  check(Object.keys(afterA).every((k) => k in afterB), "two tabs: no file the first kept is gone");
  // A third tab takes over: the second stops and writes nothing more.
  const c = await tab();
  await c.page.waitForSelector("#notice button", { visible: true, timeout: 60000 });
  await c.page.click("#notice button");
  await c.page.bringToFront();
  check(await c.waitFor("the title in the third tab", titleShown), "two tabs: a tab that takes over starts");
  await until("the second tab's notice", async () => (await b.notice()).includes("This one has stopped"));
  check((await b.notice()).includes("This one has stopped"), "two tabs: the tab taken over says it has stopped");
});

await scenario("first read fails", async (tab) => {
  const a = await tab();
  check(await makeWorld(a), "first read fails: a world is made and kept");
  check(await leaveToTitle(a), "first read fails: and saved");
  const before = await stored(a.page);
  await a.page.close();
  // The storage fails to open at start-up, again and again; once the page
  // has given up reading it, it would open (a busy profile, say).
  const b = await tab(server.url, {
    before: (page) => page.evaluateOnNewDocument(() => {
      const open = IDBFactory.prototype.open;
      const givenUp = () => {
        const n = document.getElementById("notice");
        return n && !n.hidden && n.textContent.startsWith("Saves unavailable");
      };
      IDBFactory.prototype.open = function (name, version) {
        if (name === "quillmoor" && !givenUp()) throw new DOMException("the storage is busy", "UnknownError");
        return open.call(this, name, version);
      };
    }),
  });
  check(await b.waitFor("Could not save! at start", couldNotSave, 20), "first read fails: \"Could not save!\" shows at start");
  check((await b.notice()).startsWith("Saves unavailable"), "first read fails: the page says saves are unavailable");
  // Playing on makes a world in memory; none of it is written.
  await b.waitFor("the title", titleShown);
  await b.key("KeyX");
  await b.line("entering encounter type: 3");
  // Out of the area: the overworld's save runs to its end, and writes nothing.
  await leaveArea(b);
  await b.page.close();
  const c = await tab();
  check(JSON.stringify(await stored(c.page)) === JSON.stringify(before), "first read fails: the stored files are untouched");
  check(await beginLoads(c), "first read fails: a normal reload finds the world");
});

await scenario("storage full", async (tab) => {
  const a = await tab();
  check(await makeWorld(a), "storage full: a world is made and kept");
  check(await leaveToTitle(a), "storage full: and saved");
  const before = await stored(a.page);
  // Every write is refused as a full storage refuses it: the transaction
  // holding it is aborted when it would commit. (The protocol's quota
  // override leaves this browser's quota as it is.)
  await a.page.evaluate(() => {
    const put = IDBObjectStore.prototype.put;
    window.fullStorage = () => { IDBObjectStore.prototype.put = put; };
    IDBObjectStore.prototype.put = function (...args) {
      const request = put.apply(this, args);
      this.transaction.abort();
      return request;
    };
  });
  // A new world's name is chosen: the settings are saved as the list closes.
  await a.page.evaluate(() => { Module.quillmoor.times = []; });
  await nameWorld(a);
  check(await a.waitFor("Could not save!", couldNotSave, 20), "storage full: \"Could not save!\" is on the canvas");
  const frames = await a.page.evaluate(() => Module.quillmoor.times.length);
  check(frames > 30, `storage full: the frames go on (${frames} frames since)`);
  check(await a.waitFor("the title after the failed save", titleShown, 20), "storage full: play goes on to the title");
  // Begin makes the new world; its save fails as well.
  await toBegin(a);
  check(await a.line("entering encounter type: 3"), "storage full: the new world is played, unsaved");
  const after = await stored(a.page);
  check(JSON.stringify(after) === JSON.stringify(before) && keptWhole(after),
        "storage full: the stored files are the last good save, nothing half written");
  await a.page.reload();
  check(await beginLoads(a), "storage full: after a reload the last good save loads");
  check((await a.page.evaluate(() => FS.readdir("/quillmoor/worlds"))).indexOf("A") < 0,
        "storage full: the unsaved world is not there");
});

await scenario("a write throws", async (tab) => {
  const a = await tab();
  check(await makeWorld(a), "a write throws: a world is made and kept");
  check(await leaveToTitle(a), "a write throws: and saved");
  const before = await stored(a.page);
  // The next write into the storage throws, once.
  await a.page.evaluate(() => {
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function () {
      IDBObjectStore.prototype.put = put;
      throw new DOMException("the disk failed", "UnknownError");
    };
  });
  await nameWorld(a);
  check(await a.waitFor("Could not save!", couldNotSave, 20), "a write throws: \"Could not save!\" is on the canvas");
  const mid = await stored(a.page);
  check(JSON.stringify(mid) === JSON.stringify(before), "a write throws: the files stay as they were");
  await toBegin(a);
  check(await a.line("world saved: A"), "a write throws: play goes on, and the next save is kept");
});

await scenario("every write throws", async (tab) => {
  // From the page's first moment, the storage throws at every write: the
  // one that takes the writing turn at start-up fails the saves, not the
  // game, which plays on in sight.
  const a = await tab(server.url, {
    before: (page) => page.evaluateOnNewDocument(() => {
      IDBObjectStore.prototype.put = function () { throw new DOMException("the disk failed", "UnknownError"); };
    }),
  });
  check(await until("the notice", async () => (await a.notice()).startsWith("Saves unavailable"), 30),
        `every write throws: the page says saves are unavailable ("${await a.notice()}")`);
  await a.waitFor("the title", titleShown);
  const shown = await a.page.evaluate(() => document.getElementById("screen").style.visibility !== "hidden" &&
                                            document.getElementById("status").hidden);
  await a.key("KeyX");
  check(shown && await a.line("entering encounter type: 3"), "every write throws: the game is in sight and plays on");
});

await scenario("storage does not answer", async (tab) => {
  // The page's long timers, by id, until they fire or are cleared: a
  // request that has settled must leave none behind.
  const a = await tab(server.url, {
    before: (page) => page.evaluateOnNewDocument(() => {
      const set = window.setTimeout, clear = window.clearTimeout;
      const pending = window.longTimers = new Map();
      window.setTimeout = function (fn, ms, ...rest) {
        const id = set.call(window, (...args) => { pending.delete(id); if (typeof fn === "function") fn(...args); }, ms, ...rest);
        if (ms >= 5000) pending.set(id, ms);
        return id;
      };
      window.clearTimeout = function (id) { pending.delete(id); return clear.call(window, id); };
    }),
  });
  check(await makeWorld(a), "storage does not answer: a world is made and kept");
  check(await leaveToTitle(a), "storage does not answer: and saved");
  const longTimers = () => a.page.evaluate(() => [...window.longTimers.values()]);
  check((await longTimers()).length === 0, `storage does not answer: a save kept leaves no timer (${await longTimers()})`);
  const before = await stored(a.page);
  // Another connection keeps a write open on the files for as long as it
  // likes: the page's next write waits behind it, unanswered.
  await a.page.evaluate(() => new Promise((resolve) => {
    const request = indexedDB.open("quillmoor");
    request.onsuccess = () => {
      const db = request.result;
      const files = db.transaction("files", "readwrite").objectStore("files");
      window.hogging = true;
      const spin = () => { if (window.hogging) files.get("none").onsuccess = spin; else db.close(); };
      spin();
      resolve();
    };
  }));
  await nameWorld(a);
  check(await a.waitFor("Could not save!", couldNotSave, 30), "storage does not answer: \"Could not save!\" once the time is up");
  await a.page.evaluate(() => { window.hogging = false; });
  check(await a.waitFor("the title after the failed save", titleShown, 20), "storage does not answer: play goes on to the title");
  check(JSON.stringify(await stored(a.page)) === JSON.stringify(before),
        "storage does not answer: the write given up never lands later");
  await toBegin(a);
  check(await a.line("world saved: A"), "storage does not answer: once it answers, the next save is kept");
  check((await longTimers()).length === 0, `storage does not answer: and no timer is left behind (${await longTimers()})`);
});

await scenario("site data cleared", async (tab) => {
  const a = await tab();
  check(await makeWorld(a), "site data cleared: a world is made and kept");
  const cdp = await a.page.target().createCDPSession();
  await cdp.send("Storage.clearDataForOrigin", { origin, storageTypes: "indexeddb" });
  check(Object.keys(await stored(a.page)).length === 0, "site data cleared: the storage is empty");
  check(await leaveToTitle(a), "site data cleared: the next save is kept");
  const after = await stored(a.page);
  check(["settings.ini", "worlds/Defaultia/overworld", "worlds/Defaultia/player"].every((k) => k in after) &&
        worldFiles(after).some((k) => k.includes(",")),
        `site data cleared: everything the tab holds is kept again (${Object.keys(after).sort().join(" ")})`);
  await a.page.reload();
  check(await beginLoads(a), "site data cleared: a reload finds the world");
});

await scenario("tab closed in a save", async (tab) => {
  // New worlds are begun and the tab is closed a little later each time,
  // while the world is made and saved: the map and the player are stored
  // both or neither, and nothing half-done is left.
  const first = await tab();
  await first.waitFor("the title", titleShown);
  await first.page.close();
  // Closed at once nothing is stored yet, and once the game says the world
  // is saved it is stored whole: a test in which no close ever met a save in
  // progress would prove nothing, so both outcomes must be seen. Between
  // them, the tab is closed as the game takes the press, as the save
  // begins, and as the storage is handed the world's files.
  const moments = [
    ["at once", async () => {}],
    ["as the game takes the press", (a) => a.frames(1)],
    ["a few frames after the press", (a) => a.frames(4)],
    ["as the save begins", (a, name) => a.line(`saving world: ${name}`)],
    ["as the storage is handed the world", (a) => a.page.waitForFunction(() => window.handed > 0, { timeout: 60000, polling: "raf" })],
    ["once the world is saved", (a, name) => a.line(`world saved: ${name}`)],
  ];
  const outcomes = new Set();
  for (const [k, [when, moment]] of moments.entries()) {
    const a = await tab();
    const name = await nameWorld(a, k);
    await a.waitFor("the title", titleShown);
    await a.key("ArrowLeft");
    await a.frames(12);
    await a.page.evaluate(() => {
      window.handed = 0;
      const put = IDBObjectStore.prototype.put;
      IDBObjectStore.prototype.put = function (...args) { window.handed++; return put.apply(this, args); };
    });
    await a.page.keyboard.down("KeyX");
    await moment(a, name).catch(() => {});
    await a.page.close({ runBeforeUnload: false });
    const b = await tab();
    await b.waitFor("the title", titleShown);
    const after = await stored(b.page);
    const map = `worlds/${name}/overworld` in after, player = `worlds/${name}/player` in after;
    outcomes.add(map && player);
    check(keptWhole(after) && map === player,
          `Begin, the tab closed ${when}: ${map ? "the new world whole" : "no world, as before"}` +
          (map === player ? "" : ` (map ${map}, player ${player})`));
    await b.page.close();
  }
  check(outcomes.has(true) && outcomes.has(false), "tab closed in a save: both outcomes were seen, no world and the world whole");
});

server.close();
process.exit(summary());

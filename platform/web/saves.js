// The player's files (settings.ini and the worlds) kept in the browser's own
// storage, with the desktop's guarantees. This file keeps the storage and
// the one-tab writing lock; it says nothing to the player itself, but
// reports its state (Module.saves.watch), which the page shows (notice.js).
//
// - The game works on a folder in memory (/quillmoor) exactly as on a disk.
//   Before it starts, every stored file is read into that folder. When the
//   files cannot be read, nothing is ever written over them: the game plays
//   on without saving, in the state "unavailable".
// - One tab writes. The tab that holds the saves' lock keeps them; a second
//   tab is "waiting" until the first closes, or takes over when the player
//   asks (takeOver), after which it reads everything afresh. Each writer
//   also takes a new turn number in the storage, and every write checks it
//   in the same transaction, so a tab that lost its turn ("elsewhere") can
//   never write again.
// - A save reaches the storage as one transaction of exactly the files it
//   wrote (a world's map and player together), and only those whose bytes
//   differ from what is stored. A save never deletes anything; a restore
//   (restoreFiles) replaces the whole store with the backup's files.
// - Every request has its failure paths and one time limit. The game waits
//   for the answer, so "world saved" means stored and a failed write shows
//   "Could not save!" as on the desktop, while the page keeps drawing.
// - What fails is thrown with a `kind` the page puts in the player's words:
//   "unavailable", "elsewhere", "full", "timeout" or "failed".
//
// Bundled by esbuild and put ahead of the game's code (web.cmake), where
// Emscripten's file system (FS) and the run's dependencies are at hand.
import { Module } from "./contract.js";

Module.saves = (function () {
  const ROOT = "/quillmoor";
  const DB = "quillmoor";
  const FILES = "files";
  const META = "meta";
  const LOCK = "quillmoor-saves";
  const TAKEOVER = "quillmoor-takeover";
  // How long any one request may take before it is given up as failed.
  const LIMIT = 10000;

  // "starting", then "writer", "waiting" (for another tab), "elsewhere" or
  // "unavailable" (with a reason: "no-storage" or "unreadable").
  let current = Object.freeze({ mode: "starting" });
  const watchers = [];
  let db = null;
  let turn = 0;
  const stored = new Map();  // path -> bytes, as the storage holds them
  let askedToPersist = false;
  let queue = Promise.resolve();
  const jobs = new Map();
  let jobcount = 0;
  let readyResolve;
  const ready = new Promise((resolve) => { readyResolve = resolve; });

  const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

  function report(mode, reason) {
    current = Object.freeze(reason ? { mode, reason } : { mode });
    for (const watcher of watchers) {
      try { watcher(current); } catch (err) { console.error(err); }
    }
  }

  // An error the page can tell the player about: what was being done, why,
  // and its kind. A full storage says so in its error's name.
  function failure(what, err, kind) {
    const why = err && err.message ? err.message : err ? String(err) : "";
    if (!kind) kind = err && err.kind ? err.kind : err && err.name === "QuotaExceededError" ? "full" : "failed";
    return Object.assign(new Error(what + (why ? ": " + why : "")), { kind });
  }

  // A request or transaction, settled once: by its answer, by its error, or
  // by the time limit, whose one timer is cleared as soon as it is settled.
  // At the time limit `giveUp` runs first: a transaction is aborted, so a
  // write reported failed never lands later.
  function settle(what, start, giveUp) {
    return new Promise((resolve, reject) => {
      let over = false;
      const timer = setTimeout(() => {
        if (giveUp) try { giveUp(); } catch (err) { /* finished already */ }
        finish(false, failure(what, "the browser's storage did not answer", "timeout"));
      }, LIMIT);
      function finish(ok, value) {
        if (over) return;
        over = true;
        clearTimeout(timer);
        if (ok) resolve(value); else reject(value);
      }
      try {
        start((value) => finish(true, value), (err) => finish(false, failure(what, err)));
      } catch (err) {
        finish(false, failure(what, err));
      }
    });
  }

  function openDb() {
    if (db) return Promise.resolve(db);
    return settle("the browser's storage could not be opened", (done, fail) => {
      const request = indexedDB.open(DB, 1);
      request.onupgradeneeded = () => {
        const made = request.result;
        if (!made.objectStoreNames.contains(FILES)) made.createObjectStore(FILES);
        if (!made.objectStoreNames.contains(META)) made.createObjectStore(META);
      };
      request.onsuccess = () => {
        const opened = request.result;
        // Closed under the page (its data cleared, say): the next save opens it again.
        opened.onclose = () => { if (db === opened) db = null; };
        opened.onversionchange = () => { opened.close(); if (db === opened) db = null; };
        db = opened;
        done(opened);
      };
      request.onerror = () => fail(request.error);
      request.onblocked = () => fail("another page holds the storage open");
    });
  }

  function forget() {
    if (db) try { db.close(); } catch (err) { /* already closed */ }
    db = null;
  }

  // A transaction over both stores, settled by its completion, its abort
  // (whose reason wins over the browser's), or the time limit.
  function transact(mode, what, body) {
    let tx = null;
    return settle(what, (done, fail) => {
      tx = db.transaction([FILES, META], mode);
      const state = { reason: null, value: undefined };
      tx.oncomplete = () => done(state.value);
      tx.onabort = () => fail(state.reason || tx.error || "the write was abandoned");
      state.abort = (reason) => {
        state.reason = reason;
        try { tx.abort(); } catch (err) { /* finished already */ }
      };
      body(tx.objectStore(FILES), tx.objectStore(META), state);
    }, () => { if (tx) tx.abort(); });
  }

  // The turn check every write makes, in its own transaction: the stored
  // turn must still be this tab's, or another tab has taken over and the
  // transaction is aborted. `then` gets the stored turn, undefined when the
  // storage was emptied under the page.
  function ourTurn(meta, state, then) {
    meta.get("turn").onsuccess = (e) => {
      const now = e.target.result;
      if (now !== undefined && now !== turn) {
        state.abort(failure("another tab keeps the saves now", null, "elsewhere"));
        return;
      }
      try {
        then(now);
      } catch (err) {
        state.abort(failure("the saves could not be written", err));
      }
    };
  }

  function place(path, bytes) {
    const folders = path.split("/").slice(0, -1);
    let at = ROOT;
    for (const folder of folders) {
      at += "/" + folder;
      try { FS.mkdir(at); } catch (err) { /* there already */ }
    }
    FS.writeFile(ROOT + "/" + path, bytes);
  }

  // Takes a new writing turn and reads every stored file, in one
  // transaction: whatever the tab before wrote is in it.
  async function readAll() {
    await openDb();
    const found = await transact("readwrite", "the saved worlds could not be read", (files, meta, state) => {
      const got = { keys: null, values: null, turn: 0 };
      meta.get("turn").onsuccess = (e) => {
        got.turn = (e.target.result || 0) + 1;
        // A write that throws fails this read as any failure of it does,
        // not the page (whose uncaught errors stop the game's display).
        try {
          meta.put(got.turn, "turn");
        } catch (err) {
          state.abort(failure("the saved worlds could not be read", err));
        }
      };
      files.getAllKeys().onsuccess = (e) => { got.keys = e.target.result; };
      files.getAll().onsuccess = (e) => { got.values = e.target.result; };
      state.value = got;
    });
    turn = found.turn;
    stored.clear();
    for (let i = 0; i < found.keys.length; ++i) {
      const bytes = new Uint8Array(found.values[i]);
      stored.set(found.keys[i], bytes);
      place(found.keys[i], bytes);
    }
  }

  function unavailable(reason, why) {
    console.error("saves unavailable: " + why);
    report("unavailable", reason);
  }

  // Another tab took over: this one stops where it is and writes nothing more.
  function lostTurn() {
    if (current.mode === "elsewhere") return;
    Module.halted = true;
    report("elsewhere");
  }

  // Resolves once this tab may write: at once when no other holds the
  // lock, after a takeover asked for by the player, or once the other tab
  // closes.
  function becomeWriter() {
    if (!navigator.locks) return Promise.resolve();
    let takeover = false;
    try {
      takeover = sessionStorage.getItem(TAKEOVER) === "1";
      sessionStorage.removeItem(TAKEOVER);
    } catch (err) { /* no session storage: no takeover */ }
    return new Promise((granted) => {
      const hold = () => { granted(); return new Promise(() => {}); };  // held while the page lives
      if (takeover) {
        navigator.locks.request(LOCK, { steal: true }, hold).catch(lostTurn);
        return;
      }
      navigator.locks.request(LOCK, { ifAvailable: true }, (lock) => {
        if (lock) return hold();
        report("waiting");
        navigator.locks.request(LOCK, () => {
          report("starting");
          return hold();
        }).catch(lostTurn);
        return undefined;
      }).catch(lostTurn);
    });
  }

  async function begin() {
    if (!window.indexedDB) {
      unavailable("no-storage", "this browser keeps no storage for the page");
      return;
    }
    await becomeWriter();
    for (let attempt = 1; ; ++attempt) {
      try {
        await readAll();
        report("writer");
        return;
      } catch (err) {
        console.error("the saved worlds could not be read (try " + attempt + "): " + err.message);
        forget();
        if (attempt === 3) break;
        await sleep(250 * attempt);
      }
    }
    // Whatever was half read is dropped: the game starts on nothing rather
    // than on part of the player's files.
    for (const name of FS.readdir(ROOT)) if (name !== "." && name !== "..") removeTree(ROOT + "/" + name);
    stored.clear();
    unavailable("unreadable", "the saved worlds could not be read");
  }

  function removeTree(path) {
    if (FS.isDir(FS.stat(path).mode)) {
      for (const name of FS.readdir(path)) if (name !== "." && name !== "..") removeTree(path + "/" + name);
      FS.rmdir(path);
    } else {
      FS.unlink(path);
    }
  }

  const afterFrame = () => new Promise((resolve) => {
    if (document.hidden) resolve();
    else requestAnimationFrame(() => setTimeout(resolve, 0));
  });

  const same = (a, b) => {
    if (!a || !b || a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  };

  // One transaction: the turn is checked, then the files are put. A turn
  // that is gone means the storage was emptied under the page (its site
  // data cleared): everything this tab holds is put back with the new files.
  function write(files) {
    return transact("readwrite", "the saves could not be written", (store, meta, state) => {
      ourTurn(meta, state, (now) => {
        if (now === undefined) {
          console.error("the stored saves were cleared under the page; putting back what it holds");
          meta.put(turn, "turn");
          stored.forEach((bytes, path) => { if (!files.has(path)) store.put(bytes, path); });
        }
        files.forEach((bytes, path) => store.put(bytes, path));
      });
    });
  }

  async function keep(paths) {
    if (current.mode !== "writer") return false;
    const files = new Map();
    for (const path of paths) {
      const key = path.startsWith(ROOT + "/") ? path.slice(ROOT.length + 1) : path.replace(/^\.\//, "");
      let bytes;
      try { bytes = FS.readFile(ROOT + "/" + key); } catch (err) { return false; }
      if (!same(stored.get(key), bytes)) files.set(key, bytes);
    }
    // Nothing new, and the storage still open as it was: nothing to do. A
    // storage closed under the page is looked at even so, in case it was
    // emptied.
    if (files.size === 0 && db) return true;
    // Handing a map to the storage takes the page some milliseconds: it is
    // done just after a frame, so the next one is not late for it.
    await afterFrame();
    // A database closed under the page is opened again once.
    for (let attempt = 1; attempt <= 2; ++attempt) {
      try {
        await openDb();
        await write(files);
        files.forEach((bytes, path) => stored.set(path, bytes));
        if (!askedToPersist && navigator.storage && navigator.storage.persist) {
          askedToPersist = true;
          navigator.storage.persist().catch(() => {});
        }
        return true;
      } catch (err) {
        if (err.kind === "elsewhere") {
          lostTurn();
          return false;
        }
        console.error("could not keep the saves: " + err.message);
        const closed = !db;
        forget();
        if (!closed || attempt === 2) return false;
      }
    }
    return false;
  }

  return {
    ready,
    get state() { return current; },
    // `watcher(state)` is called now and at every change of state.
    watch(watcher) {
      watchers.push(watcher);
      watcher(current);
    },
    // The player's "Play here instead": the page starts again and takes the
    // lock from the tab that holds it.
    takeOver() {
      try { sessionStorage.setItem(TAKEOVER, "1"); } catch (err) { /* a plain reload then */ }
      location.reload();
    },
    // Called by the game after each save (library_web.js): the files it
    // wrote, a line each. Saves are kept one after the other.
    keepStart(list) {
      const id = ++jobcount;
      jobs.set(id, -1);
      queue = queue.then(() => keep(list.split("\n").filter((p) => p))).catch(() => false)
        .then((ok) => { jobs.set(id, ok ? 1 : 0); });
      return id;
    },
    keepResult(id) {
      const r = jobs.has(id) ? jobs.get(id) : 0;
      if (r >= 0) jobs.delete(id);
      return r;
    },
    // Everything stored, for the player's backup.
    // A tab waiting for another to close may read them too: reading
    // changes nothing.
    async exportFiles() {
      if (current.mode === "starting") await ready;
      if (current.mode === "unavailable") throw failure("the saves could not be read", null, "unavailable");
      await openDb();
      const got = await transact("readonly", "the saves could not be read", (files, meta, state) => {
        const found = { keys: [], values: [] };
        files.getAllKeys().onsuccess = (e) => { found.keys = e.target.result; };
        files.getAll().onsuccess = (e) => { found.values = e.target.result; };
        state.value = found;
      });
      return got.keys.map((path, i) => ({ path, data: new Uint8Array(got.values[i]) }));
    },
    // What is stored is replaced by the given files, in one transaction:
    // every stored file not among them is deleted. The page is reloaded
    // after, so the game reads them.
    async restoreFiles(list) {
      if (current.mode === "starting") await ready;
      if (current.mode === "unavailable") throw failure("the saves cannot be written", null, "unavailable");
      if (current.mode !== "writer") throw failure("another tab keeps the saves now", null, "elsewhere");
      await openDb();
      try {
        await transact("readwrite", "the backup could not be stored", (files, meta, state) => {
          ourTurn(meta, state, () => {
            meta.put(turn, "turn");
            files.clear();
            for (const f of list) files.put(f.data, f.path);
          });
        });
      } catch (err) {
        if (err.kind === "elsewhere") lostTurn();
        throw err;
      }
    },
    start() {
      FS.mkdir(ROOT);
      FS.chdir(ROOT);
      addRunDependency("saves");
      begin().catch((err) => unavailable("unreadable", err.message)).finally(() => {
        readyResolve();
        removeRunDependency("saves");
      });
    },
  };
})();

Module.preRun = Module.preRun || [];
// A replay checked or watched by the page (page.js, #verify= and #watch)
// brings every file it reads: the player's saves are neither read nor
// locked for it.
Module.preRun.push(function () { if (!Module.verifying && !Module.watching) Module.saves.start(); });

// The player's files (settings.ini and the worlds) kept in the browser's own
// storage, with the desktop's guarantees:
//
// - The game works on a folder in memory (/quillmoor) exactly as on a disk.
//   Before it starts, every stored file is read into that folder. When the
//   files cannot be read, nothing is ever written over them: the game plays
//   on without saving and the page says so.
// - One tab writes. The tab that holds the saves' lock keeps them; a second
//   tab waits, says the game is open elsewhere, and may take over, after
//   which it reads everything afresh. Each writer also takes a new turn
//   number in the storage, and every write checks it in the same
//   transaction, so a tab that lost its turn can never write again.
// - A save reaches the storage as one transaction of exactly the files it
//   wrote (a world's map and player together), and only those whose bytes
//   differ from what is stored. Nothing is ever deleted.
// - Every request has its failure paths and a time limit. The game waits
//   for the answer, so "world saved" means stored and a failed write shows
//   "Could not save!" as on the desktop, while the page keeps drawing.
Module.saves = (function () {
  const ROOT = "/quillmoor";
  const DB = "quillmoor";
  const FILES = "files";
  const META = "meta";
  const LOCK = "quillmoor-saves";
  const TAKEOVER = "quillmoor-takeover";
  // The storage of the page's first version, read once into the new one.
  const OLDDB = "/quillmoor";
  const OLDSTORE = "FILE_DATA";
  // How long any one request may take before it is given up as failed.
  const LIMIT = 10000;

  let mode = "starting";  // then "writer", "waiting" (for another tab), "elsewhere" or "unavailable"
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
  const failure = (what, err) => new Error(what + (err && err.message ? ": " + err.message : err ? ": " + err : ""));

  // A request or transaction, settled once: by its answer, by its error, or
  // by the time limit.
  function settle(start, what) {
    return new Promise((resolve, reject) => {
      let over = false;
      const timer = setTimeout(() => finish(false, failure(what, "the browser's storage did not answer")), LIMIT);
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
    return settle((done, fail) => {
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
    }, "the browser's storage could not be opened");
  }

  function forget() {
    if (db) try { db.close(); } catch (err) { /* already closed */ }
    db = null;
  }

  // A transaction over both stores, settled by its completion, its abort
  // (whose reason wins over the browser's), or the time limit; on the time
  // limit it is aborted, so a write reported failed never lands later.
  function transact(mode, what, body) {
    return settle((done, fail) => {
      const tx = db.transaction([FILES, META], mode);
      const state = { reason: null, value: undefined };
      tx.oncomplete = () => done(state.value);
      tx.onabort = () => fail(state.reason || tx.error || "the write was abandoned");
      state.abort = (reason) => {
        state.reason = reason;
        try { tx.abort(); } catch (err) { /* finished already */ }
      };
      setTimeout(() => state.abort(failure(what, "the browser's storage did not answer")), LIMIT - 100);
      body(tx.objectStore(FILES), tx.objectStore(META), state);
    }, what);
  }

  // The files of the page's first version, which kept the folder as a
  // whole; its half-done saves (temporaries, commit records) stay behind.
  function readOldFiles() {
    return new Promise((resolve) => {
      let request;
      try { request = indexedDB.open(OLDDB); } catch (err) { resolve([]); return; }
      request.onupgradeneeded = () => request.transaction.abort();  // there was none: make none
      request.onerror = () => resolve([]);
      request.onsuccess = () => {
        const old = request.result;
        const files = [];
        try {
          const cursor = old.transaction(OLDSTORE, "readonly").objectStore(OLDSTORE).openCursor();
          cursor.onsuccess = () => {
            const c = cursor.result;
            if (!c) { old.close(); resolve(files); return; }
            const v = c.value || {};
            const path = String(c.key).startsWith(ROOT + "/") ? String(c.key).slice(ROOT.length + 1) : null;
            if (path && v.contents && (v.mode & 0o170000) === 0o100000 && !/(^|\/)(commit|[^/]*\.tmp)$/.test(path))
              files.push([path, new Uint8Array(v.contents)]);
            c.continue();
          };
          cursor.onerror = () => { old.close(); resolve([]); };
        } catch (err) {
          old.close();
          resolve([]);
        }
      };
      setTimeout(() => resolve([]), LIMIT);
    });
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
        meta.put(got.turn, "turn");
      };
      files.getAllKeys().onsuccess = (e) => { got.keys = e.target.result; };
      files.getAll().onsuccess = (e) => { got.values = e.target.result; };
      state.value = got;
    });
    if (found.turn === 1 && found.keys.length === 0) {
      const old = await readOldFiles();
      if (old.length) {
        await transact("readwrite", "the first version's saves could not be kept", (files) => {
          for (const entry of old) files.put(entry[1], entry[0]);
        });
        for (const entry of old) { found.keys.push(entry[0]); found.values.push(entry[1]); }
      }
    }
    turn = found.turn;
    stored.clear();
    for (let i = 0; i < found.keys.length; ++i) {
      const bytes = new Uint8Array(found.values[i]);
      stored.set(found.keys[i], bytes);
      place(found.keys[i], bytes);
    }
  }

  // The page's words to the player, beside the game: see index.html.
  function say(text, offer) {
    const notice = document.getElementById("notice");
    if (!notice) return;
    notice.textContent = text;
    if (offer) {
      const button = document.createElement("button");
      button.textContent = offer;
      button.addEventListener("click", () => {
        try { sessionStorage.setItem(TAKEOVER, "1"); } catch (err) { /* a plain reload then */ }
        location.reload();
      });
      notice.appendChild(document.createElement("br"));
      notice.appendChild(button);
    }
    notice.hidden = false;
  }

  function unavailable(why) {
    mode = "unavailable";
    console.error("saves unavailable: " + why);
    say("Saves unavailable: " + why + ". You can play, but nothing will be kept.");
  }

  // Another tab took over: this one stops where it is and writes nothing more.
  function lostTurn() {
    if (mode === "elsewhere") return;
    mode = "elsewhere";
    Module.halted = true;
    say("Quillmoor was opened in another tab, which keeps the saves now. This one has stopped.", "Play here instead");
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
        mode = "waiting";
        say("Quillmoor is open in another tab, which keeps the saves. It starts here when that tab is closed.",
            "Play here instead");
        navigator.locks.request(LOCK, () => {
          const notice = document.getElementById("notice");
          if (notice) notice.hidden = true;
          return hold();
        }).catch(lostTurn);
        return undefined;
      }).catch(lostTurn);
    });
  }

  async function begin() {
    if (!window.indexedDB) {
      unavailable("this browser keeps no storage for the page");
      return;
    }
    await becomeWriter();
    for (let attempt = 1; ; ++attempt) {
      try {
        await readAll();
        mode = "writer";
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
    unavailable("the saved worlds could not be read");
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
      meta.get("turn").onsuccess = (e) => {
        const now = e.target.result;
        if (now !== undefined && now !== turn) {
          state.abort(Object.assign(new Error("another tab keeps the saves now"), { lost: true }));
          return;
        }
        try {
          if (now === undefined) {
            console.error("the stored saves were cleared under the page; putting back what it holds");
            meta.put(turn, "turn");
            stored.forEach((bytes, path) => { if (!files.has(path)) store.put(bytes, path); });
          }
          files.forEach((bytes, path) => store.put(bytes, path));
        } catch (err) {
          state.abort(failure("the saves could not be written", err));
        }
      };
    });
  }

  async function keep(paths) {
    if (mode !== "writer") return false;
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
        if (err.lost) {
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
    // Called by the game after each save (backend_web.cpp): the files it
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
      if (mode === "starting") await ready;
      if (mode === "unavailable") throw new Error("The saves could not be read in this browser.");
      await openDb();
      const got = await transact("readonly", "the saves could not be read", (files, meta, state) => {
        const found = { keys: [], values: [] };
        files.getAllKeys().onsuccess = (e) => { found.keys = e.target.result; };
        files.getAll().onsuccess = (e) => { found.values = e.target.result; };
        state.value = found;
      });
      return got.keys.map((path, i) => ({ path, data: new Uint8Array(got.values[i]) }));
    },
    // What is stored becomes the given files, in one transaction; the page
    // is reloaded after, so the game reads them.
    async restoreFiles(list) {
      if (mode === "starting") await ready;
      if (mode !== "writer") throw new Error(mode === "unavailable" ? "The saves cannot be written in this browser."
                                                                  : "Another tab keeps the saves now.");
      await openDb();
      await transact("readwrite", "the backup could not be stored", (files, meta, state) => {
        meta.get("turn").onsuccess = (e) => {
          if (e.target.result !== undefined && e.target.result !== turn) {
            state.abort(Object.assign(new Error("Another tab keeps the saves now."), { lost: true }));
            return;
          }
          meta.put(turn, "turn");
          files.clear();
          for (const f of list) files.put(f.data, f.path);
        };
      });
    },
    start() {
      FS.mkdir(ROOT);
      FS.chdir(ROOT);
      addRunDependency("saves");
      begin().catch((err) => unavailable(err.message)).finally(() => {
        readyResolve();
        removeRunDependency("saves");
      });
    },
  };
})();

Module.preRun = Module.preRun || [];
// A replay checked by the page (index.html, #verify=) brings every file it
// reads: the player's saves are neither read nor locked for it.
Module.preRun.push(function () { if (!Module.verifying) Module.saves.start(); });

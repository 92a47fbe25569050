// The game's own JavaScript: what the page's backend (platform/web/*.cpp,
// which declares each function in web.h) asks of the browser, by job as
// the backend is: the window and its frames, the keys, the sounds, the
// saves, the replay's zlib, "Save replay" and the end. Emscripten links it
// into quillmoor.js (--js-library, web.cmake), copying each function's
// text: it imports nothing, so the properties of Module it sets and reads
// are contract.js's by name, and tests/web/contract_test.mjs holds it to
// them.
mergeInto(LibraryManager.library, {
  // The game's side of the page (Module.quillmoor), made when first wanted:
  // the keys it takes (KeyboardEvent.code to the game's key code), its key
  // events waiting for PumpEvents, its sounds, the canvas's context and the
  // picture over the frame's bytes, and how long its last frames took.
  $gameSide: function() {
    if (!Module.quillmoor) {
      Module.quillmoor = { keys: new Map(), events: [], sounds: [], context: null, image: null, memory: null,
                           times: [], startingOver: null };
    }
    return Module.quillmoor;
  },

  // ---------------------------------------------------------------- the window and its frames

  WebOpenCanvas__deps: ["$gameSide"],
  WebOpenCanvas: function() {
    const canvas = Module.canvas || document.getElementById("screen");
    gameSide().context = canvas.getContext("2d");
  },

  WebTitle: function(title) {
    document.title = UTF8ToString(title);
  },

  // The picture over the frame's bytes is made once, and again only should
  // the game's memory grow and move.
  WebPresent__deps: ["$gameSide"],
  WebPresent: function(bytes, width, height) {
    const q = gameSide();
    if (!q.image || q.memory !== HEAPU8.buffer) {
      q.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, bytes, width * height * 4), width, height);
      q.memory = HEAPU8.buffer;
    }
    q.context.putImageData(q.image, 0, 0);
  },

  // Waits for the browser's next frame, as the desktop waits for the
  // display: the game's loop is unwound and carries on from here then
  // (ASYNCIFY_IMPORTS names it, web.cmake). A page that another tab has
  // taken over stays where it is. Should the game start over while it
  // carries on (WebStartOver), it is run again from its start here.
  WebNextFrame__deps: ["$Asyncify", "$gameSide"],
  WebNextFrame: function() {
    return Asyncify.handleSleep((wakeUp) => {
      requestAnimationFrame(() => {
        if (Module.halted) return;
        try {
          wakeUp();
        } catch (err) {
          const q = gameSide();
          if (!q.startingOver || err !== q.startingOver.signal) throw err;
          // Every frame of the game's loops is gone: the stack is the
          // program's again from its base, and the game starts anew.
          stackRestore(q.startingOver.base);
          q.startingOver = null;
          Module._quillmoor_start_over();
        }
      });
    });
  },

  // Leaves the game's loops where they are, frame by frame, back to the
  // page (WebNextFrame), which runs the game again from its start. A C++
  // exception would do it on the desktop; the page's build has none.
  WebStartOver__deps: ["$gameSide"],
  WebStartOver: function(base) {
    const signal = new Error("the game starts over");
    gameSide().startingOver = { signal: signal, base: base };
    throw signal;
  },

  WebFlipped: function(count) {
    Module.flips = count;
  },

  // The last few thousand, for measuring (bench/web_frames.mjs).
  WebFrameTime__deps: ["$gameSide"],
  WebFrameTime: function(ms) {
    const times = gameSide().times;
    times.push(ms);
    if (times.length > 4000) times.shift();
  },

  // ---------------------------------------------------------------- the keys

  WebTakeKey__deps: ["$gameSide"],
  WebTakeKey: function(code, key) {
    gameSide().keys.set(UTF8ToString(code), key);
  },

  // Only the game's own keys: the rest (Tab, Backspace, F5, ...) are the
  // browser's, as is every key pressed with Ctrl, Alt or Meta, so its
  // shortcuts (reload, print, back) work and never reach the game. An event
  // is queued as one number: the key let go, the key pressed plus 256, or
  // 512 for the keyboard lost.
  WebListenForKeys__deps: ["$gameSide"],
  WebListenForKeys: function() {
    const q = gameSide();
    const key = (code) => (q.keys.has(code) ? q.keys.get(code) : -1);
    window.addEventListener("keydown", (e) => {
      const k = key(e.code);
      if (k < 0 || e.ctrlKey || e.altKey || e.metaKey) return;
      // The game's keys are the game's: no scrolling by arrows or Space.
      e.preventDefault();
      q.events.push(256 + k);
    });
    // A game key let go is always the game's to hear, even with Ctrl held.
    window.addEventListener("keyup", (e) => {
      const k = key(e.code);
      if (k < 0) return;
      if (!(e.ctrlKey || e.altKey || e.metaKey)) e.preventDefault();
      q.events.push(k);
    });
    // A key let go while the page is not looked at is never reported.
    window.addEventListener("blur", () => q.events.push(512));
    document.addEventListener("visibilitychange", () => { if (document.hidden) q.events.push(512); });
  },

  WebNextEvent__deps: ["$gameSide"],
  WebNextEvent: function() {
    const events = gameSide().events;
    return events.length ? events.shift() : -1;
  },

  // ---------------------------------------------------------------- the sounds

  WebLoadSound__deps: ["$gameSide"],
  WebLoadSound: function(name, samples, count, rate) {
    const data = new Float32Array(count);
    for (let i = 0; i < count; ++i) data[i] = HEAP16[(samples >> 1) + i] / 32768;
    const sounds = gameSide().sounds;
    sounds.push({ name: UTF8ToString(name), data: data, rate: rate, buffer: null });
    return sounds.length;
  },

  // Into the page's output (Module.sound, sound.js), only while it runs and
  // the sound switch is on.
  WebPlaySound__deps: ["$gameSide"],
  WebPlaySound: function(id) {
    const s = gameSide().sounds[id - 1];
    const out = Module.sound;
    if (!s || !out || !out.on || !out.output || out.context.state !== "running") return;
    if (!s.buffer) {
      s.buffer = out.context.createBuffer(1, s.data.length, s.rate);
      s.buffer.copyToChannel(s.data, 0);
    }
    const source = out.context.createBufferSource();
    source.buffer = s.buffer;
    source.connect(out.output);
    source.start();
    out.started++;
  },

  // ---------------------------------------------------------------- the saves (Module.saves, saves.js)

  WebKeepStart: function(paths) {
    return Module.saves.keepStart(UTF8ToString(paths));
  },

  WebKeepResult: function(job) {
    return Module.saves.keepResult(job);
  },

  // ---------------------------------------------------------------- the replay's zlib (Module.codec, codec.js)

  WebDeflate: function(data, size, out, room) {
    try {
      const packed = Module.codec.deflate(HEAPU8.subarray(data, data + size));
      if (packed.length > room) return -1;
      HEAPU8.set(packed, out);
      return packed.length;
    } catch (err) {
      return -1;
    }
  },

  WebInflate: function(data, size, out, rawsize) {
    try {
      return Module.codec.inflate(HEAPU8.subarray(data, data + size), HEAPU8.subarray(out, out + rawsize)) ? 1 : 0;
    } catch (err) {
      return 0;
    }
  },

  // ---------------------------------------------------------------- "Save replay"

  // What the page's "Save replay" (replay.js) asks the game through
  // (Module.replay): where the replay is, a checkpoint now, and how far the
  // game has stepped since (the game's exports, shell/web/page_replay.cpp),
  // and the file itself.
  WebOfferReplay__deps: ["$FS"],
  WebOfferReplay: function() {
    Module.replay = {
      path: () => UTF8ToString(Module._quillmoor_replay_path()),
      checkpoint: () => Module._quillmoor_replay_checkpoint(),
      steps: () => Module._quillmoor_replay_steps(),
      read: (path) => FS.readFile(path),
    };
    // The replay viewer's (watch.js): what its bar says, and going to a
    // step (at the game's next frame).
    Module.watch = {
      state: () => ({
        step: Module._quillmoor_watch_step(),
        total: Module._quillmoor_watch_total(),
        quarters: Module._quillmoor_watch_speed(),
        paused: Module._quillmoor_watch_paused() === 1,
        end: ["no", "ended", "early"][Module._quillmoor_watch_end()] || "no",
      }),
      seek: (step) => Module._quillmoor_watch_seek(step),
      digest: () => UTF8ToString(Module._quillmoor_watch_digest()),
    };
  },

  // ---------------------------------------------------------------- a long check

  // How far a replay checked with no window (#verify=) has got, for the page
  // to show (page.js).
  WebChecking: function(done, total) {
    if (Module.checking) Module.checking(done, total);
  },

  // ---------------------------------------------------------------- the end

  // The page says the game has ended, in its own words (page.js).
  WebEnded: function() {
    if (Module.ended) Module.ended();
  },
});

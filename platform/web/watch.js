// Watching a replay in the page, with the game's own viewer (its bar over
// the frame and its keys, as on the desktop), buttons for the keys on a
// screen without them, and a timeline to tap or drag to a time.
//
// The page watches a replay from its start: #watch=URL (a replay sent as a
// link), or #watch with a file the player chose or dropped on the page a
// moment ago, which rides in the page's own history entry across the
// reload; the browser's storage is never read nor written for it, and the
// one-tab lock is not taken (saves.js). Leaving it (Escape, "Back to the
// game", or the browser's Back) returns to the game's title.
import { Module } from "./contract.js";

// A name the game may show and keep in its folder, or "replay".
function fileName(name) {
  return /^\w[\w.,-]*$/.test(name || "") ? name : "replay";
}

// What the address asks to watch: { url, name } for a link, { bytes, name }
// for a chosen file (bytes null when the page no longer holds it), or null.
export function watchAsked() {
  const link = /^#watch=(.+)$/.exec(location.hash);
  if (link) {
    let url = "";
    try { url = decodeURIComponent(link[1]); } catch (err) { /* no URL: the game says it cannot read it */ }
    return { url, name: fileName(url.split(/[?#]/)[0].split("/").pop()) };
  }
  if (location.hash !== "#watch") return null;
  const chosen = history.state && history.state.quillmoorWatch;
  return chosen ? { bytes: chosen.bytes, name: fileName(chosen.name) } : { bytes: null, name: "replay" };
}

// The game's title: the page again, without the replay.
export function leave() {
  location.replace(location.pathname + location.search);
}

// The controls while watching (index.html's #watch): each button a key of
// the viewer's, the timeline, and the page's other controls put away.
export function watchControls() {
  document.body.classList.add("watching");
  const panel = document.getElementById("watch");
  const timeline = document.getElementById("watch-time");
  panel.hidden = false;
  // The full-screen button and the sound switch go in the same rows.
  for (const id of ["fullscreen", "sound"]) panel.appendChild(document.getElementById(id));
  // Browsing back (or forward) from the replay leaves it.
  addEventListener("popstate", () => location.reload());
  addEventListener("hashchange", () => location.reload());
  // The buttons are the keys: pressed and let go, as the keyboard's.
  panel.addEventListener("click", (e) => {
    const control = e.target.closest("[data-key]");
    if (!control) return;
    for (const type of ["keydown", "keyup"])
      window.dispatchEvent(new KeyboardEvent(type, { code: control.dataset.key, bubbles: true }));
    // The keys are the game's: a button keeps no focus for Space to press.
    control.blur();
  });
  // The timeline follows the replay, but not under a finger dragging it;
  // let go (or tapped), it goes there.
  let dragging = false;
  timeline.addEventListener("pointerdown", () => { dragging = true; });
  addEventListener("pointerup", () => { dragging = false; });
  timeline.addEventListener("change", () => {
    dragging = false;
    if (Module.watch) Module.watch.seek(Number(timeline.value));
    timeline.blur();
  });
  const follow = () => {
    if (Module.watch && !dragging) {
      const s = Module.watch.state();
      if (Number(timeline.max) !== s.total) timeline.max = String(s.total);
      timeline.value = String(s.step);
    }
    requestAnimationFrame(follow);
  };
  follow();
}

// The game's line refusing the replay: nothing to watch, only the way back.
export function refused() {
  document.body.classList.add("refused");
}

// "Watch replay" beside "Save replay", and a replay dropped on the page:
// after asking (the play in this tab stops, and what it has not saved is
// lost), the page starts again watching it.
export function watchButton() {
  const [button, picker, ask, question, yes, no, message] =
    ["replay-watch", "replay-watch-file", "watch-ask", "watch-question", "watch-yes", "watch-no", "replay-message"]
      .map((id) => document.getElementById(id));
  if (!button) return;
  let chosen = null;
  const say = (text) => { message.textContent = text; message.hidden = !text; };
  const asking = (file) => {
    say("");
    chosen = file;
    ask.hidden = !file;
    button.hidden = !!file;
    if (file) {
      question.textContent = `Watch ${file.name}? This play stops; what it has not saved is lost.`;
      yes.focus();
    }
  };
  button.addEventListener("click", () => {
    button.blur();
    picker.click();
  });
  picker.addEventListener("change", () => {
    const file = picker.files && picker.files[0];
    picker.value = "";
    if (file) asking(file);
  });
  const files = (e) => e.dataTransfer && [...e.dataTransfer.types].includes("Files");
  addEventListener("dragover", (e) => { if (files(e)) e.preventDefault(); });
  addEventListener("drop", (e) => {
    if (!files(e)) return;
    e.preventDefault();
    const file = e.dataTransfer.files[0];
    if (file) asking(file);
  });
  no.addEventListener("click", () => asking(null));
  yes.addEventListener("click", async () => {
    const file = chosen;
    asking(null);
    if (!file) return;
    try {
      const bytes = new Uint8Array(await file.arrayBuffer());
      history.pushState({ quillmoorWatch: { name: file.name, bytes } }, "", "#watch");
    } catch (err) {
      // Unreadable (gone since it was chosen), or more than the browser
      // carries across a reload (some 16 MB: days of play).
      say(`The replay could not be opened here: ${err.name === "NotReadableError" ? "it cannot be read"
                                                                                 : "it is too large for this browser"}.`);
      return;
    }
    location.reload();
  });
}

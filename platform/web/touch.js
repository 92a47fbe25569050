// Touch controls, for a screen without keys. A touch screen gets them (at
// once where the pointer is coarse, else at the first touch). A held
// control is a held key, fed to the game as the keyboard's are; the finger
// that pressed it lets it go wherever it is lifted, and several may be held
// at once (run and jump).
import { refit } from "./layout.js";

export function touchControls() {
  const touch = document.getElementById("touch");
  function show() {
    if (!touch.hidden) return;
    touch.hidden = false;
    refit();
  }
  if (matchMedia("(pointer: coarse)").matches) show();
  addEventListener("touchstart", show, { passive: true });

  const held = new Map();  // pointer -> control
  const send = (type, control) =>
    window.dispatchEvent(new KeyboardEvent(type, { code: control.dataset.key, bubbles: true }));
  touch.addEventListener("pointerdown", (e) => {
    const control = e.target.closest("[data-key]");
    if (!control) return;
    e.preventDefault();
    held.set(e.pointerId, control);
    control.classList.add("held");
    send("keydown", control);
  });
  const lift = (e) => {
    const control = held.get(e.pointerId);
    if (!control) return;
    held.delete(e.pointerId);
    if (![...held.values()].includes(control)) control.classList.remove("held");
    send("keyup", control);
  };
  addEventListener("pointerup", lift);
  addEventListener("pointercancel", lift);
  touch.addEventListener("contextmenu", (e) => e.preventDefault());
}

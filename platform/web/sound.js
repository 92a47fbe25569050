// The game's sound on the page: the audio output the game plays into, woken
// by the player's first gesture, and the "Sound" switch in the bar.
//
// Browsers let a page start sound only from a gesture that counts as the
// player's own: a key, a click, a finger lifted (pointerup, touchend). A
// finger put down (pointerdown) does not count, and Safari wants the output
// made and resumed inside that gesture's own handler. So the output is made
// and resumed here, at the first such gesture, whatever the gesture does for
// the game (the touch controls still press their keys as the finger goes
// down); the page listens only until the output runs, and again only should
// the browser stop it (a phone call, say).
//
// The switch mutes the output (its gain at 0) and the game starts no sound
// while it is off: nothing is kept to be heard later. The player's choice is
// kept in the page's own storage for the next visit, not in the game's
// settings; where that storage fails the choice lasts the visit.
const CHOICE = "quillmoor-sound";
const GESTURES = ["pointerup", "touchend", "keydown", "click"];

export function sound(screen) {
  const Context = window.AudioContext || window.webkitAudioContext;
  // What the game's backend plays into (library_web.js): `on` is the
  // switch; `context` and `output` are there from the first gesture;
  // `started` counts the sounds the game has started.
  const out = { on: true, context: null, output: null, started: 0 };
  try {
    out.on = localStorage.getItem(CHOICE) !== "off";
  } catch (err) { /* no storage: sound on, as on a first visit */ }

  const button = document.getElementById("sound");
  const show = () => {
    button.setAttribute("aria-pressed", String(out.on));
    button.querySelector("span").textContent = out.on ? "on" : "off";
    if (out.output) out.output.gain.value = out.on ? 1 : 0;
  };
  // No Web Audio, no sound: nothing to switch.
  button.hidden = !Context;
  if (!Context) return out;
  show();
  button.addEventListener("click", () => {
    out.on = !out.on;
    show();
    try {
      localStorage.setItem(CHOICE, out.on ? "on" : "off");
    } catch (err) { /* the choice lasts this visit */ }
    // The keys stay the game's.
    screen.focus();
  });

  let listening = false;
  const listen = (yes) => {
    if (yes === listening) return;
    listening = yes;
    for (const type of GESTURES) {
      if (yes) addEventListener(type, wake, true);
      else removeEventListener(type, wake, true);
    }
  };
  function wake() {
    if (!out.context) {
      try {
        out.context = new Context();
      } catch (err) {
        // The browser gives no output: the game plays silently.
        listen(false);
        return;
      }
      out.output = out.context.createGain();
      out.output.connect(out.context.destination);
      show();
      out.context.addEventListener("statechange",
                                   () => listen(out.context.state !== "running" && out.context.state !== "closed"));
    }
    if (out.context.state !== "running") out.context.resume().catch(() => {});
    else listen(false);
  }
  listen(true);
  return out;
}

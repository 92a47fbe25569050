// Where the game stands in the window: the canvas at the largest whole
// factor of its own size in the screen's own pixels that fits the window
// above the page's bar, at least 1 (at a device pixel ratio of 1.25 or 1.5 a
// whole factor in CSS pixels would give each game pixel a fraction of device
// pixels, and uneven glyphs), placed on whole device pixels; the touch
// controls beside it in landscape and under it in portrait, never over it;
// the bar under it all. The sizes are the page's CSS's (index.html): the
// canvas's width and height attributes, the bar's height, the room kept
// for the touch controls, and the pads' own boxes.
const screen = document.getElementById("screen");
const bar = document.getElementById("bar");
const touch = document.getElementById("touch");

const px = (style, name) => parseFloat(style.getPropertyValue(name)) || 0;

function fit() {
  const ratio = window.devicePixelRatio || 1;
  // The layout viewport: on a phone the window may be zoomed out wider.
  const innerWidth = document.documentElement.clientWidth, innerHeight = document.documentElement.clientHeight;
  const root = getComputedStyle(document.documentElement);
  const gap = px(root, "--gap"), margin = px(root, "--touch-margin");
  // The bar's own height, with a gap above it and below.
  const room = px(getComputedStyle(bar), "min-height") + 2 * gap;
  const touching = !touch.hidden, portrait = innerHeight > innerWidth;
  const side = touching && !portrait ? px(root, "--touch-beside") : 0;
  const under = touching && portrait ? px(root, "--touch-under") : 0;
  const s = Math.max(1, Math.floor(Math.min((innerWidth - 2 * side) * ratio / screen.width,
                                            (innerHeight - room - under) * ratio / screen.height)));
  const w = screen.width * s, h = screen.height * s;
  const left = Math.max(0, Math.floor((innerWidth * ratio - w) / 2));
  const top = Math.max(0, Math.floor(((innerHeight - room - under) * ratio - h) / 2));
  if (touching) {
    const [dirs, acts] = touch.querySelectorAll(".pad");
    const size = (pad) => pad.getBoundingClientRect();
    const place = (pad, x, y) => { pad.style.left = x + "px"; pad.style.top = y + "px"; };
    if (portrait) {
      const below = (top + h) / ratio + gap;
      place(dirs, margin, below);
      place(acts, innerWidth - margin - size(acts).width, below);
    } else {
      // Each pad is centred on the game's middle.
      const middle = (top + h / 2) / ratio;
      place(dirs, left / ratio - size(dirs).width - margin, middle - size(dirs).height / 2);
      place(acts, (left + w) / ratio + margin, middle - size(acts).height / 2);
    }
  }
  screen.style.width = w / ratio + "px";
  screen.style.height = h / ratio + "px";
  screen.style.left = left / ratio + "px";
  screen.style.top = top / ratio + "px";
  bar.style.top = (top + h) / ratio + gap + under + "px";
}

// Followed at every frame: a change of zoom changes the ratio and not
// always the window's size, and not every browser says so with an event.
let fitted = "";
export function follow() {
  const now = `${document.documentElement.clientWidth} ${document.documentElement.clientHeight} ${window.devicePixelRatio}`;
  if (now !== fitted) { fitted = now; fit(); }
  requestAnimationFrame(follow);
}

// Fitted again at the next frame: the touch controls came or went.
export function refit() { fitted = ""; }

// The full-screen button under the game, only where the browser lets the
// page go full screen (not on a phone that has no such thing, nor in a frame
// that is not allowed to).
export function fullScreenButton() {
  const button = document.getElementById("fullscreen");
  button.hidden = !document.fullscreenEnabled;
  button.addEventListener("click", () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
    screen.focus();
  });
}

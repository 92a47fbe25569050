// What the page says before the game shows, and instead of it: loading
// (with the download's progress), a browser that cannot run the game, a
// game stopped on an error, a game that has ended.
const box = document.getElementById("status");
const words = document.getElementById("status-text");
const bar = document.getElementById("status-bar");

// `progress`: a fraction for a bar that fills, undefined for one that only
// says something is happening, null for no bar.
export function status(text, progress) {
  words.textContent = text;
  bar.hidden = progress === null;
  if (progress === undefined) bar.removeAttribute("value");
  else if (progress !== null) bar.value = progress;
  box.hidden = false;
}

export function hideStatus() { box.hidden = true; }

// The game's code (quillmoor.wasm) downloaded, its progress shown as it
// comes: resolves to its bytes.
export async function download(response) {
  if (!response.ok) throw new Error("quillmoor.wasm: " + response.status);
  const size = Number(response.headers.get("Content-Length")) || 0;
  const reader = response.body.getReader();
  const parts = [];
  let got = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    parts.push(value);
    got += value.length;
    status(`Loading Quillmoor: ${Math.round(got / 1024)} KB` + (size ? ` of ${Math.round(size / 1024)} KB` : ""),
           size ? got / size : undefined);
  }
  const bytes = new Uint8Array(got);
  let at = 0;
  for (const part of parts) { bytes.set(part, at); at += part.length; }
  return bytes;
}

// The page's zlib: the replay's blocks deflated and inflated in the zlib
// format the desktop writes and reads, so a replay recorded on either plays
// on both. Bundled with its library into build-web/pre/codec.js and put
// ahead of the game's code (web.cmake), where library_web.js calls it
// synchronously as Module.codec; only these two functions of the library
// come along.
import { Unzlib, zlibSync } from "fflate";
import { Module } from "./contract.js";

// Input is handed to the inflater a few kilobytes at a time, and inflating
// stops as soon as it has made more than the block said: a block made to
// unpack to gigabytes costs a few megabytes of work, not a frozen page.
const STEP = 4096;

Module.codec = {
  // The payload deflated, as zlib's compress2 would (at the desktop's
  // levels: the fastest for a world's files, the best for a second of keys).
  deflate(data) {
    return zlibSync(data, { level: data.length > 16384 ? 1 : 9 });
  },
  // Inflates `data` into `out`; true only when it holds a whole zlib stream
  // that inflates to exactly out.length bytes. (Its Adler-32 is not looked
  // at: each block's own CRC-32 covers every byte it stores.)
  inflate(data, out) {
    let made = 0, ended = false;
    const inflater = new Unzlib((chunk, final) => {
      if (made + chunk.length <= out.length) out.set(chunk, made);
      made += chunk.length;
      ended = final;
    });
    try {
      for (let at = 0; at < data.length && made <= out.length; at += STEP)
        inflater.push(data.subarray(at, at + STEP), at + STEP >= data.length);
    } catch (err) {
      return false;  // not zlib, or cut short
    }
    return ended && made === out.length;
  },
};

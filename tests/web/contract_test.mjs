// The contract between the page and the game (platform/web/contract.js)
// against every file that uses Module: the page's scripts, the game's
// library, the tests and the benchmarks. Each property they use is
// declared there (or is Emscripten's own), set only where the contract
// says and read only by those it names; each declared property is set
// where it says, and read by each file it names.
//
//   node contract_test.mjs
//
// Prints "N passed, M failed" and exits non-zero when anything failed.
import fs from "node:fs";
import path from "node:path";
import { CONTRACT, EMSCRIPTEN } from "../../platform/web/contract.js";
import { check, summary } from "./harness.mjs";

const root = new URL("../../", import.meta.url).pathname;
const inFolder = (folder, test) => fs.readdirSync(path.join(root, folder)).filter(test).map((f) => path.join(folder, f));
// Each file with the name the contract knows it by.
const files = [
  ...inFolder("platform/web", (f) => f.endsWith(".js")).map((f) => [f, path.basename(f)]),
  ...inFolder("tests/web", (f) => f.endsWith(".mjs") && f !== "contract_test.mjs").map((f) => [f, "tests"]),
  ...inFolder("bench", (f) => /^web_.*\.mjs$/.test(f)).map((f) => [f, "bench"]),
];

// Every Module.NAME in a file's code (its comments left out), and whether
// it is set there.
function uses(file) {
  const code = fs.readFileSync(path.join(root, file), "utf8")
    .replace(/\/\*[\s\S]*?\*\//g, "").replace(/(^|[\s;,(){}])\/\/.*$/gm, "$1");
  return [...code.matchAll(/\bModule\.([A-Za-z_$][\w$]*)(\s*=(?!=))?/g)].map((m) => ({ name: m[1], sets: !!m[2] }));
}

const setters = new Map(), readers = new Map();  // name -> the roles found setting it, reading it
const wrong = [];
for (const [file, role] of files) {
  for (const { name, sets } of uses(file)) {
    if (EMSCRIPTEN.includes(name) || name.startsWith("_")) continue;
    const declared = CONTRACT[name];
    if (!declared) wrong.push(`${file}: Module.${name} is not in the contract`);
    else if (sets && declared.by !== role) wrong.push(`${file}: sets Module.${name}, which is ${declared.by}'s`);
    else if (!sets && declared.by !== role && !declared.readers.includes(role))
      wrong.push(`${file}: reads Module.${name}, which the contract gives only to ${declared.readers.join(", ")}`);
    const found = sets ? setters : readers;
    found.set(name, new Set([...(found.get(name) || []), role]));
  }
}
check(wrong.length === 0, `every file uses Module as the contract says${wrong.length ? ":\n  " + wrong.join("\n  ") : ""}`);

const unkept = [];
for (const [name, { by, readers: named }] of Object.entries(CONTRACT)) {
  if (!(setters.get(name) || new Set()).has(by)) unkept.push(`${by} does not set Module.${name}`);
  for (const reader of named)
    if (reader !== "runtime" && !(readers.get(name) || new Set()).has(reader)) unkept.push(`${reader} does not read Module.${name}`);
}
check(unkept.length === 0, `every property of the contract is set and read as it says${unkept.length ? ":\n  " + unkept.join("\n  ") : ""}`);
process.exit(summary());

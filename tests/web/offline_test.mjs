// The page's own files, as its build lists them once (platform/web/web.cmake):
// served from a folder holding just them (build-web/, or the release as
// unpacked), the page plays, and after one visit it plays again with no
// network, every file it asks for coming from its service worker's cache.
// A file missing from the list is missing from the release and from the
// cache, and fails here.
//
//   node offline_test.mjs PAGE-FOLDER
//
// Prints "N passed, M failed" and exits non-zero when anything failed.
import { check, launch, open, serve, summary, titleShown } from "./harness.mjs";

const site = process.argv[2];
if (!site) {
  console.error("usage: node offline_test.mjs PAGE-FOLDER");
  process.exit(2);
}
const server = await serve(site);
const browser = await launch();
try {
  const tab = await open(browser, null);
  const { page } = tab;
  // What the page asked for and did not get, by its path.
  const missing = [];
  page.on("requestfailed", (r) => missing.push(new URL(r.url()).pathname));
  page.on("response", (r) => { if (r.status() >= 400) missing.push(new URL(r.url()).pathname + ` (${r.status()})`); });
  await page.goto(server.url, { waitUntil: "load" });
  check(await tab.waitFor("the title", titleShown) && missing.length === 0,
        `the page plays, and finds every file it asks for (missing: ${missing.join(" ") || "none"})`);
  // The worker has kept the files and controls the page.
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 60000 }).catch(() => {});
  // No network at all: the server is gone too, for the worker's own fetches.
  missing.length = 0;
  server.close();
  await page.setOfflineMode(true);
  await page.reload({ waitUntil: "load" });
  const shown = await tab.waitFor("the title offline", titleShown);
  check(shown && missing.length === 0,
        `offline, after one visit, every file the page asks for comes from its worker (missing: ${missing.join(" ") || "none"})`);
} catch (e) {
  check(false, "the page ran: " + e.message);
} finally {
  await browser.close();
  server.close();
}
process.exit(summary());

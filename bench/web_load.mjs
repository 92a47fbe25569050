// How big the page's download is and how long a new player waits for the
// first title frame: with no throttling, and at 1.6 Mbit/s with 150 ms of
// latency, each from a static server that sends the files as they are and
// from one that compresses them (as most hosts do). Every load is a fresh
// browser context: nothing cached, no service worker. The median of five.
//
//   node bench/web_load.mjs [BUILD-WEB-FOLDER]    (after bash tools/web.sh --build;
//   run from the project's root)
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { launch, serve } from "../tests/web/harness.mjs";

const site = process.argv[2] || "build-web";
const RUNS = 5;

// Every file of the page, as its build lists them.
const files = fs.readFileSync(path.join(site, "page-files.txt"), "utf8").split("\n").filter((f) => f);
for (const f of files) {
  const bytes = fs.readFileSync(path.join(site, f));
  console.log(`${f}: ${bytes.length} bytes, ${zlib.gzipSync(bytes, { level: 9 }).length} gzipped`);
}

// The moment, from the start of navigation, the canvas first shows the
// title: its dark grey at (40, 260), looked for at every animation frame.
const watch = () => {
  const look = () => {
    const q = window.Module && Module.quillmoor;
    if (q && q.context) {
      const p = q.context.getImageData(40, 260, 1, 1).data;
      if (p[0] === 64 && p[1] === 64 && p[2] === 64) { window.titleAt = performance.now(); return; }
    }
    requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
};

const browser = await launch();
for (const compress of [false, true]) {
  const server = await serve(site, {}, { compress });
  const url = server.url;
  for (const [label, conditions] of [
    ["unthrottled", null],
    ["1.6 Mbit/s, 150 ms", { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 0.75e6 / 8 }],
  ]) {
    const times = [];
    let bytes = 0;
    for (let run = 0; run < RUNS; ++run) {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      await page.setViewport({ width: 1024, height: 640 });
      const cdp = await page.createCDPSession();
      await cdp.send("Network.enable");
      await cdp.send("Network.setCacheDisabled", { cacheDisabled: true });
      // The page's requests go to the (throttled) network, never to a worker.
      await cdp.send("Network.setBypassServiceWorker", { bypass: true });
      if (conditions) await cdp.send("Network.emulateNetworkConditions", conditions);
      let received = 0;
      cdp.on("Network.loadingFinished", (e) => { received += e.encodedDataLength; });
      await page.evaluateOnNewDocument(watch);
      await page.goto(url);
      await page.waitForFunction(() => window.titleAt !== undefined, { timeout: 60000, polling: 50 });
      times.push(await page.evaluate(() => window.titleAt));
      bytes = received;
      await context.close();
    }
    times.sort((a, b) => a - b);
    console.log(`${compress ? "compressing server" : "plain server"}, ${label}: first title frame after ` +
                `${(times[RUNS >> 1] / 1000).toFixed(2)} s (median of ${RUNS}; ${(times[0] / 1000).toFixed(2)}` +
                `–${(times[RUNS - 1] / 1000).toFixed(2)} s), ${bytes} bytes over the network`);
  }
  server.close();
}
await browser.close();

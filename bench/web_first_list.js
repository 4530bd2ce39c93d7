// The time from opening the page to the first computed list, in headless Chromium: each run
// in a fresh browser profile (nothing cached, no service worker yet), then once more in the
// same profile (the service worker's cache). Prints one line per run, in ms.
//   node web_first_list.js URL RUNS
'use strict';
const path = require('path');
const fs = require('fs');
const os = require('os');
const puppeteer = require(path.join(process.cwd(), 'node_modules', 'puppeteer-core'));
const [url, runs] = [process.argv[2], Number(process.argv[3] || 5)];

(async () => {
  for (let run = 0; run < runs; ++run) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvo-bench-'));
    const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
                                            args: ['--no-sandbox', '--disable-gpu']});
    const page = await browser.newPage();
    for (const kind of ['cold', 'cached']) {
      const started = Date.now();
      await page.goto(url);
      await page.waitForSelector('[data-control="1004"] tbody tr', {timeout: 30000});
      console.log(`${kind} ${Date.now() - started}`);
      if (kind === 'cold') { await page.evaluate(() => navigator.serviceWorker.ready); await new Promise((r) => setTimeout(r, 300)); }
    }
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  }
})();

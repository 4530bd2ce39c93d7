// The site in headless Chromium, as a designer uses it: every group's and age group's random
// figures list what kelvo-cli lists, an edit stored or refused, the downloaded table.txt
// byte for byte as the desktop writes it, the menus' dialogs, an offline reload showing the
// list, no error in the page's console. Prints "ok: ..." or "FAILED: ..." per check and
// the figures measured; exits 1 when any check failed.
//   node page_test.js URL KELVO-CLI DATA-DIR [SCREENSHOT-DIR]
'use strict';
const path = require('path');
const fs = require('fs');
const os = require('os');
const {execFileSync} = require('child_process');
const puppeteer = require(path.join(process.cwd(), 'node_modules', 'puppeteer-core'));

const [url, cli, data, shots] = process.argv.slice(2);
let failed = 0;
const check = (ok, what, detail) => {
  console.log((ok ? 'ok: ' : 'FAILED: ') + what + (ok || detail === undefined ? '' : ' — ' + detail));
  if (!ok) failed++;
};
const pause = (ms) => new Promise((r) => setTimeout(r, ms));
const list = '[data-control="1004"]';
const groups = [
  {name: 'nursery', third: null, ages: [null]},
  {name: 'girls', third: '--waist', ages: [0, 1, 2, 3]},
  {name: 'boys', third: '--waist', ages: [0, 1, 2, 3]},
  {name: 'women', third: '--hip', ages: [null]},
  {name: 'men', third: '--waist', ages: [null]},
];

async function shownRows(page) {
  return page.$$eval(list + ' tbody tr', (trs) => trs.map((tr) => Array.from(tr.children).map((td) => td.textContent.trim())));
}
async function selected(page, id) {
  return page.$eval(`[data-control="${id}"]`, (s) => (s.selectedIndex < 0 ? '' : s.options[s.selectedIndex].textContent));
}
async function choose(page, id, index) {
  const value = await page.$eval(`[data-control="${id}"]`, (s, i) => s.options[i].textContent, index);
  await page.select(`[data-control="${id}"]`, value);
  await pause(30);
}
async function optionCount(page, id) { return page.$eval(`[data-control="${id}"]`, (s) => s.options.length); }

(async () => {
  const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true,
                                          args: ['--no-sandbox', '--disable-gpu']});
  const page = await browser.newPage();
  const problems = [];
  page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
  page.on('pageerror', (e) => problems.push(e.message));
  await page.setViewport({width: 1000, height: 700});

  const started = Date.now();
  await page.goto(url);
  await page.waitForSelector(list + ' tbody tr', {timeout: 20000});
  const firstList = Date.now() - started;
  console.log(`measured: first list ${firstList} ms after opening the page`);
  check(await selected(page, 1000) === 'Женщины', 'the page opens on the women\'s group');
  if (shots) await page.screenshot({path: path.join(shots, 'web-women.png')});

  // Random figures of every group and age group against kelvo-cli.
  let seed = 20261209;
  const random = (n) => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; };
  for (let g = 0; g < groups.length; ++g) {
    const group = groups[g];
    await choose(page, 1000, g);
    for (const age of group.ages) {
      if (age !== null) await choose(page, 1002, age);
      for (let n = 0; n < 3; ++n) {
        for (const id of [1003, 1006].concat(group.third ? [1007] : [])) await choose(page, id, random(await optionCount(page, id)));
        const args = ['--data', data, '--group', group.name, '--height', await selected(page, 1003), '--chest', await selected(page, 1006),
                      '--format', 'tsv'];
        if (age !== null) args.push('--age', String(age));
        if (group.third) args.push(group.third, await selected(page, 1007));
        const expected = execFileSync(cli, args, {encoding: 'utf8'}).trim().split('\n').slice(1)
          .map((line) => line.split('\t').map((cell) => cell.trim()));
        const shown = await shownRows(page);
        check(JSON.stringify(shown) === JSON.stringify(expected), `${group.name}${age === null ? '' : ' age ' + age} ${args.slice(4).filter((a) => a !== '--format' && a !== 'tsv').join(' ')}`,
              `${shown.length} rows shown, ${expected.length} listed`);
      }
    }
  }

  // An edit: "12,5" is stored as 12.5, "abc" refused with a message, the value kept.
  await choose(page, 1000, 3);
  await page.click(list + ' tbody tr:nth-child(2)');
  await page.$eval('[data-control="1009"]', (e) => { e.value = ''; });
  await page.type('[data-control="1009"]', '12,5');
  await page.click('[data-control="1005"]');
  await pause(50);
  check((await shownRows(page))[1][2] === '12.5', '"12,5" is stored as 12.5');
  await page.$eval('[data-control="1009"]', (e) => { e.value = ''; });
  await page.type('[data-control="1009"]', 'abc');
  await page.click('[data-control="1005"]');
  await pause(50);
  const message = await page.$$eval('dialog.kelvo-message[open] p', (ps) => ps.map((p) => p.textContent));
  check(message.length === 1 && /числом/.test(message[0]), '"abc" is refused with a message', JSON.stringify(message));
  if (message.length) await page.click('dialog.kelvo-message[open] button');
  const said = await page.$eval('[data-control="1011"]', (e) => e.textContent);
  check(/числом/.test(said), 'the status line still says why once the message is closed', said);
  check((await shownRows(page))[1][2] === '12.5', 'the refused value leaves the row as it was');

  // table.txt as the desktop writes it: kelvo-cli --export on a copy of the tables, the
  // same figure, the same edit.
  await page.click('[data-control="1008"]');
  await pause(200);
  const downloads = await page.evaluate(() => Module.kelvoDownloads.map((d) => ({name: d.name, bytes: d.bytes})));
  const table = downloads.find((d) => d.name === 'table.txt');
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvo-web-'));
  fs.cpSync(data, copy, {recursive: true});
  const figure = ['--height', await selected(page, 1003), '--chest', await selected(page, 1006), '--hip', await selected(page, 1007)];
  execFileSync(cli, ['--data', copy, '--group', 'women'].concat(figure, ['--export']));
  const desktop = fs.readFileSync(path.join(copy, 'table.txt'));
  const edited = Buffer.from(desktop.toString('latin1').replace(/^(\s*7 )\S+/m, '$112.5'), 'latin1');
  check(table && Buffer.from(table.bytes).equals(edited), 'the downloaded table.txt has the desktop\'s bytes (Windows-1251, CR LF)',
        table ? `${table.bytes.length} bytes against ${edited.length}` : 'no download');
  fs.rmSync(copy, {recursive: true, force: true});

  // Other outputs as downloads, printing through the browser's print of the laid-out pages.
  const menuEntry = async (menu, caption) => {
    await page.click(`.kelvo-menu:nth-child(${menu}) > button`);
    const entries = await page.$$('.kelvo-menu.open .kelvo-menu-items button');
    for (const entry of entries)
      if ((await entry.evaluate((b) => b.firstChild.textContent)) === caption) { await entry.click(); return true; }
    return false;
  };
  await page.evaluate(() => { window.print = () => { window.kelvoPrintCalls = (window.kelvoPrintCalls || 0) + 1; }; });
  check(await menuEntry(1, 'Сохранить таблицу размеров…'), 'Файл → Сохранить таблицу размеров… is there');
  await pause(1500);
  const chart = (await page.evaluate(() => Module.kelvoDownloads.map((d) => d.name))).find((n) => /\.csv$/.test(n));
  check(!!chart, 'the size chart arrives as a CSV download', JSON.stringify(await page.evaluate(() => Module.kelvoDownloads.map((d) => d.name))));
  await page.keyboard.down('Control'); await page.keyboard.press('KeyP'); await page.keyboard.up('Control');
  await pause(300);
  const printed = await page.evaluate(() => [Module.kelvoPrinted || 0, window.kelvoPrintCalls || 0,
                                              document.querySelectorAll('#kelvo-print svg').length]);
  check(printed[0] >= 1 && printed[1] === 1 && printed[2] === printed[0], 'Ctrl+P prints the laid-out pages through the browser', JSON.stringify(printed));
  for (const open of await page.$$('dialog.kelvo-answer[open] button')) { await open.click(); break; }

  // The menus' dialogs: the figure search as a dialog of the page, Esc closes it.
  await page.click('.kelvo-menu:nth-child(3) > button');
  await page.click('.kelvo-menu.open .kelvo-menu-items button');
  await pause(100);
  const titles = await page.$$eval('dialog.kelvo-window[open] .kelvo-title', (ts) => ts.map((t) => t.textContent));
  check(titles.length === 1 && titles[0] === 'Подобрать фигуру', 'Фигура → Подобрать фигуру… opens its dialog', JSON.stringify(titles));
  if (shots) await page.screenshot({path: path.join(shots, 'web-dialog.png')});
  await page.keyboard.press('Escape');
  await pause(100);
  check((await page.$$('dialog.kelvo-window[open]')).length === 0, 'Esc closes the dialog');

  // The survey dialog: a CSV chosen in the page, its people counted into figures.
  const survey = path.join(os.tmpdir(), `kelvo-survey-${process.pid}.csv`);
  let people = 'Рост;Обхват груди;Обхват бедер\n';
  for (let n = 0; n < 60; ++n) people += `${158 + 6 * (n % 3)};${88 + 4 * (n % 4)};${96 + 4 * (n % 2)}\n`;
  fs.writeFileSync(survey, people);
  check(await menuEntry(3, 'Размерно-ростовочный ассортимент…'), 'Фигура → Размерно-ростовочный ассортимент… is there');
  await pause(200);
  const [surveyFile] = await Promise.all([page.waitForFileChooser(), page.click('dialog.kelvo-window[open] [data-control="1301"]')]);
  await surveyFile.accept([survey]);
  await pause(500);
  await page.click('dialog.kelvo-window[open] [data-control="1308"]');
  await pause(500);
  const counted = await page.$$eval('dialog.kelvo-window[open] [data-control="1309"] tbody tr',
                                    (trs) => trs.reduce((sum, tr) => sum + Number(tr.children[1].textContent), 0));
  check(counted === 60, 'the survey dialog counts the people of a file chosen in the page', String(counted));
  if (shots) await page.screenshot({path: path.join(shots, 'web-survey.png')});
  await page.keyboard.press('Escape');
  await pause(200);
  fs.rmSync(survey, {force: true});

  // A designer's own tables: a folder chosen in the page, kept by the browser for the next visit.
  const own = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvo-own-'));
  fs.cpSync(path.join(data, 'BD'), path.join(own, 'Мои таблицы', 'BD'), {recursive: true});
  await page.click('.kelvo-menu:nth-child(1) > button');
  let folderEntry = null;
  for (const e of await page.$$('.kelvo-menu.open .kelvo-menu-items button'))
    if ((await e.evaluate((b) => b.firstChild.textContent)) === 'Открыть папку данных…') folderEntry = e;
  const [chooser] = await Promise.all([page.waitForFileChooser(), folderEntry.click()]);
  await chooser.accept([path.join(own, 'Мои таблицы')]);
  await page.waitForFunction(() => /Мои таблицы/.test(document.querySelector('[data-control="1011"]').textContent), {timeout: 10000})
    .catch(() => {});
  const chosen = await page.$eval('[data-control="1011"]', (e) => e.textContent);
  check(/Папка данных: \/user\/Мои таблицы/.test(chosen), 'a folder of tables chosen in the page is used', chosen);
  await pause(800);  // the browser's storage written back
  await page.reload();
  await page.waitForSelector(list + ' tbody tr', {timeout: 20000});
  const kept = await page.$eval('[data-control="1011"]', (e) => e.textContent);
  check(/Мои таблицы/.test(kept), 'the chosen folder is used again at the next visit', kept);
  fs.rmSync(own, {recursive: true, force: true});

  // Offline: once the service worker holds the site, a reload without network lists again.
  await page.evaluate(() => navigator.serviceWorker.ready);
  await pause(300);
  await page.setOfflineMode(true);
  await page.reload();
  const offline = await page.waitForSelector(list + ' tbody tr', {timeout: 20000}).then(() => true, () => false);
  check(offline, 'a reload without network shows the computed list');
  await page.setOfflineMode(false);

  if (shots) {
    await page.setViewport({width: 420, height: 640});
    await pause(100);
    await page.screenshot({path: path.join(shots, 'web-narrow.png')});
  }
  check(problems.length === 0, 'no error in the page\'s console', problems.join(' | '));
  await browser.close();
  console.log(`${failed === 0 ? 'all' : failed} ${failed === 0 ? 'checks passed' : 'checks failed'}`);
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.log('FAILED: ' + e.stack); process.exit(1); });

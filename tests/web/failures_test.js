// The page when things go wrong, in Chromium, as a user meets them:
// - a computer whose memory cannot give the core what a run needs (V8 held
//   to 48 MB of WebAssembly memory): 描画実行 of a long listing shows
//   the desktop's out-of-memory message in the ＫＵＶ box, the listing
//   stays as it was, and the next Run works;
// - a page whose core cannot be loaded: a message in Japanese, within
//   ten seconds, naming what it lacks.
//   node failures_test.js SITE_DIR CHROMIUM OUT_DIR
const puppeteer = require('puppeteer-core');
const fs = require('fs');
const path = require('path');
const { serveSite, CHROMIUM_ARGS } = require('./site_server.js');

const [siteArg, chromium, out] = process.argv.slice(2);
fs.mkdirSync(out, { recursive: true });
let failures = 0, passes = 0;
const check = (ok, what) => {
  console.log((ok ? 'ok    ' : 'FAIL  ') + what);
  ok ? passes++ : failures++;
};

async function withBrowser(flags, use) {
  const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: [...CHROMIUM_ARGS, ...flags] });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    await page.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; delete window.showSaveFilePicker; });
    page.on('dialog', (d) => d.accept());
    await use(page);
  } finally {
    await browser.close();
  }
}

const command = async (page, entry, item = 0) => {
  await page.keyboard.press('F10');
  for (let i = 0; i < entry; i++) await page.keyboard.press('ArrowRight');
  for (let i = 0; i < item; i++) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
};
const listingText = (page) => page.evaluate(() => document.querySelector('.cm-content').innerText);

serveSite(siteArg).then(async ({ url, server }) => {
  try {
    // 768 pages of 64 KiB: the core starts and runs short listings, but a
    // listing of 200,000 lines needs more than it can grow to.
    await withBrowser(['--js-flags=--wasm-max-mem-pages=768'], async (page) => {
      await page.goto(url);
      check(await page.waitForFunction('window.kuvReady === true', { timeout: 20000 }).then(() => true, () => false),
            'with little memory, the page starts');
      const long = path.join(out, 'failures-long.kuv');
      const lines = [];
      for (let i = 0; i < 200000; i++) lines.push(`line ${i % 641} ${i % 481} ${(i * 7) % 641} ${(i * 3) % 481} ${i % 8}`);
      fs.writeFileSync(long, lines.join('\r\n') + '\r\n');
      // The menu is worked again if a key went astray while the page was
      // busy.
      let chooser = null;
      for (let tries = 0; tries < 3 && !chooser; tries++) {
        await page.click('.cm-content');
        [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 5000 }).catch(() => null), command(page, 0, 0)]);
        if (!chooser) await page.keyboard.press('Escape');
      }
      await chooser.accept([long]);
      await page.waitForFunction(() => document.getElementById('file').value === 'failures-long.kuv', { timeout: 20000 });
      const firstLine = () => page.evaluate(() => document.querySelector('.cm-line').textContent);
      const before = await firstLine();
      await command(page, 1);
      const box = await page.waitForFunction(() => document.getElementById('message').open &&
        document.getElementById('message-text').textContent, { timeout: 60000 }).then((h) => h.jsonValue(), () => '');
      check(box === 'メモリストリームの拡大中にメモリが足りなくなりました.',
            `a Run that runs out of memory shows the desktop's message (${JSON.stringify(box)})`);
      const after = await firstLine();
      check(after === before && before === 'line 0 0 0 0 0', `the listing stays as it was, not rewritten (${JSON.stringify(after)})`);
      await page.keyboard.press('Enter');
      await page.click('.cm-content');
      await page.keyboard.down('Control');
      await page.keyboard.press('a');
      await page.keyboard.up('Control');
      await page.keyboard.type('circle 320 240 100 2');
      const runs = await page.evaluate('window.kuvRuns');
      await command(page, 1);
      const ran = await page.waitForFunction(`window.kuvRuns > ${runs}`, { timeout: 20000 }).then(() => true, () => false);
      const red = await page.evaluate(() => Array.from(document.getElementById('picture').getContext('2d').getImageData(420, 240, 1, 1).data));
      check(ran && red.join() === '255,0,0,255', `the next Run works, with a new core (${red})`);
    });

    // A site whose core cannot be had (a school's filter that blocks
    // .wasm files): the page says so, naming it, within ten seconds.
    const blocked = fs.mkdtempSync(path.join(out, 'failures-site-'));
    for (const f of fs.readdirSync(siteArg)) if (f !== 'kuv-core.wasm') fs.copyFileSync(path.join(siteArg, f), path.join(blocked, f));
    const { url: blockedUrl, server: blockedServer } = await serveSite(blocked);
    await withBrowser([], async (page) => {
      const started = Date.now();
      await page.goto(blockedUrl);
      const text = await page.waitForFunction(() => !document.getElementById('cannot-start').hidden &&
        document.getElementById('cannot-start').textContent, { timeout: 11000 }).then((h) => h.jsonValue(), () => '');
      check(text.includes('KUV を動かせません') && text.includes('kuv-core.wasm') && Date.now() - started < 10500,
            `a page whose core cannot be loaded says so within 10 s (${JSON.stringify(text)}, ${Date.now() - started} ms)`);
    });
    blockedServer.close();
  } catch (e) {
    check(false, `the test ran to its end (${e.message})`);
  } finally {
    server.close();
  }
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures ? 1 : 0);
});

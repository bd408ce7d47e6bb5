// The page in the three engines that schools' devices run, with real keys
// and clicks: Chromium and Firefox ESR through puppeteer-core (Firefox over
// WebDriver BiDi), WebKitGTK's MiniBrowser (Safari's engine) through
// WebKitWebDriver and Selenium. In each: a typed listing gives
// kuv-render's pixels and its rewritten text; the error dialog; the live
// mark; F10 and the menus; in WebKit, Japanese composed with GTK's input
// method beside a swatch; the BMP and JPEG bytes, as downloads; a file
// opened and saved again keeps every byte; a reload keeps the listing; the
// page works offline; and nothing goes wrong in the page the whole time
// (no uncaught error, no console error, no CSP violation). The run's time
// in each engine is printed beside Chromium's.
//   node engines_test.js SITE_DIR KUV_RENDER CHROMIUM OUT_DIR [ENGINE...]
// WebKit needs an X display (run under xvfb-run), and xdotool.
const puppeteer = require('puppeteer-core');
const { Builder, Key } = require('selenium-webdriver');
const { execFileSync, spawn } = require('child_process');
const crypto = require('crypto');
const fs = require('fs');
const net = require('net');
const path = require('path');
const { serveSite, CHROMIUM_ARGS } = require('./site_server.js');

const [siteArg, render, chromium, outArg, ...only] = process.argv.slice(2);
const site = path.resolve(siteArg);
const out = path.resolve(outArg);
fs.mkdirSync(out, { recursive: true });
let failures = 0, passes = 0;
const check = (engine, ok, what) => {
  console.log(`${ok ? 'ok    ' : 'FAIL  '}${engine}: ${what}`);
  ok ? passes++ : failures++;
};
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// kuv-render's picture of a listing in a format, and its error line.
function rendered(listing, format) {
  const file = path.join(out, 'engines-listing.kuv');
  fs.writeFileSync(file, Buffer.from(listing.replace(/\n/g, '\r\n'), 'latin1'));
  try {
    return { bytes: execFileSync(render, ['-o', '-', '--format', format, file], {
      maxBuffer: 1 << 24, stdio: ['ignore', 'pipe', 'pipe'], env: { ...process.env, JSIMD_FORCENONE: '1' } }), error: '' };
  } catch (e) {
    return { bytes: e.stdout, error: e.stderr.toString().trim() };
  }
}

// The SHA-256 of kuv-render's Picture as a canvas holds it (RGBA, rows from
// the top), made from its BMP.
function pictureDigest(listing) {
  const bmp = rendered(listing, 'bmp').bytes;
  const rgba = Buffer.alloc(641 * 481 * 4);
  for (let row = 0; row < 481; row++)
    for (let x = 0; x < 641; x++) {
      const s = 54 + ((480 - row) * 641 + x) * 4, d = (row * 641 + x) * 4;
      rgba[d] = bmp[s + 2]; rgba[d + 1] = bmp[s + 1]; rgba[d + 2] = bmp[s]; rgba[d + 3] = 255;
    }
  return crypto.createHash('sha256').update(rgba).digest('hex');
}

const freePort = () => new Promise((resolve) => {
  const s = net.createServer().listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => resolve(port)); });
});

async function waitForFile(dir, name) {
  const file = path.join(dir, name);
  for (let i = 0; i < 100; i++) {
    if (fs.existsSync(file) && !fs.readdirSync(dir).some((f) => /\.part$|\.download$/.test(f))) {
      await sleep(200);
      return fs.readFileSync(file);
    }
    await sleep(100);
  }
  return Buffer.alloc(0);
}

// Each engine behind the same few calls: keys and clicks are real input
// events of the engine's driver; script only reads the page.
async function chromiumDriver(downloads) {
  const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: CHROMIUM_ARGS });
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  // The download path, as in Firefox and Safari: no picker to answer.
  await page.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; delete window.showSaveFilePicker; });
  return puppeteerDriver(browser, page, async (command, file) => {
    const [chooser] = await Promise.all([page.waitForFileChooser(), command()]);
    await chooser.accept([file]);
  });
}

async function firefoxDriver(downloads) {
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true, protocol: 'webDriverBiDi',
    extraPrefsFirefox: {
      'browser.download.dir': downloads, 'browser.download.folderList': 2, 'browser.download.useDownloadDir': true,
      'browser.download.always_ask_before_handling_new_types': false,
      'browser.helperApps.neverAsk.saveToDisk': 'image/bmp,image/jpeg,application/octet-stream',
      // The downloads panel would take the keyboard from the page.
      'browser.download.alwaysOpenPanel': false, 'browser.download.panel.shown': true,
    },
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  // WebDriver BiDi gives the file to the input the page has just clicked.
  return puppeteerDriver(browser, page, async (command, file) => {
    await command();
    await (await page.$('#file-input')).uploadFile(file);
  });
}

// The leave question of a changed listing is answered yes.
function puppeteerDriver(browser, page, openWith) {
  page.on('dialog', (d) => d.accept());
  const names = { Enter: 'Enter', Escape: 'Escape', F10: 'F10', ArrowRight: 'ArrowRight', ArrowDown: 'ArrowDown',
                  ArrowUp: 'ArrowUp', Delete: 'Delete' };
  return {
    goto: (url) => page.goto(url),
    reload: () => page.reload(),
    type: (text) => page.keyboard.type(text),
    press: (key) => page.keyboard.press(names[key]),
    control: async (key) => { await page.keyboard.down('Control'); await page.keyboard.press(key); await page.keyboard.up('Control'); },
    click: (css) => page.click(css),
    rightClick: (css) => page.click(css, { button: 'right' }),
    read: (body) => page.evaluate(`(async () => { ${body} })()`),
    open: openWith,
    close: () => browser.close(),
  };
}

async function webkitDriver(downloads) {
  const port = await freePort();
  // MiniBrowser saves downloads in its home folder: a scratch one.
  const server = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env: { ...process.env, HOME: downloads } });
  await sleep(800);
  const driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
    browserName: 'MiniBrowser',
    'webkitgtk:browserOptions': { binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'] },
    // The leave question of a changed listing is answered yes.
    unhandledPromptBehavior: 'accept',
  }).build();
  await driver.manage().window().setRect({ width: 1280, height: 900 });
  const keys = { Enter: Key.ENTER, Escape: Key.ESCAPE, F10: Key.F10, ArrowRight: Key.ARROW_RIGHT, ArrowDown: Key.ARROW_DOWN,
                 ArrowUp: Key.ARROW_UP, Delete: Key.DELETE };
  return {
    goto: (url) => driver.get(url),
    reload: () => driver.navigate().refresh(),
    type: (text) => driver.actions().sendKeys(text).perform(),
    press: (key) => driver.actions().sendKeys(keys[key]).perform(),
    control: (key) => driver.actions().keyDown(Key.CONTROL).sendKeys(key).keyUp(Key.CONTROL).perform(),
    click: async (css) => driver.findElement({ css }).click(),
    rightClick: async (css) => driver.actions().contextClick(await driver.findElement({ css })).perform(),
    read: (body) => driver.executeScript(`return (async () => { ${body} })()`),
    // The file goes to the input the page has just clicked, as the
    // engine's file chooser would give it.
    open: async (command, file) => {
      await command();
      await driver.executeScript('document.getElementById("file-input").hidden = false');
      await driver.findElement({ css: '#file-input' }).sendKeys(file);
      await driver.executeScript('document.getElementById("file-input").hidden = true');
    },
    // Composes a character with GTK's own input method, through real X
    // key presses: Ctrl+Shift+U, its code's hex digits, space.
    compose: async (code) => {
      const win = execFileSync('xdotool', ['search', '--onlyvisible', '--class', 'MiniBrowser']).toString().trim().split('\n').pop();
      execFileSync('xdotool', ['windowfocus', '--sync', win]);
      for (const k of ['ctrl+shift+u', ...code.toString(16), 'space']) {
        execFileSync('xdotool', ['key', '--clearmodifiers', k]);
        await sleep(120);
      }
    },
    close: async () => { await driver.quit(); server.kill(); },
  };
}

// The editor's lines as typed: a swatch's widget adds nothing to them.
const LINES = 'Array.from(document.querySelectorAll(".cm-content .cm-line"), (l) => l.textContent).join("\\n")';

const ENGINES = { chromium: chromiumDriver, firefox: firefoxDriver, webkit: webkitDriver };

const until = async (d, condition, ms = 10000) => {
  for (const end = Date.now() + ms; Date.now() < end; await sleep(50))
    if (await d.read(`return ${condition}`)) return true;
  return false;
};

async function session(engine, d, url, stop) {
  const checkIn = (ok, what) => check(engine, ok, what);
  await d.goto(url);
  checkIn(await until(d, 'window.kuvReady === true', 20000), 'the page starts');

  // A command from the menu bar, by the keyboard: F10, along the bar, down
  // the menu, Enter.
  const command = async (entry, item = 0) => {
    await d.press('F10');
    for (let i = 0; i < entry; i++) await d.press('ArrowRight');
    for (let i = 0; i < item; i++) await d.press('ArrowDown');
    await d.press('Enter');
  };
  const typeListing = async (listing) => {
    await d.click('.cm-content');
    await d.control('a');
    await d.press('Delete');
    for (const [i, line] of listing.split('\n').entries()) {
      if (i) await d.press('Enter');
      await d.type(line);
    }
  };
  const run = async (listing) => {
    await typeListing(listing);
    const runs = await d.read('return window.kuvRuns');
    await command(1);
    await until(d, `window.kuvRuns > ${runs}`);
  };
  const canvasDigest = () => d.read(`
    const data = document.getElementById('picture').getContext('2d').getImageData(0, 0, 641, 481).data;
    const hash = await crypto.subtle.digest('SHA-256', data);
    return Array.from(new Uint8Array(hash), (b) => b.toString(16).padStart(2, '0')).join('');`);

  const good = '  rem (a [b "c\nbox 120 60 360 240 0\nline 100 240 240 360 2\ncircle 520 390 50 3\npaint 520 390 6 3\n' +
               'text 420 120 4 KUV 1.4\nend';
  await run(good);
  const runMs = await d.read('return window.kuvRunMs');
  checkIn(await canvasDigest() === pictureDigest(good), 'a typed listing run from 描画実行 gives kuv-render\'s Picture');
  const text = await d.read('return document.querySelector(".cm-content").innerText');
  checkIn(text.startsWith('REM (A [B "C\nBOX 120 60 360 240 0'), `the editor shows the rewritten listing (${JSON.stringify(text.slice(0, 24))})`);

  // After a command chosen with Enter, moving along the bar opens no menu.
  await d.read('document.getElementById("run").focus()');
  await d.press('ArrowRight');
  const opened = await d.read('return document.getElementById("menu-picture").getAttribute("aria-expanded")');
  checkIn(opened !== 'true', 'after 描画実行 from the keyboard, Right on the bar opens no menu');
  await d.press('Escape');

  // F10 opens the first menu, with its first item under the keyboard.
  await d.click('.cm-content');
  await d.press('F10');
  const menu = await d.read('return [document.getElementById("menu-file").getAttribute("aria-expanded"), document.activeElement.id]');
  checkIn(menu[0] === 'true' && menu[1] === 'open', `F10 opens ファイル at 開　　く (${menu})`);
  await d.press('Escape');
  await d.press('Escape');

  // The exports, as downloads, are kuv-render's bytes.
  const downloads = d.downloads;
  for (const [item, kind] of [[0, 'bmp'], [1, 'jpg']]) {
    const name = `engine-${engine}.${kind}`;
    fs.rmSync(path.join(downloads, name), { force: true });
    await d.click('.cm-content');
    await command(2, item);
    await until(d, 'document.getElementById("name-dialog").open');
    await d.control('a');
    await d.type(`engine-${engine}`);
    await d.press('Enter');
    const bytes = await waitForFile(downloads, name);
    checkIn(bytes.length > 0 && Buffer.compare(bytes, rendered(good, kind).bytes) === 0,
            `${kind === 'bmp' ? 'BMP保存' : 'JPG保存'} downloads kuv-render's bytes (${bytes.length} bytes)`);
  }

  // A file opened and saved again keeps every byte, those that are no
  // text among them.
  const original = Buffer.from('52454d2082a082a22080fd822041210d0a424f58203120312039203920320d0a', 'hex');
  const source = path.join(out, `engine-${engine}-source.kuv`);
  fs.writeFileSync(source, original);
  await d.click('.cm-content');
  await d.open(() => command(0, 0), source);
  const opened2 = await until(d, `document.getElementById('file').value === 'engine-${engine}-source.kuv'`);
  await d.read('document.querySelector(".cm-content").focus()');
  await command(0, 2);
  await until(d, 'document.getElementById("name-dialog").open');
  await d.control('a');
  await d.type(`engine-${engine}-kept`);
  await d.press('Enter');
  const kept = await waitForFile(downloads, `engine-${engine}-kept.kuv`);
  checkIn(opened2 && Buffer.compare(kept, original) === 0, `a file opened and saved again keeps every byte (${kept.toString('hex')})`);


  // The error dialog: kuv-render's error line.
  const faulty = 'box 1 1 9 9 2\ncircle 100 100';
  await run(faulty);
  const dialog = await d.read('return document.getElementById("errors").open && document.getElementById("error-log").textContent.trim()');
  checkIn(dialog === rendered(faulty, 'bmp').error, `the ＫＵＶエラー dialog shows kuv-render's error line (${JSON.stringify(dialog)})`);
  await d.press('Escape');

  // The live mark on a faulty line once it is left.
  await typeListing('line 0 0 700 0 1');
  await d.press('Enter');
  checkIn(await until(d, '!!document.querySelector(".cm-lintRange-error")', 5000), 'a faulty line left is marked');

  // Composed right after a colour number, beside its swatch: the
  // composition starts once and commits exactly what was composed.
  if (d.compose) {
    await d.press('Enter');
    await d.type('TEXT 10 100 2');
    await d.read(`window.kuvCompositions = 0;
      document.querySelector('.cm-content').addEventListener('compositionstart', () => window.kuvCompositions++);`);
    await d.compose(0x4eee);
    await sleep(400);
    const composed = await d.read('return [window.kuvCompositions, Array.from(document.querySelectorAll(".cm-line")).pop().textContent]');
    checkIn(composed[0] === 1 && composed[1] === 'TEXT 10 100 2仮',
            `composing with the input method beside a swatch starts once and commits exactly (${JSON.stringify(composed)})`);
  }

  // リンクをコピー from the Picture's menu: the link kuv-render --link
  // prints for the file, in every engine alike.
  await d.open(() => command(0, 0), source);
  await until(d, `document.getElementById('file').value === 'engine-${engine}-source.kuv'`);
  await d.rightClick('#picture');
  await until(d, '!document.getElementById("picture-menu").hidden');
  await d.click('#make-link');
  await until(d, 'document.getElementById("link-dialog").open');
  const made = await d.read('return [document.getElementById("link-text").value, location.href]');
  const printed = execFileSync(render, ['--link', made[1], source]).toString().trim();
  checkIn(made[0] === printed, `リンクをコピー makes kuv-render --link's link, byte for byte (${made[0].length} characters)`);
  const status = await d.read('return document.getElementById("link-status").textContent');
  checkIn(status.startsWith('リンクをコピーしました'), `the click puts the link on the clipboard (${status})`);
  await d.press('Escape');
  // The link opened in the tab gives the same listing, its fragment gone.
  const linked = await d.read(`return ${LINES}`);
  await d.goto(made[0]);
  const openedLink = await until(d, 'window.kuvLinksOpened === 1');
  const afterLink = await d.read(`return [${LINES}, location.hash, document.getElementById('file').value]`);
  checkIn(openedLink && afterLink[0] === linked && afterLink[1] === '' && afterLink[2] === 'noname.kuv',
          `the link opens its listing as noname.kuv, the fragment gone (${JSON.stringify(afterLink.slice(1))})`);

  // A reload keeps the listing; so does a reload with the server gone,
  // from the page's offline copy.
  await d.type('REM kept');
  const before = await d.read(`return ${LINES}`);
  await until(d, 'window.kuvOffline === true', 10000);
  await sleep(400);
  await d.reload();
  await until(d, 'window.kuvReady === true', 20000);
  checkIn(await d.read(`return ${LINES}`) === before, 'a reload keeps the listing');
  await stop();
  await d.reload();
  const offline = await until(d, 'window.kuvReady === true', 20000);
  checkIn(offline && await d.read(`return ${LINES}`) === before,
          'a reload with the server gone still works, listing and all');

  const problems = await d.read('return window.kuvProblems');
  checkIn(problems.length === 0, `nothing went wrong in the page (${JSON.stringify(problems)})`);
  return runMs;
}

(async () => {
  const times = {};
  for (const engine of only.length ? only : Object.keys(ENGINES)) {
    const { url, server } = await serveSite(site);
    const sockets = new Set();
    server.on('connection', (s) => { sockets.add(s); s.on('close', () => sockets.delete(s)); });
    const stop = () => new Promise((resolve) => { server.close(resolve); for (const s of sockets) s.destroy(); });
    const downloads = fs.mkdtempSync(path.join(out, `downloads-${engine}-`));
    let d;
    try {
      d = await ENGINES[engine](downloads);
      d.downloads = downloads;
      times[engine] = await session(engine, d, url, stop);
    } catch (e) {
      check(engine, false, `the session ran to its end (${e.message})`);
    } finally {
      if (d) await d.close().catch(() => {});
      server.close();
    }
  }
  if (times.chromium)
    for (const [engine, ms] of Object.entries(times))
      console.log(`run of the typed listing, whole command: ${engine} ${ms.toFixed(1)} ms (${(ms / times.chromium).toFixed(2)}× Chromium)`);
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures ? 1 : 0);
})();

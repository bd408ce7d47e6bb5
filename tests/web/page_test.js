// The page in headless Chromium, with real typing, clicks and keys: a
// listing typed into the editor and run from 描画実行 gives kuv-render's
// Picture, rewritten in the editor, and the BMP and JPG exports give its
// bytes; a faulty one shows kuv-render's error line in the ＫＵＶエラー
// dialog; a file opened and saved again keeps every byte; a reload keeps
// the listing. Screenshots at 1280 and 390 pixels. The browser's own file
// pickers cannot be answered by a test, so the page runs here as it does
// in browsers without them: <input type=file> and downloads.
// Every listing of CORPUS_DIR, opened and run in the page, gives
// kuv-render's Picture.
//   node page_test.js SITE_DIR KUV_RENDER CHROMIUM OUT_DIR CORPUS_DIR
const puppeteer = require('puppeteer-core');
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { serveSite, CHROMIUM_ARGS } = require('./site_server.js');

const [siteArg, render, chromium, out, corpus] = process.argv.slice(2);
fs.mkdirSync(out, { recursive: true });
const site = path.resolve(siteArg);
let failures = 0, passes = 0;
const check = (ok, what) => {
  console.log((ok ? 'ok    ' : 'FAIL  ') + what);
  ok ? passes++ : failures++;
};

// kuv-render's Picture as RGBA rows from the top, its error line, and its
// BMP and JPEG files (libjpeg on its C path).
function reference(listing) {
  const file = path.join(out, 'page-listing.kuv');
  fs.writeFileSync(file, Buffer.from(listing.replace(/\n/g, '\r\n'), 'latin1'));
  return referenceOf(file);
}

function referenceOf(file) {
  const picture = (format) => {
    try {
      return { bytes: execFileSync(render, ['-o', '-', '--format', format, file], {
        maxBuffer: 1 << 24, stdio: ['ignore', 'pipe', 'pipe'], env: { ...process.env, JSIMD_FORCENONE: '1' } }), error: '' };
    } catch (e) {
      return { bytes: e.stdout, error: e.stderr.toString().trim() };
    }
  };
  const { bytes: bmp, error } = picture('bmp');
  const rgba = Buffer.alloc(641 * 481 * 4);
  for (let row = 0; row < 481; row++)
    for (let x = 0; x < 641; x++) {
      const s = 54 + ((480 - row) * 641 + x) * 4, d = (row * 641 + x) * 4;
      rgba[d] = bmp[s + 2]; rgba[d + 1] = bmp[s + 1]; rgba[d + 2] = bmp[s]; rgba[d + 3] = 255;
    }
  return { rgba, error, bmp, jpg: picture('jpg').bytes };
}

// kuv-render --check --json on a listing: its problems, explained.
function explained(listing) {
  const file = path.join(out, 'page-check.kuv');
  fs.writeFileSync(file, Buffer.from(listing.replace(/\n/g, '\r\n'), 'latin1'));
  let json;
  try {
    json = execFileSync(render, ['--check', '--json', file]);
  } catch (e) {
    json = e.stdout;
  }
  return JSON.parse(json.toString());
}

// kuv-render --describe --json on a listing: its Picture in words.
function describedAs(listing) {
  const file = path.join(out, 'page-describe.kuv');
  fs.writeFileSync(file, Buffer.from(listing.replace(/\n/g, '\r\n'), 'latin1'));
  return JSON.parse(execFileSync(render, ['--describe', '--json', file]).toString());
}

const waitForFile = async (file) => {
  for (let i = 0; i < 50 && !fs.existsSync(file); i++) await new Promise((r) => setTimeout(r, 100));
  await new Promise((r) => setTimeout(r, 100));
  return fs.existsSync(file) ? fs.readFileSync(file) : Buffer.alloc(0);
};

serveSite(site).then(async ({ url, server }) => {
  const browser = await puppeteer.launch({
    executablePath: chromium, headless: true,
    args: CHROMIUM_ARGS,
  });
  try {
    const page = await browser.newPage();
    const foreign = [];
    page.on('request', (r) => { if (!r.url().startsWith(url) && !r.url().startsWith('data:')) foreign.push(r.url()); });
    page.on('pageerror', (e) => check(false, 'no error in the page: ' + e.message));
    await page.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; delete window.showSaveFilePicker; });
    const asked = [];
    page.on('dialog', (d) => { asked.push(d.type()); d.accept(); });
    await page.setViewport({ width: 1280, height: 900 });
    await page.goto(url);
    const withControl = async (key) => {
      await page.keyboard.down('Control');
      await page.keyboard.press(key);
      await page.keyboard.up('Control');
    };
    // A command from the menu bar, by the keyboard: F10 (which opens the
    // first menu), along the bar, down the menu to the item, Enter.
    const command = async (entry, item = 0) => {
      await page.keyboard.press('F10');
      for (let i = 0; i < entry; i++) await page.keyboard.press('ArrowRight');
      for (let i = 0; i < item; i++) await page.keyboard.press('ArrowDown');
      await page.keyboard.press('Enter');
    };
    await page.waitForFunction('window.kuvReady === true', { timeout: 10000 });
    const run = async (listing) => {
      await page.click('.cm-content');
      await withControl('a');
      await page.keyboard.press('Delete');
      // Typed line by line: the editor indents nothing, closes no bracket.
      for (const [i, line] of listing.split('\n').entries()) {
        if (i) await page.keyboard.press('Enter');
        await page.keyboard.type(line);
      }
      const runs = await page.evaluate('window.kuvRuns');
      await command(1);
      await page.waitForFunction(`window.kuvRuns > ${runs}`, { timeout: 10000 });
      const rgba = Buffer.from(await page.evaluate(() =>
        Array.from(document.getElementById('picture').getContext('2d').getImageData(0, 0, 641, 481).data)));
      return { rgba, text: await page.evaluate(() => document.querySelector('.cm-content').innerText),
               dialog: await page.evaluate(() => document.getElementById('errors').open ?
                   document.getElementById('error-log').textContent.trim() : '') };
    };

    const good = '  rem (a [b "c\nbox 120 60 360 240 0\nline 100 240 240 360 2\ncircle 520 390 50 3\npaint 520 390 6 3\n' +
                 'text 420 120 4 KUV 1.4\nend';
    const shown = await run(good);
    const expected = reference(good);
    check(Buffer.compare(shown.rgba, expected.rgba) === 0, 'a typed listing run from 描画実行 gives kuv-render\'s Picture');
    check(shown.text.startsWith('REM (A [B "C\nBOX 120 60 360 240 0'),
          `the editor shows the rewritten listing of what was typed (${JSON.stringify(shown.text.slice(0, 30))})`);
    check(shown.dialog === '', 'a clean run shows no error dialog');

    // The Picture's aids, with the mouse: the tooltip names the point and
    // the line that painted it; the context menu goes to that line; a
    // double-click inserts the point.
    const box = await page.$eval('#picture', (c) => { const r = c.getBoundingClientRect(); return { x: r.left, y: r.top, w: r.width }; });
    check(box.w === 641, `the Picture stands one for one, 641 CSS pixels wide (${box.w})`);
    const at = (x, y) => [box.x + ((x + 0.5) * box.w) / 641, box.y + ((480 - y + 0.5) * box.w) / 641];
    await page.mouse.move(...at(200, 60));
    const tipText = await page.waitForFunction(() => !document.getElementById('tip').hidden && document.getElementById('tip').textContent)
      .then((h) => h.jsonValue(), () => '');
    check(tipText === 'x 200  y 60  色 0 (黒)\n2行 四角: BOX 120 60 360 240 0', `the tooltip names the point and its line (${JSON.stringify(tipText)})`);
    await page.mouse.click(...at(200, 60), { button: 'right' });
    await page.waitForSelector('#picture-menu:not([hidden])');
    await page.keyboard.press('Enter');
    const selected = await page.evaluate(() => [window.getSelection().toString(), document.getElementById('line').value]);
    check(selected[0] === 'BOX 120 60 360 240 0' && selected[1] === '2', `この点をかいた行へ移動 selects the line (${selected})`);
    await page.keyboard.press('End');
    await page.mouse.click(...at(10, 470), { clickCount: 2 });
    const inserted = await page.waitForFunction(() => document.querySelectorAll('.cm-line')[1].textContent !== 'BOX 120 60 360 240 0' &&
      document.querySelectorAll('.cm-line')[1].textContent, { timeout: 3000 }).then((h) => h.jsonValue(), () => '');
    check(inserted === 'BOX 120 60 360 240 0 10 470', `a double-click inserts the point (${JSON.stringify(inserted)})`);
    await withControl('z');
    // The hint: none until a statement's word and its space are typed on
    // a line; then beside the text, over no character of that line or of
    // the lines above and below it; gone once the caret only moves.
    const hintShown = () => page.evaluate(() => !document.getElementById('hint').hidden && document.getElementById('hint').textContent);
    await page.click('.cm-content');
    await withControl('End');
    check(!(await hintShown()), 'no hint when the caret only moves');
    await page.keyboard.press('Enter');
    await page.keyboard.type('ARC ');
    const arcHint = await page.waitForFunction(() => !document.getElementById('hint').hidden && document.getElementById('hint').textContent,
      { timeout: 3000 }).then((h) => h.jsonValue(), () => '');
    const covered = await page.evaluate(() => {
      const hint = document.getElementById('hint').getBoundingClientRect();
      const lines = Array.from(document.querySelectorAll('.cm-line')).slice(-3);
      const hits = [];
      for (const line of lines) {
        const range = document.createRange();
        range.selectNodeContents(line);
        for (const r of range.getClientRects())
          if (r.width && r.left < hint.right && r.right > hint.left && r.top < hint.bottom && r.bottom > hint.top) hits.push(line.textContent);
      }
      return hits;
    });
    check(arcHint === 'ARC x y 半径 開始角 終了角 色 — x: 0〜640' && covered.length === 0,
          `typing ARC and its space shows its hint, over no character nearby (${JSON.stringify(arcHint)}, covering ${JSON.stringify(covered)})`);
    await page.keyboard.press('ArrowUp');
    check(await page.waitForFunction(() => document.getElementById('hint').hidden, { timeout: 3000 }).then(() => true, () => false),
          'the hint goes when the caret leaves the line');
    await withControl('z');
    // Japanese composed right after a colour number, beside its swatch:
    // the composition starts once and commits exactly what was composed.
    await page.click('.cm-content');
    await withControl('End');
    await page.keyboard.press('Enter');
    await page.keyboard.type('TEXT 10 100 2 ');
    await page.evaluate(() => {
      window.kuvCompositions = 0;
      document.querySelector('.cm-content').addEventListener('compositionstart', () => window.kuvCompositions++);
    });
    const ime = await page.createCDPSession();
    for (const text of ['k', 'か', 'かr', 'かり']) {
      await ime.send('Input.imeSetComposition', { text, selectionStart: text.length, selectionEnd: text.length });
      await new Promise((r) => setTimeout(r, 120));
    }
    await ime.send('Input.insertText', { text: '仮' });
    await new Promise((r) => setTimeout(r, 300));
    const composed = await page.evaluate(() => [window.kuvCompositions, Array.from(document.querySelectorAll('.cm-line')).pop().textContent]);
    check(composed[0] === 1 && composed[1] === 'TEXT 10 100 2 仮',
          `composing beside a swatch starts once and commits exactly (${JSON.stringify(composed)})`);
    await withControl('z');
    // A faulty line typed and left: the live check marks it with Run's line.
    await page.click('.cm-content');
    await withControl('Home');
    await page.keyboard.type('circle 100 100 400 1');
    await page.keyboard.press('Enter');
    const marked = await page.waitForSelector('.cm-lintRange-error', { timeout: 5000 }).then(() => true, () => false);
    await page.hover('.cm-lintRange-error').catch(() => {});
    const tip = await page.waitForSelector('.cm-diagnostic-error', { timeout: 5000 })
      .then((e) => e.evaluate((n) => n.textContent), () => '');
    check(marked && tip.startsWith('  1行："400"は範囲外の数字です\n' + explained('circle 100 100 400 1')[0].explanation),
          `a faulty line is marked with Run's message and what it means (${JSON.stringify(tip)})`);
    await page.screenshot({ path: path.join(out, 'page-1280.png') });
    // The pointer leaves the mark, and its tip goes.
    await page.mouse.move(1, 890);
    await page.waitForSelector('.cm-diagnostic-error', { hidden: true, timeout: 5000 }).catch(() => {});

    const downloads = fs.mkdtempSync(path.join(out, 'downloads-'));
    const session = await browser.target().createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    // The exports, by mouse: 画像保存, then the item; the name as proposed.
    for (const [item, format] of [['#bmp', 'bmp'], ['#jpg', 'jpg']]) {
      await page.click('#menu-picture');
      await page.click(item);
      await page.waitForSelector('#name-dialog[open]');
      await page.click('#name-ok');
      const written = await waitForFile(path.join(downloads, `noname.${format}`));
      check(Buffer.compare(written, expected[format]) === 0, `${format.toUpperCase()}保存 writes kuv-render's bytes`);
    }

    // Open, then 上書き保存: the same bytes, those that are not text too.
    const original = Buffer.concat([Buffer.from('REM '), Buffer.from([0x82, 0xa0, 0x82, 0xa2, 0x20, 0x80, 0xfd, 0x82, 0x20, 0x41, 0x0d, 0x0a]),
                                     Buffer.from('BOX 1 1 9 9 2\r\n')]);
    const opened = path.join(out, 'page-opened.kuv');
    fs.writeFileSync(opened, original);
    const [chooser] = await Promise.all([page.waitForFileChooser(), command(0, 0)]);
    await chooser.accept([opened]);
    await page.waitForFunction(() => document.getElementById('file').value === 'page-opened.kuv', { timeout: 5000 });
    await command(0, 1);
    const saved = await waitForFile(path.join(downloads, 'page-opened.kuv'));
    check(Buffer.compare(saved, original) === 0, 'a file opened and saved again keeps every byte');
    const told = await page.waitForSelector('#message[open]', { timeout: 5000 }).then(
      () => page.evaluate(() => document.getElementById('message-text').textContent), () => '');
    check(told === '上書き保存をしました', `上書き保存 says so in a ＫＵＶ box (${JSON.stringify(told)})`);
    await page.keyboard.press('Enter');
    // Where the browser can write a file back in place, 上書き保存 does: a
    // real file handle (in the page's private file system, as no test can
    // answer the browser's picker) given to 開　　く.
    const inPlace = await page.evaluate(async (bytes) => {
      const root = await navigator.storage.getDirectory();
      const handle = await root.getFileHandle('in-place.kuv', { create: true });
      const w = await handle.createWritable();
      await w.write(new Uint8Array(bytes));
      await w.close();
      window.showOpenFilePicker = async () => [handle];
      return true;
    }, Array.from(original));
    await command(0, 0);
    await page.waitForFunction(() => document.getElementById('file').value === 'in-place.kuv', { timeout: 5000 });
    await page.click('.cm-content');
    await withControl('Home');
    await page.keyboard.press('End');
    await page.keyboard.type('!');
    await command(0, 1);
    await page.waitForSelector('#message[open]', { timeout: 5000 });
    await page.keyboard.press('Enter');
    const written = Buffer.from(await page.evaluate(async () => {
      const file = await (await (await navigator.storage.getDirectory()).getFileHandle('in-place.kuv')).getFile();
      delete window.showOpenFilePicker;
      return Array.from(new Uint8Array(await file.arrayBuffer()));
    }));
    const expectedInPlace = Buffer.concat([original.subarray(0, original.indexOf(0x0d)), Buffer.from('!'), original.subarray(original.indexOf(0x0d))]);
    check(inPlace && Buffer.compare(written, expectedInPlace) === 0,
          `上書き保存 writes an opened file back in place (${written.toString('hex')})`);

    // Changed and not saved: leaving asks first.
    await page.click('.cm-content');
    await page.keyboard.type('REM ');
    await page.reload();
    check(asked.includes('beforeunload'), 'leaving with unsaved changes asks first');
    await page.waitForFunction('window.kuvReady === true', { timeout: 10000 });
    const again = await page.evaluate(() => document.querySelector('.cm-content').innerText);
    check(again.includes('REM あい '), `a reload keeps the listing (${JSON.stringify(again.slice(0, 12))})`);
    // Every control, as assistive tools see it, has a name.
    const cdp = await page.target().createCDPSession();
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const controls = new Set(['button', 'menuitem', 'menuitemcheckbox', 'textbox', 'img', 'menubar', 'menu', 'dialog', 'link']);
    const unnamed = nodes.filter((n) => !n.ignored && controls.has(n.role?.value) && !n.name?.value).map((n) => n.role.value);
    const named = nodes.filter((n) => !n.ignored && controls.has(n.role?.value)).length;
    check(named > 8 && unnamed.length === 0, `every control of ${named} has an accessible name (unnamed: ${unnamed.join(', ')})`);
    const { installabilityErrors } = await (await page.target().createCDPSession()).send('Page.getInstallabilityErrors');
    check(installabilityErrors.length === 0, `the page can be installed as an app (${JSON.stringify(installabilityErrors)})`);
    // With the network off, the page comes back from what the first visit kept.
    await page.waitForFunction('window.kuvOffline === true', { timeout: 10000 });
    await page.setOfflineMode(true);
    await page.reload();
    const offline = await page.waitForFunction('window.kuvReady === true', { timeout: 10000 }).then(() => true, () => false);
    check(offline, 'a reload with the network off still works');
    await page.setOfflineMode(false);

    // The input method left on: the mark explains it, its action mends the
    // line, and the mended listing runs as kuv-render runs it.
    await page.click('.cm-content');
    await withControl('a');
    await page.keyboard.press('Delete');
    await page.keyboard.type('ＬＩＮＥ　１０　１０　２０　２０　１');
    await page.keyboard.press('Enter');
    await page.keyboard.type('LINE 5 5 5 5 1');
    await page.keyboard.press('Enter');
    await page.waitForSelector('.cm-lintRange-error', { timeout: 5000 }).catch(() => {});
    await page.hover('.cm-lintRange-error').catch(() => {});
    const fixTip = await page.waitForSelector('.cm-diagnostic-error', { timeout: 5000 })
      .then((e) => e.evaluate((n) => n.textContent), () => '');
    check(fixTip.includes('全角の文字「Ｌ」が入っています。') && fixTip.endsWith('直す: LINE 10 10 20 20 1'),
          `the full-width line's mark explains it and offers its fix (${JSON.stringify(fixTip)})`);
    await page.screenshot({ path: path.join(out, 'page-fix.png') });
    await page.click('.cm-diagnosticAction').catch(() => {});
    const mended = await page.evaluate(() => Array.from(document.querySelectorAll('.cm-line'), (l) => l.textContent).join('\n'));
    check(mended.startsWith('LINE 10 10 20 20 1\nLINE 5 5 5 5 1'), `直す puts the fixed line in its place (${JSON.stringify(mended.slice(0, 40))})`);
    const warned = await page.waitForSelector('.cm-lintRange-warning', { timeout: 5000 }).then(() => true, () => false);
    await page.hover('.cm-lintRange-warning').catch(() => {});
    const warning = await page.waitForSelector('.cm-diagnostic-warning', { timeout: 5000 })
      .then((e) => e.evaluate((n) => n.textContent), () => '');
    check(warned && warning.startsWith('始点と終点が同じなので、線は描かれません'), `a LINE to its own start has a warning mark (${JSON.stringify(warning)})`);
    const fixedRuns = await page.evaluate('window.kuvRuns');
    await command(1);
    await page.waitForFunction(`window.kuvRuns > ${fixedRuns}`, { timeout: 10000 });
    const fixedPixels = Buffer.from(await page.evaluate(() =>
      Array.from(document.getElementById('picture').getContext('2d').getImageData(0, 0, 641, 481).data)));
    check(Buffer.compare(fixedPixels, reference('LINE 10 10 20 20 1\nLINE 5 5 5 5 1').rgba) === 0 &&
          !(await page.evaluate(() => document.getElementById('errors').open)),
          'the mended listing runs clean and gives kuv-render\'s Picture');

    const faulty = 'line 0 0 640 480 2\nbox 1 1 700 2 1';
    const failed = await run(faulty);
    check(failed.dialog === reference(faulty).error,
          `the ＫＵＶエラー dialog shows kuv-render's error line (${JSON.stringify(failed.dialog)})`);
    const beneath = await page.evaluate(() => document.getElementById('error-explanation').textContent);
    check(beneath === explained(faulty).find((p) => p.run_line === 2).explanation,
          `the ＫＵＶエラー dialog explains the line beneath it, as kuv-render --check does (${JSON.stringify(beneath)})`);
    // The Picture in words: told by the live region after a run, and
    // 絵の説明's list in the accessibility tree, as kuv-render --describe
    // words it; choosing a row puts the caret on its line.
    const drawn = 'BOX 100 100 300 300 1\nREM\nCIRCLE 200 200 50 2';
    await run(drawn);
    const described = describedAs(drawn);
    const announced = await page.evaluate(() => {
      const a = document.getElementById('announce');
      return { text: a.textContent, live: a.getAttribute('aria-live') };
    });
    check(announced.live === 'polite' && announced.text.startsWith(described.summary + ' 前の実行から'),
          `the live region tells the Picture's summary and what changed (${JSON.stringify(announced.text)})`);
    await page.click('#picture', { button: 'right', offset: { x: 600, y: 20 } });
    await page.waitForSelector('#picture-menu:not([hidden])');
    await page.click('#show-words');
    await page.waitForSelector('#words[open] #words-items button');
    const tree = await page.accessibility.snapshot({ interestingOnly: false });
    const findNode = (node, test) => test(node) ? node : (node.children || []).reduce((f, c) => f || findNode(c, test), null);
    const list = findNode(tree, (n) => n.role === 'list' && n.name === '絵の説明');
    const rows = list ? (list.children || []).map((item) => findNode(item, (n) => n.role === 'button')?.name) : [];
    check(rows.length === 2 && rows[0] === described.items[0].words && rows[1] === described.items[1].words,
          `絵の説明 is a list in the accessibility tree, a row per statement drawn (${JSON.stringify(rows)})`);
    await page.screenshot({ path: path.join(out, 'page-words.png') });
    await page.click('#words-items li:nth-child(2) button');
    const caretOn = await page.evaluate(() => document.getElementById('line').value);
    check(caretOn === '3', `choosing a row puts the caret on its line (${caretOn})`);
    await page.click('#close-words');

    // The corpus, each listing opened with 開　　く and run from 描画実行.
    const canvasPixels = async () => Buffer.from(await page.evaluate(() =>
      Array.from(document.getElementById('picture').getContext('2d').getImageData(0, 0, 641, 481).data)));
    const differing = [];
    const listings = fs.readdirSync(corpus).filter((f) => f.endsWith('.kuv')).sort();
    for (const name of listings) {
      const [chooser] = await Promise.all([page.waitForFileChooser(), command(0, 0)]);
      await chooser.accept([path.join(corpus, name)]);
      await page.waitForFunction((n) => document.getElementById('file').value === n, { timeout: 5000 }, name);
      const runs = await page.evaluate('window.kuvRuns');
      await command(1);
      await page.waitForFunction(`window.kuvRuns > ${runs}`, { timeout: 10000 });
      if (Buffer.compare(await canvasPixels(), referenceOf(path.join(corpus, name)).rgba) !== 0) differing.push(name);
    }
    check(listings.length > 40 && differing.length === 0,
          `${listings.length} listings opened and run in the page give kuv-render's Picture (differing: ${differing.join(' ')})`);

    await page.setViewport({ width: 390, height: 844, hasTouch: true, isMobile: true });
    // A change to a mobile view reloads the page.
    await page.waitForFunction('window.kuvReady', { timeout: 10000 });
    await page.keyboard.press('Escape');
    // A long press on the Picture shows the point.
    const small = await page.$eval('#picture', (c) => { const r = c.getBoundingClientRect(); return { x: r.left + 50, y: r.top + 50, scale: 641 / r.width }; });
    await page.touchscreen.touchStart(small.x, small.y);
    await new Promise((r) => setTimeout(r, 800));
    await page.touchscreen.touchEnd();
    const pressed = await page.evaluate(() => !document.getElementById('tip').hidden && document.getElementById('tip').textContent);
    const pressedAt = `x ${Math.floor(50 * small.scale)}  y ${480 - Math.floor(50 * small.scale)}  `;
    check((pressed || '').startsWith(pressedAt), `a long press shows the point (${JSON.stringify(pressed)})`);
    const before390 = await page.evaluate('window.kuvRuns');
    await page.click('#run');
    await page.waitForFunction(`window.kuvRuns > ${before390}`, { timeout: 10000 });
    await page.screenshot({ path: path.join(out, 'page-390.png'), fullPage: true });
    const wide = await page.evaluate(() => document.documentElement.scrollWidth);
    check(wide <= 390, `at 390 px nothing scrolls sideways (${wide} px)`);
    check(foreign.length === 0, `no request leaves the site (${foreign.join(' ')})`);

    // Two tabs keep two listings: a tab opened beside this one starts
    // afresh; once this one is closed, its listing comes back in the next
    // new tab, whatever the other tab typed meanwhile.
    const listingOf = (p) => p.evaluate(() => document.querySelector('.cm-content').innerText);
    const openTab = async () => {
      const tab = await browser.newPage();
      tab.on('dialog', (d) => d.accept());
      await tab.goto(url);
      await tab.waitForFunction('window.kuvReady === true', { timeout: 10000 });
      return tab;
    };
    const first = await listingOf(page);
    const second = await openTab();
    const fresh = await listingOf(second);
    await second.click('.cm-content');
    await second.keyboard.type('REM two ');
    await page.close({ runBeforeUnload: true });
    await second.keyboard.type('more');
    await new Promise((r) => setTimeout(r, 500));
    const third = await openTab();
    const back = await listingOf(third);
    await second.reload();
    await second.waitForFunction('window.kuvReady === true', { timeout: 10000 });
    const secondAgain = await listingOf(second);
    check(fresh.startsWith('REM\nEND') && back === first && secondAgain.includes('REM two more'),
          `two tabs keep two listings (${JSON.stringify([fresh.slice(0, 8), back.slice(0, 8), secondAgain.slice(0, 16)])})`);
  } finally {
    await browser.close();
    server.close();
  }
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures ? 1 : 0);
});

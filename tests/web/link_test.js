// Listings handed out as links, in headless Chromium with real clicks and
// keys: リンクをコピー in the Picture's menu copies the link that
// kuv-render --link prints for the same file, and shows its QR code, which
// zbarimg reads back as the link; the link opened in a new tab gives the
// same listing as noname.kuv, no fragment left in the address, and its Run
// gives kuv-render's Picture; the tab's earlier listing comes back in the
// next new tab; broken, cut and bomb links give their message and change
// nothing; a listing too long for a link is refused; in Firefox set to
// block site data, the page starts and a link says what it could not keep.
//   node link_test.js SITE_DIR KUV_RENDER CHROMIUM OUT_DIR
const puppeteer = require('puppeteer-core');
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const { serveSite, CHROMIUM_ARGS } = require('./site_server.js');

const [siteArg, render, chromium, outArg] = process.argv.slice(2);
const out = path.resolve(outArg);
fs.mkdirSync(out, { recursive: true });
let failures = 0, passes = 0;
const check = (ok, what) => {
  console.log((ok ? 'ok    ' : 'FAIL  ') + what);
  ok ? passes++ : failures++;
};

// A listing file in Shift_JIS, as a teacher's folder holds it.
function listingFile(name, text) {
  const file = path.join(out, name);
  fs.writeFileSync(file, execFileSync('python3', ['-c', 'import sys; sys.stdout.buffer.write(sys.stdin.read().encode("cp932"))'],
                                      { input: text.replace(/\n/g, '\r\n') }));
  return file;
}

const linkOf = (base, file) => execFileSync(render, ['--link', base, file]).toString().trim();

function pictureOf(file) {
  const bmp = execFileSync(render, ['-o', '-', '--format', 'bmp', file], { maxBuffer: 1 << 24 });
  const rgba = Buffer.alloc(641 * 481 * 4);
  for (let row = 0; row < 481; row++)
    for (let x = 0; x < 641; x++) {
      const s = 54 + ((480 - row) * 641 + x) * 4, d = (row * 641 + x) * 4;
      rgba[d] = bmp[s + 2]; rgba[d + 1] = bmp[s + 1]; rgba[d + 2] = bmp[s]; rgba[d + 3] = 255;
    }
  return rgba;
}

// The editor's lines as typed: a line's swatch widget adds nothing.
const listingOf = (tab) => tab.evaluate(() => Array.from(document.querySelectorAll('.cm-content .cm-line'), (l) => l.textContent).join('\n'));
const canvasPixels = async (tab) => Buffer.from(await tab.evaluate(() =>
  Array.from(document.getElementById('picture').getContext('2d').getImageData(0, 0, 641, 481).data)));
const messageOf = async (tab) => {
  await tab.waitForSelector('#message[open]', { timeout: 5000 });
  const text = await tab.$eval('#message-text', (e) => e.textContent);
  await tab.keyboard.press('Enter');
  return text;
};

serveSite(siteArg).then(async ({ url, server }) => {
  const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: CHROMIUM_ARGS });
  await browser.defaultBrowserContext().overridePermissions(url, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  const openTab = async (address = url) => {
    const tab = await browser.newPage();
    tab.on('dialog', (d) => d.accept());
    tab.on('pageerror', (e) => check(false, 'no error in the page: ' + e.message));
    await tab.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; delete window.showSaveFilePicker; });
    await tab.setViewport({ width: 1280, height: 900 });
    await tab.goto(address);
    await tab.waitForFunction('window.kuvReady === true', { timeout: 10000 });
    await tab.bringToFront();
    return tab;
  };
  // 開　　く from the menu bar, by the keyboard.
  const openFile = async (tab, file) => {
    const [chooser] = await Promise.all([tab.waitForFileChooser(), (async () => {
      await tab.keyboard.press('F10');
      await tab.waitForFunction(() => document.activeElement?.getAttribute('role') === 'menuitem', { timeout: 5000 })
        .catch(() => tab.screenshot({ path: path.join(out, 'link-menu-failed.png') }));
      await tab.keyboard.press('Enter');
    })()]);
    await chooser.accept([file]);
    await tab.waitForFunction((n) => document.getElementById('file').value === n, { timeout: 5000 }, path.basename(file));
  };
  // リンクをコピー from the Picture's context menu, with the mouse.
  const makeLink = async (tab) => {
    await tab.click('#picture', { button: 'right', offset: { x: 300, y: 200 } });
    await tab.waitForSelector('#picture-menu:not([hidden])');
    await tab.click('#make-link');
  };
  const typeInto = async (tab, text) => {
    await tab.click('.cm-content');
    await tab.keyboard.down('Control');
    await tab.keyboard.press('a');
    await tab.keyboard.up('Control');
    await tab.keyboard.press('Delete');
    for (const [i, line] of text.split('\n').entries()) {
      if (i) await tab.keyboard.press('Enter');
      await tab.keyboard.type(line);
    }
  };
  try {
    const task = listingFile('house-task.kuv',
      'REM 家をかこう\nBOX 200 200 440 400 1\nLINE 200 200 320 100 2\nLINE 320 100 440 200 2\nPAINT 300 300 6 1\n' +
      'TEXT 220 420 4 "わたしの家"\nEND\n');
    const teacher = await openTab();
    await openFile(teacher, task);
    const opened = await listingOf(teacher);
    await makeLink(teacher);
    await teacher.waitForSelector('#link-dialog[open]', { timeout: 5000 });
    const link = await teacher.$eval('#link-text', (e) => e.value);
    const copied = await teacher.evaluate(() => navigator.clipboard.readText());
    check(link.startsWith(`${url}#k=`) && copied === link, `リンクをコピー copies the link it shows (${link.length} characters)`);
    check(link === linkOf(teacher.url(), task), 'kuv-render --link prints the very link the page made, byte for byte');
    const focused = await teacher.evaluate(() => document.activeElement.id);
    check(focused === 'link-text', `the link has the keyboard, selected (${focused})`);
    await teacher.screenshot({ path: path.join(out, 'link-dialog.png') });
    const qr = await teacher.$('#link-qr');
    const side = await qr.evaluate((c) => c.getBoundingClientRect().width);
    await qr.screenshot({ path: path.join(out, 'link-qr.png') });
    const read = execFileSync('zbarimg', ['--raw', '-q', path.join(out, 'link-qr.png')]).toString().trim();
    check(read === link, `the QR code reads back as the link (${side} px wide)`);
    check(side >= 300, `the QR code is large enough to scan from a projected screen (${side} px)`);
    await teacher.keyboard.press('Escape');

    // A student's tab with unsaved work opens the link.
    const student = await openTab();
    const work = 'CIRCLE 320 240 100 4\nREM まだ保存していない';
    await typeInto(student, work);
    const before = await listingOf(student);
    await student.goto(link);
    await student.waitForFunction('window.kuvLinksOpened === 1', { timeout: 10000 });
    const told = await messageOf(student);
    check(told.includes('前のリスト'), `the student is told that the earlier listing is kept (${told})`);
    const got = { ...await student.evaluate(() => ({ hash: location.hash, name: document.getElementById('file').value })),
                  text: await listingOf(student) };
    check(got.text === opened, 'the link opens the same listing in another tab');
    check(got.hash === '' && got.name === 'noname.kuv', `as noname.kuv, the fragment gone from the address (${JSON.stringify(got.hash)}, ${got.name})`);
    const runs = await student.evaluate('window.kuvRuns');
    await student.click('#run');
    await student.waitForFunction(`window.kuvRuns > ${runs}`, { timeout: 10000 });
    check(Buffer.compare(await canvasPixels(student), pictureOf(task)) === 0, "its Run gives kuv-render's Picture of the file");
    await student.close();
    const next = await openTab();
    const back = await listingOf(next);
    check(back === before, `the earlier listing comes back in the next new tab (${JSON.stringify(back.slice(0, 24))})`);

    // Links that cannot be opened change nothing.
    const bomb = `${url}#k=${zlib.deflateRawSync(Buffer.alloc(3 << 20, 0x20)).toString('base64url')}`;
    const bad = [
      ['a cut link', link.slice(0, -25)],
      ['a link with a stray character', link.replace('#k=', '#k=%')],
      ['a link that inflates past 1 MB', bomb],
    ];
    for (const [what, address] of bad) {
      const shown = await listingOf(next), name = await next.$eval('#file', (e) => e.value);
      await next.goto(address);
      const message = await messageOf(next);
      const after = await listingOf(next);
      check(message.length > 10 && after === shown && name === (await next.$eval('#file', (e) => e.value)),
            `${what} gives its message and changes nothing (${message})`);
    }
    check(bomb.length < 8000, `the bomb link is short: ${bomb.length} characters for 3 MB`);

    // A listing whose link would pass 32,000 characters.
    let noise = '';
    for (let i = 0; noise.length < 150000; i++) noise += `REM ${(i * 2654435761) % 4294967296}${i * 7}\n`;
    const long = listingFile('long.kuv', noise);
    await openFile(next, long);
    await makeLink(next);
    const refused = await messageOf(next);
    check(refused.includes('32,000') && !(await next.$eval('#link-dialog', (d) => d.open)),
          `a listing too long for a link is refused with a message (${refused})`);

    // On a phone's screen the menu is moved up into the window, all its
    // items with it, リンクをコピー the last.
    const phone = await browser.newPage();
    await phone.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true });
    await phone.goto(url);
    await phone.waitForFunction('window.kuvReady === true', { timeout: 10000 });
    // A point 60 px above the window's bottom edge, the Picture scrolled
    // into view as far as it goes.
    const low = await phone.$eval('#picture', (c) => {
      c.scrollIntoView({ block: 'end' });
      const r = c.getBoundingClientRect();
      return { x: r.left + 100, y: Math.min(r.bottom - 2, innerHeight - 60) };
    });
    await phone.mouse.click(low.x, low.y, { button: 'right' });
    await phone.waitForSelector('#picture-menu:not([hidden])');
    const menu = await phone.$eval('#picture-menu', (m) => ({ bottom: m.getBoundingClientRect().bottom, height: innerHeight }));
    check(menu.bottom <= menu.height, `the Picture's menu stays in a phone's window (${menu.bottom} of ${menu.height} px)`);

    // Firefox set to block every site's data, as some schools set it: the
    // page starts and runs all the same; a link then says that the earlier
    // listing cannot be kept, and Ctrl+Z brings it back.
    const firefox = await puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
                                             protocol: 'webDriverBiDi', extraPrefsFirefox: { 'network.cookie.cookieBehavior': 2 } });
    try {
      const blocked = await firefox.newPage();
      await blocked.goto(url);
      const started = await blocked.waitForFunction('window.kuvReady === true', { timeout: 15000 }).then(() => true, () => false);
      check(started, 'with site data blocked, the page starts');
      if (started) {
        await typeInto(blocked, 'BOX 1 1 99 99 2');
        await blocked.goto(link);
        await blocked.waitForFunction('window.kuvLinksOpened === 1', { timeout: 10000 });
        const unkept = await messageOf(blocked);

        await blocked.keyboard.down('Control');
        await blocked.keyboard.press('z');
        await blocked.keyboard.up('Control');
        check(unkept.includes('Ctrl+Z') && (await listingOf(blocked)) === 'BOX 1 1 99 99 2',
              `with nowhere to keep it, the student is told and Ctrl+Z brings the earlier listing back (${unkept})`);
        const problems = await blocked.evaluate(() => window.kuvProblems);
        check(problems.length === 0, `and nothing goes wrong in the page (${JSON.stringify(problems)})`);
      }
    } finally {
      await firefox.close();
    }
  } finally {
    await browser.close();
    server.close();
  }
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures ? 1 : 0);
});

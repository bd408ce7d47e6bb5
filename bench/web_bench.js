// The browser edition's figures, in headless Chromium on localhost: the
// site's size gzipped, the time until the page is ready (editor usable,
// core loaded), the Run command on a 1,000-line mixed listing, on a
// 100,000-line listing beside native kuv-render, and on a first CIRCLE.
//   NODE_PATH=web/node_modules node bench/web_bench.js build-web/site build/app/kuv-render [/usr/bin/chromium]
const puppeteer = require('puppeteer-core');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { serveSite, CHROMIUM_ARGS } = require('../tests/web/site_server.js');
const zlib = require('zlib');

const [siteArg, render, chromium = '/usr/bin/chromium'] = process.argv.slice(2);
const site = path.resolve(siteArg);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'kuv-web-bench-'));
const median = (xs) => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];

function mixed(lines, seed) {
  let s = seed;
  // 32-bit arithmetic throughout (a product in floating point would lose
  // its low bits past 2^53); the high bits, which an LCG mixes best.
  const n = (hi) => { s = (Math.imul(s, 1103515245) + 12345) & 0x7fffffff; return (s >>> 8) % (hi + 1); };
  const out = [];
  for (let i = 0; i < lines; i++) {
    out.push([`LINE ${n(640)} ${n(480)} ${n(640)} ${n(480)} ${n(7)}`, `BOX ${n(640)} ${n(480)} ${n(640)} ${n(480)} ${n(7)}`,
              `CIRCLE ${n(640)} ${n(480)} ${n(100)} ${n(7)}`, `ARC ${n(640)} ${n(480)} ${n(100)} ${n(360)} ${n(360)} ${n(7)}`,
              `PAINT ${n(640)} ${n(480)} ${n(7)} ${n(7)}`, `PAINT24 ${n(640)} ${n(480)} ${n(255)} ${n(255)} ${n(255)}`,
              `TEXT ${n(600)} ${10 + n(470)} ${n(7)} KUV ${i}`, 'REM a comment'][i % 8]);
  }
  const file = path.join(scratch, `mixed-${lines}.kuv`);
  fs.writeFileSync(file, out.join('\r\n') + '\r\nEND\r\n');
  return file;
}

serveSite(site).then(async ({ url, server }) => {
  const gz = fs.readdirSync(site).reduce((sum, f) => sum + zlib.gzipSync(fs.readFileSync(path.join(site, f)), { level: 9 }).length, 0);
  console.log(`site, every file gzipped: ${(gz / 1e6).toFixed(2)} MB (target ≤ 3 MB)`);
  const browser = await puppeteer.launch({
    executablePath: chromium, headless: true,
    args: CHROMIUM_ARGS,
  });
  // A fresh page each time: a first visit (no cache), the FSA pickers
  // hidden so that a file input opens the listing.
  const fresh = async () => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; delete window.showSaveFilePicker; });
    await page.setCacheEnabled(false);
    await page.bringToFront();
    await page.setViewport({ width: 1280, height: 900 });
    await page.goto(url);
    await page.waitForFunction('window.kuvReady === true', { timeout: 20000 });
    return { page, context };
  };
  // [the whole Run command, the core's run, from the click to the frame
  // that shows the Picture], in ms.
  const run = async (page) => {
    const runs = await page.evaluate(() => {
      window.kuvShownAt = 0;
      document.getElementById('run').addEventListener('click', (e) => { window.kuvClickAt = e.timeStamp; },
        { capture: true, once: true });
      return window.kuvRuns;
    });
    await page.click('#run');
    await page.waitForFunction(`window.kuvRuns > ${runs} && window.kuvShownAt > 0`, { timeout: 120000 });
    return page.evaluate('[window.kuvRunMs, window.kuvCoreMs, window.kuvShownAt - window.kuvClickAt]');
  };
  // Opens the listing, lets the page settle as a user would take a moment,
  // then runs it.
  const runFile = async (page, file) => {
    // The chooser is watched for before the keys that open it.
    const choosing = page.waitForFileChooser();
    await page.click('#menu-file');
    await page.click('#open');
    const chooser = await choosing;
    await chooser.accept([file]);
    await page.waitForFunction((name) => document.getElementById('file').value === name, { timeout: 60000 }, path.basename(file));
    await new Promise((r) => setTimeout(r, 1500));
    return run(page);
  };
  try {
    const ready = [];
    for (let i = 0; i < 5; i++) {
      const { page, context } = await fresh();
      ready.push(await page.evaluate('window.kuvReadyMs'));
      await context.close();
    }
    console.log(`page ready: median ${median(ready).toFixed(0)} ms of ${ready.map((x) => x.toFixed(0)).join(', ')} (target ≤ 1000 ms)`);

    const circle = path.join(scratch, 'circle.kuv');
    // A radius that the page's own warm-up run does not draw.
    fs.writeFileSync(circle, 'CIRCLE 320 240 150 1\r\nEND\r\n');
    const firstCircle = [];
    for (let i = 0; i < 3; i++) {
      const { page, context } = await fresh();
      firstCircle.push(await runFile(page, circle));
      await context.close();
    }
    const figures = (runs) => `whole Run command median ${median(runs.map((r) => r[0])).toFixed(1)} ms, ` +
      `of which the core's run ${median(runs.map((r) => r[1])).toFixed(1)} ms; ` +
      `click to the Picture on screen ${median(runs.map((r) => r[2])).toFixed(1)} ms`;
    console.log(`first CIRCLE: ${figures(firstCircle)} (target ≤ 20 ms)`);

    const { page, context } = await fresh();
    const thousand = mixed(1000, 7);
    const times = [];
    times.push(await runFile(page, thousand));
    for (let i = 0; i < 6; i++) times.push(await run(page));
    console.log(`1,000-line mixed listing (its PAINTs fill most of the Picture): ${figures(times)}`);
    // The same statements without fills: what the page adds to the core.
    const shapes = path.join(scratch, 'shapes-1000.kuv');
    const shapeLines = fs.readFileSync(mixed(1400, 7), 'latin1').split('\r\n').filter((l) => l && !l.startsWith('PAINT'));
    fs.writeFileSync(shapes, shapeLines.slice(0, 1000).join('\r\n') + '\r\nEND\r\n', 'latin1');
    const shapeTimes = [await runFile(page, shapes)];
    for (let i = 0; i < 6; i++) shapeTimes.push(await run(page));
    console.log(`1,000-line listing without fills: ${figures(shapeTimes)} (target ≤ 50 ms)`);

    const big = mixed(100000, 11);
    const web = [], native = [];
    await runFile(page, big);
    for (let i = 0; i < 3; i++) {
      web.push((await run(page))[0]);
      const t0 = process.hrtime.bigint();
      execFileSync(render, ['-o', path.join(scratch, 'big.bmp'), big]);
      native.push(Number(process.hrtime.bigint() - t0) / 1e6);
    }
    const ratio = median(web) / median(native);
    console.log(`100,000-line listing: page ${median(web).toFixed(0)} ms, kuv-render ${median(native).toFixed(0)} ms, ` +
                `${ratio.toFixed(2)}× (target ≤ 2.5×)`);

    // The live checks with explanations of 100,000 pasted lines, one in ten
    // faulty, as the editor asks its worker for them: the request, the
    // core's checks and the answer back.
    const checkText = fs.readFileSync(big, 'latin1').split('\r\n').slice(0, 100000)
      .map((l, i) => (i % 10 === 5 ? l.replace(' ', '') : l)).join('\n');
    const checkMs = await page.evaluate(async (text) => {
      const worker = new Worker('worker.js');
      await new Promise((resolve) => { worker.onmessage = (e) => { if (e.data.ready) resolve(); }; });
      const times = [];
      let found = 0;
      for (let i = 0; i < 5; i++) {
        const t0 = performance.now();
        const answer = await new Promise((resolve) => { worker.onmessage = (e) => resolve(e.data); worker.postMessage({ id: i, op: 'check', text }); });
        times.push(performance.now() - t0);
        found = answer.found.length;
      }
      worker.terminate();
      return { times: times.sort((a, b) => a - b), found };
    }, checkText);
    console.log(`live checks of 100,000 pasted lines (${checkMs.found} problems, explained): ` +
                `${checkMs.times[2].toFixed(0)} ms median of 5 (target ≤ 200 ms)`);
    await context.close();
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  }
});

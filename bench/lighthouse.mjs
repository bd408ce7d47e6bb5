// Lighthouse 12.2.3, default mobile profile (a 4x slower CPU and a slow
// network, as a cheap classroom Chromebook), on the built site served by
// python3 -m http.server; prints the scores and the blocking time. Beside
// them, the blocking time as the page itself sees it on a CPU slowed 4x
// (Chromium's own throttling, the long tasks the page reports), which
// varies far less from run to run on a shared machine.
//   NODE_PATH=web/node_modules node bench/lighthouse.mjs SITE_DIR [CHROMIUM]
import { spawn } from 'child_process';
import { createRequire } from 'module';
import net from 'net';
import path from 'path';

const require = createRequire(path.resolve(process.env.NODE_PATH || 'web/node_modules', 'x.js'));
const lighthouse = (await import(require.resolve('lighthouse'))).default;
const chromeLauncher = await import(require.resolve('chrome-launcher'));
const puppeteer = require('puppeteer-core');

// The time beyond 50 ms of every long task from the start until a second
// after the page is ready, in a fresh profile.
async function blockingOnSlowCpu(browser, url) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport({ width: 412, height: 823, deviceScaleFactor: 1.75, isMobile: true, hasTouch: true });
    await (await page.createCDPSession()).send('Emulation.setCPUThrottlingRate', { rate: 4 });
    await page.evaluateOnNewDocument(() => {
      window.kuvLongTasks = [];
      new PerformanceObserver((list) => { for (const e of list.getEntries()) window.kuvLongTasks.push(e.duration); })
        .observe({ type: 'longtask', buffered: true });
    });
    await page.goto(url);
    await page.waitForFunction('window.kuvReady === true', { timeout: 60000 });
    await new Promise((r) => setTimeout(r, 1000));
    return Math.round(await page.evaluate(() => window.kuvLongTasks.reduce((sum, d) => sum + Math.max(0, d - 50), 0)));
  } finally {
    await context.close();
  }
}

const [site, chromium = '/usr/bin/chromium'] = process.argv.slice(2);
const port = await new Promise((resolve) => {
  const s = net.createServer().listen(0, '127.0.0.1', () => { const { port: p } = s.address(); s.close(() => resolve(p)); });
});
const server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', site], { stdio: 'ignore' });
await new Promise((r) => setTimeout(r, 800));
const chrome = await chromeLauncher.launch({ chromePath: chromium, chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu'] });
try {
  const runs = [];
  for (let i = 0; i < 3; i++) {
    const { lhr } = await lighthouse(`http://127.0.0.1:${port}/`, { port: chrome.port, output: 'json', logLevel: 'error' });
    runs.push(lhr);
  }
  const median = (xs) => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];
  const score = (k) => median(runs.map((r) => Math.round(r.categories[k].score * 100)));
  const audit = (k) => median(runs.map((r) => r.audits[k].numericValue));
  console.log(`lighthouse ${runs[0].lighthouseVersion}, mobile profile, median of ${runs.length}:`);
  console.log(`  performance ${score('performance')} (target ≥ 90)`);
  console.log(`  total blocking time ${audit('total-blocking-time').toFixed(0)} ms (target ≤ 300 ms)`);
  console.log(`  main-thread work ${(audit('mainthread-work-breakdown') / 1000).toFixed(1)} s`);
  console.log(`  largest contentful paint ${(audit('largest-contentful-paint') / 1000).toFixed(1)} s`);
  console.log(`  accessibility ${score('accessibility')}, best practices ${score('best-practices')} (targets 100)`);
  const blocking = [];
  const browser = await puppeteer.connect({ browserURL: `http://127.0.0.1:${chrome.port}` });
  for (let i = 0; i < 5; i++) blocking.push(await blockingOnSlowCpu(browser, `http://127.0.0.1:${port}/`));
  await browser.disconnect();
  console.log(`  on a 4x slower CPU, in the page: blocking time ${median(blocking)} ms (median of 5; ${blocking.join(', ')})`);
} finally {
  await chrome.kill();
  server.kill();
}

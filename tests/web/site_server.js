// The built site served on localhost as any static server would serve it,
// and the flags that keep headless Chromium off the network; for the page's
// test and its benchmark.
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = { '.html': 'text/html', '.htm': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm', '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// Resolves to { url, server } once the site listens on a free port.
function serveSite(dir) {
  const site = path.resolve(dir);
  const server = http.createServer((req, res) => {
    const file = path.join(site, decodeURIComponent(req.url.split('?')[0]).replace(/\/$/, '/index.html'));
    if (!file.startsWith(site) || !fs.existsSync(file)) return res.writeHead(404).end();
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () =>
    resolve({ url: `http://127.0.0.1:${server.address().port}/`, server })));
}

const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
                       '--disable-component-update', '--disable-sync'];

module.exports = { serveSite, CHROMIUM_ARGS };

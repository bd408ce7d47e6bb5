// The browser edition's core gives the same BMP bytes as kuv-render for
// every listing given (TEXT from the glyph table, circles in WebAssembly),
// and the same JPEG bytes as kuv-render on libjpeg's C path.
//   node --no-experimental-fetch same_pixels.js kuv-core.js kuv-render LISTING...
const fs = require('fs');
const { execFileSync } = require('child_process');
const [coreJs, render, ...listings] = process.argv.slice(2);
require(require('path').resolve(coreJs))().then((core) => {
  let same = 0, differ = 0;
  for (const file of listings) {
    const bytes = fs.readFileSync(file);
    const p = core._malloc(bytes.length || 1);
    core.HEAPU8.set(bytes, p);
    core._kuv_run(p, bytes.length);
    core._free(p);
    for (const format of ['bmp', 'jpg']) {
      const sizePtr = core._malloc(4);
      const at = format === 'bmp' ? core._kuv_bmp(sizePtr) : core._kuv_jpeg(sizePtr);
      const ours = Buffer.from(core.HEAPU8.slice(at, at + core.HEAP32[sizePtr >> 2]));
      core._free(sizePtr);
      let native;
      try {
        native = execFileSync(render, ['-o', '-', '--format', format, file], {
          maxBuffer: 1 << 24, stdio: ['ignore', 'pipe', 'ignore'], env: { ...process.env, JSIMD_FORCENONE: '1' } });
      } catch (e) { native = e.stdout; }
      if (ours.length > 0 && Buffer.compare(ours, native) === 0) same++; else { differ++; console.log(`DIFF ${format} ${file}`); }
    }
  }
  console.log(`${same} passed, ${differ} failed`);
  process.exit(differ ? 1 : 0);
});

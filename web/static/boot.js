// The page's script is read after the page's first contentful paint: on a
// slow laptop the menu bar and the panels are on the screen before its
// 370 KB are. It comes in parts, each taken in its own task, so that the
// page never stops answering for long while they are; the last is the
// page's own. A hidden tab paints nothing, and a browser that reports no
// paint gets its first frame, or a second at most.
const PARTS = ['./state.js', './view.js', './editing.js', './main.js'];
const nextTask = () => new Promise((resolve) => setTimeout(resolve));
async function startPage() {
  for (const part of PARTS) {
    await nextTask();
    // A part that does not load is loaded again by the next, which needs it.
    await import(part).catch(() => {});
  }
}
let started = false;
const startOnce = () => {
  if (started) return;
  started = true;
  startPage();
};
if (document.visibilityState === 'hidden') startOnce();
else if (typeof PerformanceObserver === 'function' && (PerformanceObserver.supportedEntryTypes || []).includes('paint')) {
  new PerformanceObserver((list, observer) => {
    if (!list.getEntriesByName('first-contentful-paint').length) return;
    observer.disconnect();
    startOnce();
  }).observe({ type: 'paint', buffered: true });
  setTimeout(startOnce, 1000);
} else requestAnimationFrame(startOnce);

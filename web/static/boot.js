// The page's script is read after the page's first contentful paint: on a
// slow laptop the menu bar and the panels are on the screen before its
// 370 KB are. A hidden tab paints nothing, and a browser that reports no
// paint gets its first frame, or a second at most.
function startPage() {
  const script = document.createElement('script');
  script.type = 'module';
  script.src = 'main.js';
  document.body.append(script);
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
    setTimeout(startOnce);
  }).observe({ type: 'paint', buffered: true });
  setTimeout(startOnce, 1000);
} else requestAnimationFrame(() => setTimeout(startOnce));

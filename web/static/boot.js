// The page's script is read after the page's first frame: on a slow laptop
// the menu bar and the panels are on the screen before its 370 KB are.
// A hidden tab has no frames to wait for.
function startPage() {
  const script = document.createElement('script');
  script.src = 'main.js';
  document.body.append(script);
}
if (document.visibilityState === 'hidden') startPage();
else requestAnimationFrame(() => setTimeout(startPage));

// The Picture's aids: the point under the pointer (or the keyboard's
// crosshair, or a long press) described in a tooltip; a double-click or
// Enter inserts the point into the listing; the context menu goes to the
// line that painted a point, copies the point, follows the caret and
// replays the drawing. Stages and owners come from the worker's last run.
import { openPopup } from './menus.js';

const LONG_PRESS_MS = 500;

// The canvas has the core's size for the Picture (set before this is
// called).
export function setUpPicture({ canvas, marks, tip, menu, ask, timing, aids }) {
  const W = canvas.width, H = canvas.height;
  const context = canvas.getContext('2d');
  let crosshair = { x: 320, y: 240 };
  let asked = null, asking = false;
  let blink = null, replay = null, following = false;
  // The Picture as the last run or Clear left it; stages are shown over it.
  let picture = null;

  // KUV's point (y upwards) under a place on the page.
  const pointAt = (clientX, clientY) => {
    const r = canvas.getBoundingClientRect();
    const x = Math.floor(((clientX - r.left) * W) / r.width), row = Math.floor(((clientY - r.top) * H) / r.height);
    return { x: Math.min(W - 1, Math.max(0, x)), y: H - 1 - Math.min(H - 1, Math.max(0, row)) };
  };
  const placeOf = (p) => {
    const r = canvas.getBoundingClientRect();
    return { left: r.left + ((p.x + 0.5) * r.width) / W, top: r.top + ((H - 1 - p.y + 0.5) * r.height) / H };
  };

  // One question to the worker at a time; the newest point waits its turn.
  // The keyboard's crosshair is also told to screen readers.
  let spoken = false;
  const describe = async (p, byKeyboard = false) => {
    asked = p;
    spoken = byKeyboard;
    if (asking) return;
    asking = true;
    while (asked) {
      const q = asked;
      asked = null;
      const { text } = await ask({ op: 'describe', x: q.x, y: q.y });
      const at = placeOf(q);
      tip.textContent = text;
      tip.hidden = false;
      tip.style.left = `${Math.min(at.left + 12, window.innerWidth - tip.offsetWidth - 4) + window.scrollX}px`;
      tip.style.top = `${at.top + 16 + window.scrollY}px`;
      canvas.setAttribute('aria-description', text);
      if (spoken && !asked) aids.tell(text);
    }
    asking = false;
  };
  const hideTip = () => { tip.hidden = true; };

  const drawCrosshair = () => {
    const m = marks.getContext('2d');
    m.clearRect(0, 0, W, H);
    if (document.activeElement !== canvas || !canvas.matches(':focus-visible')) return;
    const row = H - 1 - crosshair.y;
    m.fillStyle = '#f0f';
    m.fillRect(0, row, W, 1);
    m.fillRect(crosshair.x, 0, 1, H);
  };

  const showFrame = (rgba) => context.putImageData(new ImageData(rgba, W, H), 0, 0);
  const show = (rgba) => {
    picture = new ImageData(rgba, W, H);
    context.putImageData(picture, 0, 0);
  };
  const follow = (on) => {
    following = on;
    menu.querySelector('#follow-caret').setAttribute('aria-checked', String(on));
  };

  // A stage of the last run shown in place of the Picture, the pixels its
  // line painted blinking.
  const showStage = async (line) => {
    const [plain, marked] = await Promise.all([
      ask({ op: 'stage', line, mark: false }), ask({ op: 'stage', line, mark: true })]);
    if (!following) return;
    clearInterval(blink);
    let on = true;
    showFrame(marked.rgba);
    blink = setInterval(() => showFrame((on = !on) ? marked.rgba : plain.rgba), timing.blinkMs);
  };
  const endStages = () => {
    const was = blink !== null || replay !== null;
    clearInterval(blink);
    clearInterval(replay);
    blink = replay = null;
    follow(false);
    aids.showReplayLine(0);
    if (was && picture) context.putImageData(picture, 0, 0);
  };

  const startReplay = async () => {
    endStages();
    const { interval, step, lines } = await ask({ op: 'replay' });
    let line = 0;
    const beat = async () => {
      line = Math.min(line + step, Math.max(1, lines));
      const { rgba } = await ask({ op: 'stage', line, mark: false });
      if (replay === null) return;
      showFrame(rgba);
      aids.showReplayLine(line);
      if (line >= lines) {
        clearInterval(replay);
        replay = -1;
        setTimeout(() => { if (replay === -1) endStages(); }, timing.replayLastMs);
      }
    };
    replay = setInterval(beat, interval);
    beat();
  };
  // A key or a click anywhere ends a replay.
  for (const type of ['keydown', 'pointerdown'])
    document.addEventListener(type, () => { if (replay !== null) endStages(); }, true);

  const openMenu = async (p) => {
    hideTip();
    const { owner } = await ask({ op: 'describe', x: p.x, y: p.y });
    const stages = aids.canShowStages();
    const item = (id) => menu.querySelector('#' + id);
    item('show-owner').disabled = !(owner && stages);
    item('follow-caret').disabled = !stages;
    item('replay').disabled = !stages;
    item('show-owner').onclick = () => aids.showOwner(owner);
    item('copy-point').onclick = () => navigator.clipboard?.writeText(`${p.x} ${p.y}`).catch(() => {});
    item('follow-caret').onclick = () => {
      const on = !following;
      endStages();
      follow(on && aids.canShowStages());
      if (following) showStage(aids.caretLine());
    };
    item('replay').onclick = startReplay;
    item('show-words').onclick = () => aids.showWords();
    item('make-link').onclick = () => aids.copyLink();
    const at = placeOf(p);
    openPopup(menu, { focusFirst: false, onClose: (refocus) => { if (refocus) canvas.focus(); } });
    // At the point, moved up or left as a desktop's menu is, so that
    // every item is in the window.
    const left = Math.max(0, Math.min(at.left, window.innerWidth - menu.offsetWidth - 4));
    const top = Math.max(0, Math.min(at.top, window.innerHeight - menu.offsetHeight - 4));
    menu.style.left = `${left + window.scrollX}px`;
    menu.style.top = `${top + window.scrollY}px`;
    // Its first item that can be chosen has the keyboard, so that Enter
    // chooses it.
    Array.from(menu.querySelectorAll('button')).find((b) => !b.disabled)?.focus();
  };

  canvas.addEventListener('pointermove', (e) => { if (e.pointerType === 'mouse') describe(pointAt(e.clientX, e.clientY)); });
  canvas.addEventListener('pointerleave', (e) => { if (e.pointerType === 'mouse' && document.activeElement !== canvas) hideTip(); });
  canvas.addEventListener('dblclick', (e) => {
    const p = pointAt(e.clientX, e.clientY);
    aids.insertPoint(p.x, p.y);
  });
  // Touch: a long press shows the point; a press elsewhere hides it.
  let press = null;
  canvas.addEventListener('pointerdown', (e) => {
    if (e.pointerType === 'mouse') return;
    hideTip();
    const start = { x: e.clientX, y: e.clientY };
    clearTimeout(press);
    press = setTimeout(() => describe(pointAt(start.x, start.y)), LONG_PRESS_MS);
    canvas.onpointermove = (m) => { if (Math.hypot(m.clientX - start.x, m.clientY - start.y) > 10) clearTimeout(press); };
  });
  for (const type of ['pointerup', 'pointercancel']) canvas.addEventListener(type, () => clearTimeout(press));
  canvas.addEventListener('contextmenu', (e) => {
    e.preventDefault();
    // The menu that the Menu key or Shift+F10 has just opened, which some
    // systems follow with this event, stays where the crosshair put it.
    if (!menu.hidden) return;
    // A long press on a touch screen (which some browsers report as this)
    // shows the point.
    if (e.pointerType && e.pointerType !== 'mouse') {
      clearTimeout(press);
      return describe(pointAt(e.clientX, e.clientY));
    }
    openMenu(pointAt(e.clientX, e.clientY));
  });
  // The crosshair is the keyboard's: a click or a touch that focuses the
  // Picture shows none.
  canvas.addEventListener('focus', () => {
    if (!canvas.matches(':focus-visible')) return;
    drawCrosshair();
    describe(crosshair, true);
  });
  canvas.addEventListener('blur', () => { drawCrosshair(); hideTip(); });
  canvas.addEventListener('keydown', (e) => {
    const step = e.shiftKey ? 10 : 1;
    const moves = { ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, step], ArrowDown: [0, -step] };
    if (moves[e.key]) {
      const [dx, dy] = moves[e.key];
      crosshair = { x: Math.min(W - 1, Math.max(0, crosshair.x + dx)), y: Math.min(H - 1, Math.max(0, crosshair.y + dy)) };
      drawCrosshair();
      describe(crosshair, true);
    } else if (e.key === 'Enter') aids.insertPoint(crosshair.x, crosshair.y);
    else if (e.key === 'ContextMenu' || (e.key === 'F10' && e.shiftKey)) openMenu(crosshair);
    else return;
    e.preventDefault();
    e.stopPropagation();
  });

  return {
    show,
    endStages,
    // The caret moved: the Picture follows it while that is asked for.
    caretMoved: (line) => { if (following) showStage(line); },
  };
}

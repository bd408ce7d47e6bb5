// A listing handed out as a link: リンクをコピー in the Picture's menu makes
// it (the core's rule, the same link as kuv-render --link) and shows it with
// a QR code; a page opened from such a link takes the listing as a new,
// unsaved noname.kuv, after setting the tab's listing aside in the
// browser's storage.
const $ = (id) => document.getElementById(id);
const MARKER = '#k=';
// The QR code's quiet zone (the standard's 4 modules) and the smallest
// module that a phone reads off a projected screen from the back of a room.
const QUIET = 4, MIN_MODULE = 4, SIDE = 400;

// The QR code maker is a part of its own, loaded the first time a link is
// shown, so that the page's start carries none of it.
const loadQrMaker = () => import('qrcode-generator').then((m) => m.default);

// The QR code of a link, at the strongest error correction that holds it;
// null for a link that no QR code can hold.
function qrOf(qrcode, link) {
  for (const level of ['M', 'L']) {
    try {
      const qr = qrcode(0, level);
      qr.addData(link, 'Byte');
      qr.make();
      return qr;
    } catch (e) {
      // Too long for this level.
    }
  }
  return null;
}

function drawQr(canvas, qr) {
  const count = qr.getModuleCount(), cells = count + 2 * QUIET;
  const module = Math.max(MIN_MODULE, Math.floor(SIDE / cells));
  canvas.width = canvas.height = cells * module;
  const g = canvas.getContext('2d');
  g.fillStyle = '#fff';
  g.fillRect(0, 0, canvas.width, canvas.height);
  g.fillStyle = '#000';
  for (let row = 0; row < count; row++)
    for (let col = 0; col < count; col++)
      if (qr.isDark(row, col)) g.fillRect((col + QUIET) * module, (row + QUIET) * module, module, module);
}

// Safari copies only within the click itself: the clipboard is handed the
// link's promise at once, where the browser takes one, and the link once
// it is made elsewhere. True once it is on the clipboard.
function copyWhenMade(link) {
  const writeText = () => link.then((text) => navigator.clipboard.writeText(text)).then(() => true, () => false);
  try {
    if (typeof ClipboardItem === 'function' && navigator.clipboard?.write) {
      const item = new ClipboardItem({ 'text/plain': link.then((text) => new Blob([text], { type: 'text/plain' })) });
      return navigator.clipboard.write([item]).then(() => true, writeText);
    }
  } catch (e) {
    // A ClipboardItem that takes no promise.
  }
  return writeText();
}

const copy = (text) => copyWhenMade(Promise.resolve(text));

export function setUpLinks({ ask, listingText, messageBox, openText, setAside, closed }) {
  const dialog = $('link-dialog'), field = $('link-text'), canvas = $('link-qr');

  const showCopied = (copied) => {
    $('link-status').textContent = copied
      ? 'リンクをコピーしました。メールやチャットに貼り付けて渡せます。'
      : 'リンクをコピーできませんでした。下のリンクを選んで、コピーしてください。';
  };

  // Called in the click on リンクをコピー, not after it.
  function copyLink() {
    const made = ask({ op: 'link', base: location.href, text: listingText() });
    const copied = copyWhenMade(made.then(({ link, problem }) => (problem ? Promise.reject(new Error(problem)) : link)));
    return showLink(made, copied);
  }

  async function showLink(made, copied) {
    const { link, problem } = await made;
    if (problem) return messageBox(problem, true);
    field.value = link;
    // Without the QR code's script (offline before it was ever kept), the
    // link alone.
    const maker = await loadQrMaker().catch(() => null);
    const qr = maker && qrOf(maker, link);
    canvas.hidden = !qr;
    $('link-no-qr').hidden = !!qr;
    if (qr) drawQr(canvas, qr);
    showCopied(await copied);
    dialog.showModal();
    field.focus();
    field.select();
  }

  // The fragment goes from the address bar whatever it held, so that a
  // reload does not open it again.
  async function openFromAddress() {
    if (!location.hash.startsWith(MARKER)) return;
    const fragment = location.hash;
    history.replaceState(history.state, '', location.href.split('#')[0]);
    const { text, problem } = await ask({ op: 'openLink', link: fragment });
    if (problem) return messageBox(problem, true);
    const earlier = await setAside(text);
    openText(text);
    window.kuvLinksOpened = (window.kuvLinksOpened || 0) + 1;
    if (earlier === 'kept')
      await messageBox('リンクのリストを開きました。前のリストはこのブラウザーに残してあります。' +
        'KUV を新しいタブで開くと、前のリストが戻ります。', false);
    // A browser that keeps nothing (some private windows): the editor's
    // undo still holds it.
    else if (earlier === 'not kept')
      await messageBox('リンクのリストを開きました。このブラウザーには前のリストを残せませんでした。' +
        '「元に戻す」（Ctrl+Z）で前のリストに戻せます。', false);
  }

  $('copy-link').onclick = async () => showCopied(await copy(field.value));
  $('close-link').onclick = () => dialog.close();
  // The keyboard goes back to the listing, not to the menu that is gone.
  dialog.addEventListener('close', closed);
  window.addEventListener('hashchange', () => openFromAddress());
  return { copyLink, openFromAddress };
}

// The menu bar as a keyboard user expects one: F10 opens its first menu;
// Left and Right move along the bar, Down and Enter open a menu, Up and
// Down move in it, Enter chooses, Esc closes. The items have no shortcuts
// and no access keys. One tab stop: the bar's current entry.

function itemsOf(menu) {
  return Array.from(menu.querySelectorAll('[role=menuitem],[role=menuitemcheckbox]'));
}

// A popup menu (the bar's, or the Picture's) driven by the keyboard;
// onClose(chosen) runs when it closes.
export function openPopup(menu, { focusFirst = true, onClose = () => {} } = {}) {
  menu.hidden = false;
  const items = itemsOf(menu);
  if (focusFirst && items.length) items[0].focus();
  const close = (refocus) => {
    menu.hidden = true;
    menu.removeEventListener('keydown', keys);
    menu.removeEventListener('click', chosen);
    document.removeEventListener('pointerdown', outside, true);
    onClose(refocus);
  };
  const keys = (e) => {
    const at = items.indexOf(document.activeElement);
    if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
      const step = e.key === 'ArrowDown' ? 1 : items.length - 1;
      items[(Math.max(at, 0) + step) % items.length].focus();
    } else if (e.key === 'Home') items[0].focus();
    else if (e.key === 'End') items[items.length - 1].focus();
    else if (e.key === 'Escape' || e.key === 'Tab') close(true);
    else return;
    e.preventDefault();
    e.stopPropagation();
  };
  const outside = (e) => {
    if (!menu.contains(e.target) && !menu.parentElement.contains(e.target)) close(false);
  };
  // After the item's own handler: the command runs, then the menu closes.
  const chosen = (e) => { if (items.includes(e.target.closest('[role^=menuitem]'))) close(false); };
  menu.addEventListener('keydown', keys);
  menu.addEventListener('click', chosen);
  document.addEventListener('pointerdown', outside, true);
  return close;
}

export function setUpMenuBar(bar, returnFocus) {
  const entries = Array.from(bar.children).map((c) => (c.matches('[role=menuitem]') ? c : c.firstElementChild))
    .filter((e) => e && e.matches('[role=menuitem]'));
  let current = 0;
  let closeOpen = null;
  // Once a menu has been opened from the bar, moving along the bar opens
  // each menu in turn, until Esc or a command ends it.
  let browsing = false;
  const menuOf = (entry) => (entry.getAttribute('aria-haspopup') ? entry.nextElementSibling : null);

  const select = (i) => {
    current = (i + entries.length) % entries.length;
    entries.forEach((e, k) => { e.tabIndex = k === current ? 0 : -1; });
    entries[current].focus();
  };
  const closeMenu = (refocus) => {
    if (!closeOpen) return;
    const close = closeOpen;
    closeOpen = null;
    close(refocus);
  };
  const move = (i) => {
    const next = (i + entries.length) % entries.length;
    if (browsing && menuOf(entries[next])) return open(next);
    const keep = browsing;
    closeMenu(false);
    browsing = keep;
    select(next);
  };
  const open = (i) => {
    closeMenu(false);
    select(i);
    const entry = entries[current], menu = menuOf(entry);
    if (!menu) return;
    entry.setAttribute('aria-expanded', 'true');
    closeOpen = openPopup(menu, {
      onClose: (refocus) => {
        entry.setAttribute('aria-expanded', 'false');
        closeOpen = null;
        browsing = false;
        if (refocus) entry.focus();
        else returnFocus();
      },
    });
    browsing = true;
    // Left and Right in an open menu go along the bar.
    menu.onkeydown = (e) => {
      if (e.key !== 'ArrowLeft' && e.key !== 'ArrowRight') return;
      e.preventDefault();
      move(current + (e.key === 'ArrowRight' ? 1 : -1));
    };
  };

  entries.forEach((entry, i) => {
    entry.addEventListener('click', () => {
      if (menuOf(entry)) (closeOpen && current === i ? closeMenu(true) : open(i));
      // A command of the bar itself: its handler has run, and moving along
      // the bar no longer opens menus.
      else {
        browsing = false;
        closeMenu(false);
        setTimeout(returnFocus);
      }
    });
    entry.addEventListener('keydown', (e) => {
      if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') move(i + (e.key === 'ArrowRight' ? 1 : -1));
      else if ((e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') && menuOf(entry)) open(i);
      else if (e.key === 'Escape') {
        browsing = false;
        returnFocus();
      }
      else if (e.key === 'Home') select(0);
      else if (e.key === 'End') select(entries.length - 1);
      else return;
      e.preventDefault();
    });
  });
  entries[0].tabIndex = 0;
  // F10, the platform's own way into a menu bar.
  document.addEventListener('keydown', (e) => {
    if (e.key !== 'F10' || e.shiftKey || e.ctrlKey || e.altKey) return;
    e.preventDefault();
    open(0);
  });
}

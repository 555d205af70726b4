// menu_button.js: the drawing's pop-up menu, after the WAI-ARIA menu button pattern with the
// canvas as the button. The menu is a manual popover: the top layer keeps it above everything
// on the page; opening, placing and closing are this file's, so that a right press can open it
// and the release of that same press does not close it.
//   mouse: the right button's press opens it at the pointer; releasing on an entry (after moving
//     there with the button held), clicking one, or right-clicking one chooses it.
//   keyboard: ContextMenu, Shift+F10, Enter, Space or Down open it on entry 1, Up on the last;
//     arrows move and wrap, Home and End jump, Enter or Space choose, Escape closes.
//   touch: a long press opens it beside the finger, its entries a finger high.
// Until the program hands over its entries, there is no menu to open.
var kFingerGapPx = 32;  // A menu opened by a long press sits this far beside the finger.
var kStillPx = 4;       // A release this close to the opening press is that press's own.
var kLongPressMs = 500;
var kLongPressSlackPx = 10;

function MenuButton(canvas, language, choose) {
  var menu = document.getElementById("menu");
  var help = document.getElementById("help");
  var touchFirst = matchMedia("(hover: none) and (pointer: coarse)");
  var opener = null;        // What had focus when the menu opened; it gets it back.
  var anchor = null;        // Where the menu was opened: {x, y, gap}, for placing it again.
  var openingPress = null;  // The right press that opened the menu, until its release.

  function Items() {
    return Array.prototype.slice.call(menu.children);
  }

  function IsOpen() {
    return menu.matches(":popover-open");
  }

  // Puts the menu beside (x, y), gap pixels to the right and downwards, or to the left and
  // upwards where that side has no room; pressed into the window where neither side has.
  function Place() {
    var box = menu.getBoundingClientRect();
    var width = document.documentElement.clientWidth;
    var height = document.documentElement.clientHeight;
    var left = anchor.x + anchor.gap;
    if (left + box.width > width) left = anchor.x - anchor.gap - box.width;
    var top = anchor.y + box.height > height ? anchor.y - box.height : anchor.y;
    menu.style.left = Math.max(0, Math.min(left, width - box.width)) + "px";
    menu.style.top = Math.max(0, Math.min(top, height - box.height)) + "px";
  }

  // how: "mouse" (no entry current until the pointer is on one), "touch" (beside the finger,
  // entries a finger high), "first" or "last" (from the keyboard, that entry current).
  function Open(x, y, how) {
    var items = Items();
    if (items.length === 0) return;
    if (!IsOpen()) {
      opener = document.activeElement;
      menu.showPopover();
    }
    menu.classList.toggle("touch", how === "touch" || touchFirst.matches);
    canvas.setAttribute("aria-expanded", "true");
    anchor = {x: x, y: y, gap: how === "touch" ? kFingerGapPx : 0};
    Place();
    if (how === "first") items[0].focus();
    else if (how === "last") items[items.length - 1].focus();
    else menu.focus();
  }

  function OpenFromKeyboard(how) {
    var box = canvas.getBoundingClientRect();
    Open(box.left + 8, box.top + 8, how);
  }

  function Close(restoreFocus) {
    if (!IsOpen()) return;
    menu.hidePopover();
    canvas.setAttribute("aria-expanded", "false");
    openingPress = null;
    if (!restoreFocus) return;
    if (opener && opener !== document.body && document.contains(opener)) opener.focus();
    else if (menu.contains(document.activeElement)) document.activeElement.blur();
  }

  // choose gets the entry's position in the menu, from 1.
  function Choose(item) {
    var position = Items().indexOf(item) + 1;
    Close(true);
    choose(position);
  }

  menu.addEventListener("keydown", function (event) {
    var items = Items();
    var at = items.indexOf(document.activeElement);
    var next = null;
    switch (event.key) {
      case "ArrowDown": next = items[(at + 1) % items.length]; break;
      case "ArrowUp": next = items[(at <= 0 ? items.length : at) - 1]; break;
      case "Home": next = items[0]; break;
      case "End": next = items[items.length - 1]; break;
      case "Enter": case " ": if (at >= 0) Choose(items[at]); break;
      case "Escape": Close(true); break;
      // From the control that opened the menu, the browser's Tab goes on to the next one.
      case "Tab": Close(true); return;
      default: return;
    }
    event.preventDefault();
    if (next) next.focus();
  });
  menu.addEventListener("focusout", function (event) {
    if (!menu.contains(event.relatedTarget)) Close(false);
  });
  // The mouse makes the entry under it current, as on the desktop.
  menu.addEventListener("pointermove", function (event) {
    var item = event.target.closest("li");
    if (event.pointerType === "mouse" && item && item !== document.activeElement) item.focus();
  });
  menu.addEventListener("pointerleave", function (event) {
    if (event.pointerType === "mouse" && IsOpen()) menu.focus();
  });
  // Releasing either mouse button on an entry chooses it: the end of press-move-release, a
  // click, or a right-click. The release of the press that opened the menu, unmoved, does not.
  menu.addEventListener("pointerup", function (event) {
    var item = event.target.closest("li");
    var still = openingPress && Math.hypot(event.clientX - openingPress.x,
                                           event.clientY - openingPress.y) < kStillPx;
    openingPress = null;
    if (event.pointerType === "mouse" && item && !still) Choose(item);
  });
  // A tap, and the click of assistive technology; a mouse's release has chosen already.
  menu.addEventListener("click", function (event) {
    var item = event.target.closest("li");
    if (item && IsOpen()) Choose(item);
  });
  menu.addEventListener("contextmenu", function (event) {
    event.preventDefault();
  });

  // A press anywhere but on the menu closes it; a right press on the canvas then opens it anew.
  document.addEventListener("pointerdown", function (event) {
    if (!menu.contains(event.target)) Close(false);
  }, true);
  document.addEventListener("pointerup", function () {
    openingPress = null;
  });
  // The menu scrolls within the window rather than leave it: a resize only places it again.
  window.addEventListener("resize", function () {
    if (IsOpen()) Place();
  });

  canvas.addEventListener("keydown", function (event) {
    var key = event.key;
    if (key === "ContextMenu" || (key === "F10" && event.shiftKey) || key === "Enter" ||
        key === " " || key === "ArrowDown") {
      OpenFromKeyboard("first");
    } else if (key === "ArrowUp") {
      OpenFromKeyboard("last");
    } else {
      return;
    }
    event.preventDefault();
  });

  // A right press opens the menu at once, as the desktop menus do; a touch held still opens it
  // beside the finger.
  var pressTimer = 0, pressX = 0, pressY = 0;
  canvas.addEventListener("pointerdown", function (event) {
    if (event.pointerType === "touch") {
      pressX = event.clientX;
      pressY = event.clientY;
      pressTimer = setTimeout(Open, kLongPressMs, pressX, pressY, "touch");
    } else if (event.button === 2) {
      canvas.focus();
      openingPress = {x: event.clientX, y: event.clientY};
      Open(event.clientX, event.clientY, "mouse");
    }
  });
  // Keeps the focus in the menu just opened, where the press would move it to the canvas.
  canvas.addEventListener("mousedown", function (event) {
    if (event.button === 2) event.preventDefault();
  });
  canvas.addEventListener("pointermove", function (event) {
    if (Math.hypot(event.clientX - pressX, event.clientY - pressY) > kLongPressSlackPx) {
      clearTimeout(pressTimer);
    }
  });
  ["pointerup", "pointercancel"].forEach(function (type) {
    canvas.addEventListener(type, function () { clearTimeout(pressTimer); });
  });
  // The finger lifted after a long press taps nothing: no mouse events, no focus on the canvas.
  canvas.addEventListener("touchend", function (event) {
    if (IsOpen()) event.preventDefault();
  });
  // The browser's own menu never opens over the drawing; a long press that a browser reports
  // only this way opens ours.
  canvas.addEventListener("contextmenu", function (event) {
    event.preventDefault();
    if (!IsOpen()) {
      Open(event.clientX, event.clientY, event.pointerType === "touch" ? "touch" : "mouse");
    }
  });

  function ShowHelp() {
    help.textContent = language.Text(touchFirst.matches ? "helpTouch" : "helpMouse");
  }
  touchFirst.addEventListener("change", ShowHelp);
  language.OnChange(ShowHelp);

  return {
    // The program's entries in menu order: [{label}, ...]; the page chooses by position.
    // The labels are Korean in every language of the page.
    Attach: function (entries) {
      entries.forEach(function (entry) {
        var item = document.createElement("li");
        item.setAttribute("role", "menuitem");
        item.lang = "ko";
        item.tabIndex = -1;
        item.textContent = entry.label;
        menu.append(item);
      });
    },
    Close: Close,
  };
}

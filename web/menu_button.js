// menu_button.js: the drawing's pop-up menu, after the WAI-ARIA menu button pattern with two
// buttons: the canvas and a visible button under it that names the draw mode shown. A manual
// popover, in the top layer; opening, placing and closing are this file's, so that a right press
// can open it and the release of that same press does not close it. Closing gives the focus back
// to whichever opened it.
//   canvas: a right press opens it at the pointer, a long press beside the finger; ContextMenu,
//     Shift+F10, Enter, Space or Down open it on entry 1, Up on the last.
//   button: a click, Enter or Space open it under the button on entry 1, Down too, Up on the last.
//   menu: arrows move and wrap, Home and End jump, Enter, Space or a click choose, Escape closes.
// Until the program hands over its entries, there is no menu to open.
var kFingerGapPx = 32;  // A menu opened by a long press sits this far beside the finger.
var kStillPx = 4;       // A release this close to the opening press is that press's own.
var kLongPressMs = 500;
var kLongPressSlackPx = 10;

function MenuButton(canvas, language, choose) {
  var menu = document.getElementById("menu");
  var button = document.getElementById("menu-button");
  var buttonText = document.getElementById("menu-button-text");
  var help = document.getElementById("help");
  var touchFirst = matchMedia("(hover: none) and (pointer: coarse)");
  var opener = null;        // The canvas or the button, whichever opened the menu.
  var anchor = null;        // Where the menu was opened: {x, y, gap, above}, to place it again.
  var openingPress = null;  // The right press that opened the menu, until its release.
  var pressClosed = false;  // The press on the button closed the menu: its click opens nothing.
  var drawMode = 0;         // The draw mode the button names; 0 until the first frame.

  function Items() {
    return Array.prototype.slice.call(menu.children);
  }

  function IsOpen() {
    return menu.matches(":popover-open");
  }

  // Puts the menu beside (x, y), gap pixels to the right and downwards, or to the left and
  // upwards (ending at y = above) where that side has no room; pressed into the window where
  // neither side has.
  function Place() {
    var box = menu.getBoundingClientRect();
    var width = document.documentElement.clientWidth;
    var height = document.documentElement.clientHeight;
    var left = anchor.x + anchor.gap;
    if (left + box.width > width) left = anchor.x - anchor.gap - box.width;
    var top = anchor.y + box.height > height ? anchor.above - box.height : anchor.y;
    menu.style.left = Math.max(0, Math.min(left, width - box.width)) + "px";
    menu.style.top = Math.max(0, Math.min(top, height - box.height)) + "px";
  }

  function SetExpanded(expanded) {
    canvas.setAttribute("aria-expanded", String(expanded));
    button.setAttribute("aria-expanded", String(expanded));
  }

  // from: the canvas or the button. how: "mouse" (no entry current until the pointer is on one),
  // "touch" (beside the finger), "first" or "last" (that entry current). Entries are a finger
  // high when a finger opened the menu or the device's main pointer is one.
  function Open(from, x, y, how, byFinger, above) {
    var items = Items();
    if (items.length === 0) return;
    if (!IsOpen()) menu.showPopover();
    opener = from;
    menu.classList.toggle("touch", byFinger || how === "touch" || touchFirst.matches);
    SetExpanded(true);
    anchor = {x: x, y: y, gap: how === "touch" ? kFingerGapPx : 0,
              above: above === undefined ? y : above};
    Place();
    if (how === "first") items[0].focus();
    else if (how === "last") items[items.length - 1].focus();
    else menu.focus();
  }

  function OpenFromKeyboard(how) {
    var box = canvas.getBoundingClientRect();
    Open(canvas, box.left + 8, box.top + 8, how, false);
  }

  function OpenUnderButton(how, byFinger) {
    var box = button.getBoundingClientRect();
    Open(button, box.left, box.bottom, how, byFinger, box.top);
  }

  function Close(restoreFocus) {
    if (!IsOpen()) return;
    menu.hidePopover();
    SetExpanded(false);
    openingPress = null;
    if (!restoreFocus) return;
    if (opener && !opener.hidden && document.contains(opener)) opener.focus();
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
    pressClosed = IsOpen() && button.contains(event.target);
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
      pressTimer = setTimeout(Open, kLongPressMs, canvas, pressX, pressY, "touch", true);
    } else if (event.button === 2) {
      canvas.focus();
      openingPress = {x: event.clientX, y: event.clientY};
      Open(canvas, event.clientX, event.clientY, "mouse", false);
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
      var touch = event.pointerType === "touch";
      Open(canvas, event.clientX, event.clientY, touch ? "touch" : "mouse", touch);
    }
  });

  // Enter and Space reach the button as a click; a click opens on entry 1, as the keys do.
  button.addEventListener("click", function (event) {
    if (pressClosed) {
      pressClosed = false;
      return;
    }
    OpenUnderButton("first", event.pointerType === "touch");
  });
  button.addEventListener("keydown", function (event) {
    if (event.key !== "ArrowDown" && event.key !== "ArrowUp") return;
    event.preventDefault();
    OpenUnderButton(event.key === "ArrowDown" ? "first" : "last", false);
  });

  function ShowHelp() {
    help.textContent = language.Text(touchFirst.matches ? "helpTouch" : "helpMouse");
  }

  function NameButton() {
    buttonText.textContent = drawMode === 0 ? language.Text("modeButtonStarting")
        : language.Text("modeButton", {mode: drawMode,
                                       motion: language.Text("shortMotion" + drawMode)});
  }
  touchFirst.addEventListener("change", ShowHelp);
  language.OnChange(ShowHelp);
  language.OnChange(NameButton);

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
      button.disabled = false;
    },
    // The draw mode the frame on the canvas was drawn in, 1 to 5.
    ShowDrawMode: function (mode) {
      drawMode = mode;
      NameButton();
    },
    Close: Close,
  };
}

// frame_panel.js: what the frame on the canvas did, as the program recorded it
// (src/app/frame_record_web.cpp): its model-view calls by name, the matrix GL held as the cube was
// drawn, the scene variables, every float exact, and the program's tick the frame belongs to (the
// number on the clock's line). It follows each frame in the animation frame that draws it, but
// not while held or out of view; seen again, it shows the newest at once. It is not a live
// region, as it changes ten times a second. While the learner's calls are in force and one is
// chosen, the matrix is the one GL held after that call; Bits adds each float's bits.
function FramePanel(language) {
  var holdButton = document.getElementById("hold");
  var frameNumber = document.getElementById("frame-number");
  var calls = document.getElementById("calls");
  var matrixBody = document.getElementById("matrix").tBodies[0];
  var matrixOf = document.getElementById("matrix-of");
  var bitsButton = document.getElementById("bits");
  var floatBits = new Float32Array(1);
  var floatWord = new Uint32Array(floatBits.buffer);
  var frameCount = 0;
  var latestFrame = null;
  var shownFrame = null;
  var inView = true;  // Until the observer first says.

  // Rows named by the coordinate they give, as the columns by the one they take.
  ["x", "y", "z", "w"].forEach(function (name) {
    var row = matrixBody.insertRow();
    var header = document.createElement("th");
    header.scope = "row";
    header.textContent = name;
    row.append(header);
    for (var column = 0; column < 4; ++column) row.insertCell();
  });

  // The shortest decimal that reads back as the same float (or the same double).
  function Exact(value, isFloat) {
    if (!isFloat || !isFinite(value)) return String(value);
    for (var digits = 1; digits < 9; ++digits) {
      var text = value.toPrecision(digits);
      if (Math.fround(Number(text)) === value) return String(Number(text));
    }
    return String(Number(value.toPrecision(9)));
  }

  function Bits(value) {
    floatBits[0] = value;
    return "0x" + floatWord[0].toString(16).padStart(8, "0");
  }

  function CallText(call) {
    return call.name + "(" +
        call.args.map(function (arg) { return Exact(arg, call.floats !== false); }).join(", ") +
        ")";
  }

  function SetText(element, text) {
    if (element.textContent !== text) element.textContent = text;
  }

  function Pressed(button) {
    return button.getAttribute("aria-pressed") === "true";
  }

  // GL's matrix is column-major; the table shows it row by row.
  function ShowMatrix(m) {
    var bits = Pressed(bitsButton);
    for (var row = 0; row < 4; ++row) {
      for (var column = 0; column < 4; ++column) {
        var value = m ? m[4 * column + row] : 0;
        SetText(matrixBody.rows[row].cells[column + 1],
                m ? Exact(value, true) + (bits ? " " + Bits(value) : "") : "");
      }
    }
  }

  // The call the learner chose, whose matrix is shown, or null.
  function Chosen(frame) {
    return frame.learner && frame.selected >= 0 && frame.calls[frame.selected] || null;
  }

  function ShowMatrixOf() {
    var call = shownFrame && Chosen(shownFrame);
    matrixOf.hidden = !call;
    SetText(matrixOf, call ? language.Text("matrixAfter",
        {position: shownFrame.selected + 1, call: CallText(call)}) : "");
  }

  function Held() {
    return Pressed(holdButton);
  }

  function ShowNumber() {
    if (!shownFrame) return;
    var number = shownFrame.tick.toLocaleString(language.Current());
    SetText(frameNumber, language.Text(Held() ? "heldAt" : "frameNumber", {number: number}));
  }

  function Show() {
    var frame = latestFrame;
    if (!frame || Held() || frame === shownFrame) return;
    shownFrame = frame;
    var texts = frame.calls.map(CallText);
    while (calls.children.length > texts.length) calls.lastChild.remove();
    texts.forEach(function (text, i) {
      if (i === calls.children.length) calls.append(document.createElement("li"));
      SetText(calls.children[i], text);
    });
    var chosen = Chosen(frame);
    ShowMatrix(chosen ? chosen.matrix : frame.matrix);
    ShowMatrixOf();
    SetText(document.getElementById("draw-mode"), String(frame.drawMode));
    SetText(document.getElementById("spin-angle"),
            Exact(frame.spinAngle, true) + " (" + Bits(frame.spinAngle) + ")");
    SetText(document.getElementById("scale-factor"),
            Exact(frame.scaleFactor, true) + " (" + Bits(frame.scaleFactor) + ")");
    ShowNumber();
  }

  holdButton.addEventListener("click", function () {
    holdButton.setAttribute("aria-pressed", String(!Held()));
    if (Held()) {
      ShowNumber();
    } else {
      shownFrame = null;
      Show();
    }
  });
  bitsButton.addEventListener("click", function () {
    bitsButton.setAttribute("aria-pressed", String(!Pressed(bitsButton)));
    if (shownFrame) ShowMatrix((Chosen(shownFrame) || shownFrame).matrix);
  });
  language.OnChange(function () {
    ShowNumber();
    ShowMatrixOf();
  });
  new IntersectionObserver(function (entries) {
    inView = entries[entries.length - 1].isIntersecting;
    if (inView) Show();
  }).observe(document.getElementById("frame"));

  return {
    // The program's record of one drawn frame: {calls: [{name, floats, args}], matrix (16
    // floats, column-major, or null), drawMode, spinAngle, scaleFactor, tick}; with the
    // learner's calls, learner: true, selected, and each call's text, depth, mark and matrix.
    Record: function (frame) {
      ++frameCount;
      latestFrame = frame;
      if (inView) Show();
    },
    FramesRecorded: function () { return frameCount; },
  };
}

// start.js: starts the page: the language, then the panes, then the program, which hands the
// page its menu entries, each line it prints and each frame it draws. Without WebGL, or when the
// program cannot be started or stops, the page says so in place of the drawing: Fail(key) is the
// one way to put a message (a key of strings.js) there. Graphics taken away replace only the
// drawing, as the program and its clock go on. A new part of the page is made here, after the
// panes and before the program starts, and given what it needs.
//
// window.sampleDrawingTest is the page's one test interface, frozen: the page tests print
// through the program's own path, and read what no element shows (lines waiting for the pane,
// frames recorded, the last frame's learner's calls). Nothing else of the page is reachable from
// outside.
function Start() {
  var canvas = document.getElementById("canvas");
  var failure = document.getElementById("failure");
  var language = Language(kStrings);
  var program = null;  // The program's module, once it runs.
  var drawMode = 0;    // The draw mode the canvas's name says; 0 until the first frame.
  var running = false;
  var stopped = false;
  var failureKey = "";  // The strings' key of what the page says in place of the drawing.
  var failureValues = {};

  var replaying = false;  // While the address's run is replayed, its lines are not logged.
  var learnerCalls = null;  // The last frame's record of the learner's calls, if it drew them.

  var pane = ConsolePane(language);
  var panel = FramePanel(language);
  var editor = CallEditor(language);
  var clock = ClockControls(language);
  var address = RunAddress(language);
  var copyLink = CopyLink(language);
  var menuButton = MenuButton(canvas, language, function (position) {
    if (program && !stopped) program._ChooseEntry(position);
  });

  function NameCanvas() {
    canvas.setAttribute("aria-label", drawMode === 0 ? language.Text("canvasStarting")
        : language.Text("canvasName", {mode: drawMode, motion: language.Text("motion" + drawMode)}));
  }

  // What the browser reports (values.reason) goes in as given, as text.
  function Fail(key, values) {
    stopped = true;
    menuButton.Close(false);
    clock.Stop();
    document.getElementById("menu-button").hidden = true;
    ShowInPlaceOfDrawing(key, values);
  }

  function ShowInPlaceOfDrawing(key, values) {
    canvas.hidden = document.getElementById("help").hidden = true;
    document.getElementById("size-control").hidden = true;
    failureKey = key;
    failureValues = values || {};
    failure.hidden = false;
    ShowFailure();
  }

  function ShowFailure() {
    if (failureKey) failure.textContent = language.Text(failureKey, failureValues);
  }

  // The program's WebGL 1 context, made here so that its absence is said before the program
  // starts, and handed to the program (Module.preinitializedWebGLContext): one context, not a
  // probe and then the program's own. The attributes are those the program's window asks for
  // (GLUT_SINGLE | GLUT_RGB, as Emscripten's GLUT sets them): no alpha, depth, stencil or
  // antialiasing. Null without WebGL.
  function CreateContext() {
    try {
      return canvas.getContext("webgl", {alpha: false, depth: false, stencil: false,
                                         antialias: false});
    } catch (error) {
      return null;
    }
  }

  language.OnChange(function () {
    NameCanvas();
    ShowFailure();
  });
  document.getElementById("scene").hidden = false;
  CanvasSize();
  var pixelRatio = FollowPixelRatio(canvas);

  window.sampleDrawingTest = Object.freeze({
    print: function (line) { pane.Print(String(line)); },
    waitingLines: function () { return pane.WaitingLines(); },
    framesRecorded: function () { return panel.FramesRecorded(); },
    calls: function () { return JSON.parse(JSON.stringify(learnerCalls)); },
  });

  var context = CreateContext();
  if (!context) {
    Fail("noWebGL");
    return;
  }
  // The graphics taken away are a failure too; their return offers to start again.
  WatchGraphicsLoss(canvas, document.getElementById("start-again"), function () {
    if (stopped) return;
    menuButton.Close(false);
    ShowInPlaceOfDrawing("graphicsLost");
  });
  clock.TakeKeys(canvas);
  document.getElementById("output").hidden = false;
  document.getElementById("frame").hidden = false;
  document.getElementById("editor").hidden = false;
  var module = {
    canvas: canvas,
    preinitializedWebGLContext: context,
    print: function (line) { pane.Print(line, replaying); },
    // The program opens its window at the edge the page worked out, and is told of every change
    // once it has. Then, before the first tick, the run in the address is replayed.
    windowEdgePx: pixelRatio.EdgePx,
    postRun: function () {
      pane.EndReport();
      pixelRatio.OnChange(module._SetWindowEdge);
      module._SetWindowEdge(pixelRatio.EdgePx());
      editor.Attach(module);  // Before the replay: a link's calls open the editor.
      replaying = true;
      address.Replay(module);
      replaying = false;
      clock.Attach(module);
      copyLink.Attach(module);
    },
    linkRead: address.LinkRead,
    callsRead: editor.CallsRead,
    argumentRead: editor.ArgumentRead,
    runChanged: function (run) {
      address.RunChanged(run);
      editor.RunChanged(run);
      clock.RunChanged(run);
    },
    attachMenu: menuButton.Attach,
    // In the animation frame that draws: the panes follow in it.
    showFrame: function (frame) {
      pane.Flush();
      editor.Frame(frame);
      panel.Record(frame);
      learnerCalls = frame.learner ? frame.calls : null;
      clock.Frame();
      if (frame.drawMode !== drawMode) {
        drawMode = frame.drawMode;
        NameCanvas();
        menuButton.ShowDrawMode(drawMode);
      }
    },
    onRuntimeInitialized: function () { running = true; },
    onAbort: function (what) {
      if (!stopped) Fail(running ? "stopped" : "notStarted", {reason: String(what)});
    },
  };
  SampleDrawing(module).then(function (started) {
    program = started;
  }, function (error) {
    if (!stopped) Fail("notStarted", {reason: String(error && error.message || error)});
  });
}

Start();

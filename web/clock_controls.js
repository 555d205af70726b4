// clock_controls.js: the program's clock under the drawing: Pause (a toggle), Step (one tick
// while paused), Speed (1×, ½×, ¼×) and a line with the program's tick and time. The clock
// itself is the program's (src/app/program_clock_page_web.cpp); these controls only ask it.
// On the focused drawing K pauses and resumes and "." steps, as video players do.
//
// The line is not a live region: it changes ten times a second while the program runs, and is
// written at most once per animation frame, only when its text changes and only while it is on
// screen. A pause or a step is told to screen readers politely, once the steps have stopped for
// a moment, through a region of its own.
var kAnnounceAfterMs = 700;

function ClockControls(language) {
  var pauseButton = document.getElementById("pause");
  var stepButton = document.getElementById("step");
  var speed = document.getElementById("speed");
  var status = document.getElementById("clock-status");
  var news = document.getElementById("clock-news");
  var program = null;
  var onScreen = true;
  var showPending = false;
  var announceTimer = 0;

  function Paused() {
    return program !== null && program._ProgramPaused() === 1;
  }

  function StatusText() {
    var tick = program._ProgramTick();
    var seconds = tick * program._ProgramTickMs() / 1000;
    var current = language.Current();
    return language.Text(Paused() ? "pausedAt" : "runningAt", {
      tick: tick.toLocaleString(current),
      seconds: seconds.toLocaleString(current, {minimumFractionDigits: 1,
                                                maximumFractionDigits: 1}),
    });
  }

  function ShowStatus() {
    showPending = false;
    if (program === null || !onScreen) return;
    var text = StatusText();
    if (status.textContent !== text) status.textContent = text;
  }

  function ShowSoon() {
    if (showPending || !onScreen) return;
    showPending = true;
    requestAnimationFrame(ShowStatus);
  }

  function Announce() {
    clearTimeout(announceTimer);
    announceTimer = setTimeout(function () { news.textContent = StatusText(); }, kAnnounceAfterMs);
  }

  // The buttons follow the program, which says after every pause, step and resume.
  function ShowPaused() {
    var paused = Paused();
    pauseButton.setAttribute("aria-pressed", String(paused));
    stepButton.disabled = !paused;
    if (!paused) {
      clearTimeout(announceTimer);
      if (news.textContent !== "") news.textContent = "";
    }
  }

  pauseButton.addEventListener("click", function () {
    if (program === null) return;
    if (Paused()) {
      program._ResumeProgram();
    } else {
      program._PauseProgram();
      Announce();
    }
  });
  stepButton.addEventListener("click", function () {
    if (program !== null && program._StepProgram() === 1) Announce();
  });
  speed.addEventListener("change", function () {
    if (program !== null) program._SetProgramSpeed(Number(speed.value));
  });
  new IntersectionObserver(function (seen) {
    onScreen = seen[seen.length - 1].isIntersecting;
    ShowSoon();
  }).observe(status);
  language.OnChange(ShowStatus);

  // K by its letter, or by its place where the layout types another (ㅏ on a Korean keyboard).
  function IsK(event) {
    return event.key === "k" || event.key === "K" ||
           (event.code === "KeyK" && !/^[a-z]$/i.test(event.key));
  }

  return {
    // The running program's module; until then the controls are disabled.
    Attach: function (started) {
      program = started;
      pauseButton.disabled = speed.disabled = false;
      program._SetProgramSpeed(Number(speed.value));
      ShowPaused();
      ShowStatus();
    },
    // The run changed: a choice, a pause, a step, a resume, a replay (at its link's speed).
    RunChanged: function (run) {
      speed.value = String(run.speed);
      ShowPaused();
      ShowSoon();
    },
    // K and "." on the element, while it has the focus; disabled buttons do nothing.
    TakeKeys: function (element) {
      element.addEventListener("keydown", function (event) {
        if (event.ctrlKey || event.metaKey || event.altKey) return;
        if (IsK(event)) pauseButton.click();
        else if (event.key === ".") stepButton.click();
        else return;
        event.preventDefault();
      });
    },
    // A frame was drawn, in an animation frame: the line follows in that one.
    Frame: ShowStatus,
    // The program stopped, or never started: no controls.
    Stop: function () {
      program = null;
      document.getElementById("clock").hidden = true;
    },
  };
}

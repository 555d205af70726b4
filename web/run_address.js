// run_address.js: the run in the page's address. As the run changes, the address is replaced (no
// history entry per change); at start-up a run in the address is replayed before the first tick,
// or, when it cannot be, the page says why in one line and the program starts afresh. What the
// address holds is read by run_link.js and never shown as markup.
//
// Browsers refuse more than a couple of hundred address changes in ten seconds, so a burst of
// changes (a held Step key) writes the address once at its end.
var kAddressEveryMs = 200;
var kLinkReasons = {
  "too-long": "linkTooLong",
  "malformed": "linkMalformed",
  "unknown-entry": "linkUnknownEntry",
  "backwards": "linkBackwards",
  "too-far": "linkTooFar",
  "too-much": "linkTooFar",
};

function RunAddress(language) {
  var runLink = RunLink();
  var message = document.getElementById("link-message");
  var messageKey = "";
  var pendingHash = null;
  var writeTimer = 0;

  function ShowMessage() {
    message.hidden = messageKey === "";
    message.textContent = messageKey === "" ? ""
        : language.Text(messageKey) + " " + language.Text("linkFresh");
  }

  function Write() {
    writeTimer = 0;
    if (pendingHash === null || pendingHash === location.hash) return;
    try {
      history.replaceState(history.state, "", pendingHash || location.pathname + location.search);
      pendingHash = null;
    } catch (error) {
      writeTimer = setTimeout(Write, kAddressEveryMs);  // Refused for now: later.
    }
  }

  language.OnChange(ShowMessage);

  return {
    // At start-up, before the first tick: the address's run, replayed in full or not at all.
    Replay: function (program) {
      var run = runLink.Parse(location.hash);
      if (run.ok && (run.choices.length > 0 || run.pausedAt !== null)) {
        run.choices.forEach(function (choice) {
          program._QueueReplayChoice(choice.entry, choice.tick);
        });
        if (program._ReplayRun(run.pausedAt === null ? -1 : run.pausedAt) === 0) {
          run = {ok: false, reason: "refused"};
        }
      }
      messageKey = run.ok ? "" : kLinkReasons[run.reason] || "linkRefused";
      ShowMessage();
      if (!run.ok) {  // The address says what runs now: a reload starts afresh too.
        pendingHash = "";
        Write();
      }
    },
    // The program's run now: {choices: [{entry, tick}, ...], pausedAt: tick or null}.
    RunChanged: function (run) {
      var hash = runLink.Format(run);
      if (hash === null) return;  // Beyond what a link replays: the address keeps the last.
      pendingHash = hash;
      if (writeTimer === 0) writeTimer = setTimeout(Write, kAddressEveryMs);
    },
  };
}

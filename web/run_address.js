// run_address.js: the run in the page's address. The program reads and checks the address at
// start-up and replays its run (src/app/run_link.cpp); it hands the page the hash to write as the
// run changes, and what it refused, with the value found, for the page to say in words. Nothing
// of the address is read here or shown as markup.
//
// The address is replaced as the run changes (no history entry per change), at most every
// kAddressEveryMs, since browsers refuse more than a couple of hundred changes in ten seconds. An
// address changed in the tab (a link followed, Back, Forward) starts the page afresh on it; the
// page's own replaceState writes fire no hashchange.
var kAddressEveryMs = 200;
var kLinkReasons = {
  "too-long": "linkTooLong",
  "malformed": "linkMalformed",
  "unknown-entry": "linkUnknownEntry",
  "backwards": "linkBackwards",
  "too-far": "linkTooFar",
  "too-many-animations": "linkTooManyAnimations",
  "too-much-trace": "linkTooMuchTrace",
  "unknown-call": "linkUnknownCall",
  "argument-count": "linkArgumentCount",
  "bad-number": "linkBadNumber",
  "too-many-calls": "linkTooManyCalls",
  "refused": "linkRefused",
};

function RunAddress(language) {
  var message = document.getElementById("link-message");
  // What the program refused in the address: {reason, found, limit, position}, position the call
  // at fault in the address's calls.
  var refusal = null;
  var pendingHash = null;
  var writeTimer = 0;

  function ShowMessage() {
    message.hidden = refusal === null;
    if (refusal === null) {
      message.textContent = "";
      return;
    }
    var current = language.Current();
    message.textContent = language.Text(kLinkReasons[refusal.reason] || "linkRefused", {
      found: refusal.found.toLocaleString(current),
      limit: refusal.limit.toLocaleString(current),
      position: refusal.position.toLocaleString(current),
    }) + " " + language.Text("linkFresh");
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
  window.addEventListener("hashchange", function () { location.reload(); });

  return {
    // At start-up, before the first tick: the program reads the address and replays its run.
    Replay: function (program) {
      program._ApplyAddressLink();
    },
    // The program's reading of the address: reason "" when it was replayed.
    LinkRead: function (reading) {
      refusal = reading.reason === "" ? null : reading;
      ShowMessage();
    },
    // The program's run now: {hash, tick, paused, change}; hash null for a run no link replays,
    // and then the address keeps the last. A refused address is written over at once.
    RunChanged: function (run) {
      if (refusal !== null && (run.change === "choice" || run.change === "step")) {
        refusal = null;
        ShowMessage();
      }
      if (run.hash === null) return;
      pendingHash = run.hash;
      if (run.change === "link") {
        Write();
      } else if (writeTimer === 0) {
        writeTimer = setTimeout(Write, kAddressEveryMs);
      }
    },
  };
}

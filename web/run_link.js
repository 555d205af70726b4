// run_link.js: a run of the program as the page's address: the menu entries chosen, each with the
// tick it was chosen at, and the tick the run is paused at, written into the address's hash and
// read back. RunLink() makes the reader and writer; under Node.js (its test) RunLink is the
// module's export.
//
//   #run=5@0,6@7&pause=37   entry 5 at tick 0, entry 6 at tick 7, paused at tick 37
//   #pause=0                paused at start-up, nothing chosen
//   (empty)                 a fresh run
//
// An entry is its position in the menu, 1 to 11; a tick is 100 ms of program time from start-up,
// written in decimal without leading zeros. Choices stand in the order made, their ticks never
// decreasing; a pause is at or after the last choice. Without a pause the run goes on live from
// its last choice's tick.
//
// RunLink().Parse(hash) gives {ok: true, choices: [{entry, tick}, ...], pausedAt: tick or null}, or
// {ok: false, reason, message}: reason is one of "too-long", "malformed", "unknown-entry",
// "backwards", "too-far" and "too-much", message one line of English saying what is wrong.
// RunLink().Format({choices, pausedAt}) gives the hash ("" for a fresh run), or null for a run
// parse would refuse.
function RunLink() {
  "use strict";

  var ENTRY_COUNT = 11;            // The menu's entries (src/scene/menu.cpp).
  var ANIMATION_ENTRIES = [5, 6];  // The entries that start a scale animation.
  var MAX_TICKS = 36000;           // An hour of program time.
  // Each animation prints three lines a tick: a replay prints at most three animations' hour.
  var MAX_ANIMATION_TICKS = 3 * MAX_TICKS;
  var MAX_LENGTH = 2000;           // Characters of the hash, with its '#'.

  function Refuse(reason, message) {
    return {ok: false, reason: reason, message: message};
  }

  var MALFORMED = Refuse("malformed",
                         "The link's run is not of the form #run=ENTRY@TICK,...&pause=TICK.");

  // A decimal without sign or leading zeros: its value, Infinity beyond six digits, or NaN.
  function Whole(text) {
    if (!/^(0|[1-9][0-9]*)$/.test(text)) return NaN;
    return text.length > 6 ? Infinity : Number(text);
  }

  function Check(choices, pausedAt) {
    var last = 0;
    var i;
    for (i = 0; i < choices.length; ++i) {
      var entry = choices[i].entry;
      if (!(entry >= 1 && entry <= ENTRY_COUNT)) {
        return Refuse("unknown-entry", "The link names menu entry " +
                      (entry < 1e6 ? entry : "beyond a million") + "; the menu's entries are 1 " +
                      "to " + ENTRY_COUNT + ".");
      }
    }
    var ticks = choices.map(function (choice) { return choice.tick; });
    if (pausedAt !== null) ticks.push(pausedAt);
    for (i = 0; i < ticks.length; ++i) {
      if (ticks[i] > MAX_TICKS) {
        return Refuse("too-far", "The link's run goes beyond an hour of program time (tick " +
                      MAX_TICKS + ").");
      }
      if (ticks[i] < last) {
        return Refuse("backwards", "The link's run goes back from tick " + last + " to tick " +
                      ticks[i] + ".");
      }
      last = ticks[i];
    }
    var animationTicks = 0;
    choices.forEach(function (choice) {
      if (ANIMATION_ENTRIES.indexOf(choice.entry) >= 0) animationTicks += last - choice.tick;
    });
    if (animationTicks > MAX_ANIMATION_TICKS) {
      return Refuse("too-much", "The link's animations would trace more than three of them " +
                    "for an hour; it is not replayed.");
    }
    return {ok: true, choices: choices, pausedAt: pausedAt};
  }

  function Parse(hash) {
    var text = String(hash);
    if (text.length > MAX_LENGTH) {
      return Refuse("too-long", "The link is longer than " + MAX_LENGTH + " characters.");
    }
    try {
      text = decodeURIComponent(text.replace(/^#/, ""));
    } catch (error) {
      return MALFORMED;
    }
    var choices = [];
    var pausedAt = null;
    var seen = {};
    var parts = text === "" ? [] : text.split("&");
    for (var i = 0; i < parts.length; ++i) {
      var field = /^(run|pause)=(.+)$/.exec(parts[i]);
      if (!field || seen[field[1]]) return MALFORMED;
      seen[field[1]] = true;
      if (field[1] === "pause") {
        pausedAt = Whole(field[2]);
        if (isNaN(pausedAt)) return MALFORMED;
        continue;
      }
      var items = field[2].split(",");
      for (var k = 0; k < items.length; ++k) {
        var item = /^([0-9]+)@([0-9]+)$/.exec(items[k]);
        var choice = item && {entry: Whole(item[1]), tick: Whole(item[2])};
        if (!choice || isNaN(choice.entry) || isNaN(choice.tick)) return MALFORMED;
        choices.push(choice);
      }
    }
    return Check(choices, pausedAt);
  }

  function Format(run) {
    var fields = [];
    if (run.choices.length > 0) {
      fields.push("run=" + run.choices.map(function (choice) {
        return choice.entry + "@" + choice.tick;
      }).join(","));
    }
    if (run.pausedAt !== null && run.pausedAt !== undefined) fields.push("pause=" + run.pausedAt);
    var hash = fields.length > 0 ? "#" + fields.join("&") : "";
    return Parse(hash).ok ? hash : null;
  }

  return {Parse: Parse, Format: Format};
}

if (typeof module === "object" && module.exports) module.exports = RunLink;

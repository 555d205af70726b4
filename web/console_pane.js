// console_pane.js: the console beside the drawing. It keeps the program's start-up report whole
// and the newest lines after it in at most kMaxBlocks elements: blocks of kBlockLines and, last,
// a tail of fewer than kTailLines, where new lines are written. A full tail joins the last block,
// so a tick lays out and paints a few lines, not a block. A line between the report and the
// newest says how many it let go, and where they still are: the browser's console log has every
// line but those of a run replayed from the address, which come first, right after the report.
// Out of view the pane writes nothing, and catches up when seen again.
var kBlockLines = 50;
var kMaxBlocks = 60;
var kTailLines = 10;  // Divides kBlockLines.
var kPaneLines = kBlockLines * kMaxBlocks;
var kMaxReportLines = 1000;

function ConsolePane(language) {
  var pane = document.getElementById("console");
  var report = document.getElementById("report");
  var dropped = document.getElementById("dropped");
  var newest = document.getElementById("newest");

  var reportOpen = true;  // Until the program's main returns, it prints its report.
  var reportLines = 0;
  var pendingReport = "";
  var pendingLines = [];
  var droppedLines = 0;
  var unloggedLines = 0;  // Lines after the report that the browser's console log lacks.
  var blockLines = [];  // The number of lines in each block of #newest.
  var tail = newest.appendChild(document.createElement("pre"));
  var tailLines = 0;
  var inView = true;  // Until the observer first says.
  var flushRequest = 0;  // The animation frame asked for, if any.
  tail.append("");

  // Lets go of the oldest of the lines not yet written.
  function DropPending(count) {
    pendingLines.splice(0, count);
    droppedLines += count;
  }

  function ShowDropped() {
    if (droppedLines === 0) return;
    var replayed = Math.min(droppedLines, unloggedLines);
    var key = replayed === 0 ? "dropped" : replayed === droppedLines ? "droppedReplayed"
        : "droppedSome";
    dropped.textContent = language.Text(key, {
      count: droppedLines.toLocaleString(language.Current()),
      replayed: replayed.toLocaleString(language.Current()),
    });
    dropped.hidden = false;
  }

  // The tail's lines join the last block, or start a new one after it.
  function SettleTail() {
    if (blockLines.length === 0 || blockLines[blockLines.length - 1] === kBlockLines) {
      var block = newest.insertBefore(document.createElement("pre"), tail);
      block.append("");
      blockLines.push(0);
      if (blockLines.length === kMaxBlocks) {  // The tail is one.
        droppedLines += blockLines.shift();
        newest.firstChild.remove();
      }
    }
    tail.previousSibling.firstChild.appendData(tail.firstChild.data);
    blockLines[blockLines.length - 1] += tailLines;
    tail.firstChild.data = "";
    tailLines = 0;
  }

  function Flush() {
    cancelAnimationFrame(flushRequest);
    flushRequest = 0;
    if (!inView || (pendingReport === "" && pendingLines.length === 0)) return;
    var following = pane.scrollHeight - pane.scrollTop - pane.clientHeight < 4;
    if (pendingReport !== "") report.append(pendingReport);
    pendingReport = "";
    if (pendingLines.length > kPaneLines) DropPending(pendingLines.length - kPaneLines);
    for (var i = 0; i < pendingLines.length;) {
      var take = Math.min(kTailLines - tailLines, pendingLines.length - i);
      tail.firstChild.appendData(pendingLines.slice(i, i + take).join("\n") + "\n");
      tailLines += take;
      i += take;
      if (tailLines === kTailLines) SettleTail();
    }
    pendingLines = [];
    ShowDropped();
    if (following) pane.scrollTop = pane.scrollHeight;
  }

  // Lines wait for the next animation frame: writing the pane for every line would hold up the
  // timer callbacks that print them. A replay's lines (unlogged) skip the browser's console log,
  // which keeps every line and would make a long replay slow.
  function Print(line, unlogged) {
    if (!unlogged) console.log(line);
    if (flushRequest === 0 && inView) flushRequest = requestAnimationFrame(Flush);
    if (reportOpen && reportLines < kMaxReportLines) {
      pendingReport += line + "\n";
      ++reportLines;
    } else {
      if (unlogged) ++unloggedLines;
      pendingLines.push(line);
      // A hidden page gets no animation frames: what the pane could not keep goes meanwhile.
      if (pendingLines.length === 2 * kPaneLines) DropPending(kPaneLines);
    }
  }

  // Ctrl+A in the focused pane selects its text alone, for the browser's copy.
  pane.addEventListener("keydown", function (event) {
    if ((event.ctrlKey || event.metaKey) && event.key === "a") {
      event.preventDefault();
      getSelection().selectAllChildren(pane);
    }
  });
  language.OnChange(ShowDropped);
  new IntersectionObserver(function (entries) {
    inView = entries[entries.length - 1].isIntersecting;
    Flush();
  }).observe(pane);

  return {
    Print: Print,
    // Writes what waits, in the animation frame that draws.
    Flush: Flush,
    EndReport: function () { reportOpen = false; },
    WaitingLines: function () { return pendingLines.length; },
  };
}

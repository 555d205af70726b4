// console_pane.js: the console beside the drawing. It keeps the program's start-up report whole
// and the newest lines after it in blocks of kBlockLines, at most kMaxBlocks of them: each block
// is an element of its own, so writing lays out only the last. A line between the report and the
// newest says how many it let go; every line still goes to the browser's console log, but for
// those of a run replayed from the address.
var kBlockLines = 100;
var kMaxBlocks = 30;
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
  var blockLines = [];  // The number of lines in each block of #newest.

  // Lets go of the oldest of the lines not yet written.
  function DropPending(count) {
    pendingLines.splice(0, count);
    droppedLines += count;
  }

  function ShowDropped() {
    if (droppedLines === 0) return;
    dropped.textContent = language.Text("dropped",
                                        {count: droppedLines.toLocaleString(language.Current())});
    dropped.hidden = false;
  }

  function Flush() {
    var following = pane.scrollHeight - pane.scrollTop - pane.clientHeight < 4;
    if (pendingReport !== "") report.append(pendingReport);
    pendingReport = "";
    if (pendingLines.length > kPaneLines) DropPending(pendingLines.length - kPaneLines);
    for (var i = 0; i < pendingLines.length;) {
      if (blockLines.length === 0 || blockLines[blockLines.length - 1] === kBlockLines) {
        newest.append(document.createElement("pre"));
        newest.lastChild.append("");
        blockLines.push(0);
        if (blockLines.length > kMaxBlocks) {
          droppedLines += blockLines.shift();
          newest.firstChild.remove();
        }
      }
      var take = Math.min(kBlockLines - blockLines[blockLines.length - 1], pendingLines.length - i);
      newest.lastChild.firstChild.appendData(pendingLines.slice(i, i + take).join("\n") + "\n");
      blockLines[blockLines.length - 1] += take;
      i += take;
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
    if (pendingReport === "" && pendingLines.length === 0) requestAnimationFrame(Flush);
    if (reportOpen && reportLines < kMaxReportLines) {
      pendingReport += line + "\n";
      ++reportLines;
    } else {
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

  return {
    Print: Print,
    EndReport: function () { reportOpen = false; },
    WaitingLines: function () { return pendingLines.length; },
  };
}

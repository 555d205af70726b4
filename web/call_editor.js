// call_editor.js: the learner's own model-view calls for the cube, edited as an ordered list:
// insert, delete, move (buttons, Alt+arrows, drag), values checked as typed, undo and redo, and a
// call chosen to see its frame. The program reads and checks every list and every value
// (src/app/call_list.cpp): the page only puts the list's text together from the texts the program
// gave back, and splits texts the program wrote or accepted, whose form is fixed. Matrices, depths
// and marks come from the program's frame record; the page computes none.
//
// Nothing here runs per tick while nothing is edited: a frame only writes the depths and marks of
// a list just changed, once, and the rows are built again only when the list changes.
var kCallArguments = {
  glLoadIdentity: [],
  glTranslatef: ["x", "y", "z"],
  glRotatef: ["angle", "x", "y", "z"],
  glScalef: ["x", "y", "z"],
  glPushMatrix: [],
  glPopMatrix: [],
  glutSolidCube: ["size"],
};
var kNewCallArguments = {
  glTranslatef: ["0", "0", "0"],
  glRotatef: ["0", "0", "0", "1"],
  glScalef: ["1", "1", "1"],
  glutSolidCube: ["0.3"],
};
// The program's reasons for refusing a list, and the strings that say them.
var kCallsReasons = {
  "unknown-call": "callsUnknownCall",
  "argument-count": "callsArgumentCount",
  "bad-number": "callsBadNumber",
  "too-many-calls": "callsTooManyCalls",
  "malformed": "callsMalformed",
};
var kMaxLearnerCalls = 16;
var kMaxUndoSteps = 100;
var kArgumentProblems = {
  incomplete: "argumentIncomplete",
  empty: "argumentEmpty",
  "not-a-number": "argumentNotANumber",
  infinite: "argumentInfinite",
  "out-of-range": "argumentOutOfRange",
  malformed: "argumentMalformed",
};

function CallEditor(language) {
  var toggle = document.getElementById("edit-calls");
  var body = document.getElementById("editor-body");
  var rows = document.getElementById("call-list");
  var noneShown = document.getElementById("show-none");
  var addKind = document.getElementById("add-kind");
  var addPlace = document.getElementById("add-place");
  var addButton = document.getElementById("add-call");
  var undoButton = document.getElementById("undo");
  var redoButton = document.getElementById("redo");
  var preset = document.getElementById("preset");
  var limitNote = document.getElementById("calls-limit");
  var refusedNote = document.getElementById("calls-refused");
  var news = document.getElementById("call-news");
  var program = null;
  var open = false;
  var calls = [];          // {name, args: [text as the program wrote it]}
  var chosen = null;       // The call whose frame is drawn, or null.
  var past = [];           // List texts before each step, newest last.
  var future = [];
  var typing = null;       // The field whose typing is the open step.
  var reading = null;      // The program's reading of the last value checked.
  var refusal = null;
  var marksPending = false;
  var recorded = null;     // The record the depths and marks were last written from.
  var pendingMode = false; // A menu entry was chosen: its mode's calls at the next frame.
  var dragFrom = -1;
  var drawMode = 1;

  function Call(name, args) { return {name: name, args: args.slice()}; }

  function Write(list) {
    return list.map(function (call) { return call.name + "(" + call.args.join(",") + ")"; })
        .join(";");
  }

  // Text the program wrote or accepted: "name(a,b);name()".
  function Split(text) {
    return text === "" ? [] : text.split(";").map(function (part) {
      var paren = part.indexOf("(");
      var inside = part.slice(paren + 1, -1);
      return Call(part.slice(0, paren), inside === "" ? [] : inside.split(","));
    });
  }

  function Say(text) {
    news.textContent = "";
    news.textContent = text;
  }

  function Apply() {
    marksPending = true;
    if (program.ccall("SetLearnerCalls", "number", ["string"], [Write(calls)]) === 1) {
      refusal = null;
    }
    ShowRefusal();
    program._SelectCall(calls.indexOf(chosen));
  }

  function ShowRefusal() {
    refusedNote.hidden = refusal === null;
    refusedNote.textContent = refusal === null ? "" : language.Text(
        kCallsReasons[refusal.reason] || "callsRefused",
        {position: refusal.position, found: refusal.found, limit: refusal.limit});
  }

  function Step() {
    past.push(Write(calls));
    if (past.length > kMaxUndoSteps) past.shift();
    future = [];
    typing = null;
  }

  function Load(text, focusKey) {
    calls = Split(text);
    chosen = null;
    Render(focusKey);
    Apply();
  }

  function Undo(from, to) {
    if (from.length === 0) return;
    to.push(Write(calls));
    typing = null;
    var focusKey = Key(document.activeElement);
    Load(from.pop(), focusKey);
  }

  // A control's place, to find it again in the rows built anew: "row index/role".
  function Key(element) {
    var row = element && element.closest ? element.closest("#call-list > li") : null;
    if (!row) return element && element.id ? "#" + element.id : null;
    return Array.prototype.indexOf.call(rows.children, row) + "/" + element.dataset.role;
  }

  function Focus(key) {
    if (!key) return;
    var element = key[0] === "#" ? document.getElementById(key.slice(1)) : null;
    if (!element) {
      var parts = key.split("/");
      var row = rows.children[Math.min(Number(parts[0]), rows.children.length - 1)];
      element = row && (row.querySelector("[data-role='" + parts[1] + "']") ||
                        row.querySelector("[data-role=show]"));
    }
    (element || addButton).focus();
  }

  function Button(role, key) {
    var button = document.createElement("button");
    button.type = "button";
    button.dataset.role = role;
    button.textContent = language.Text(key);
    return button;
  }

  function Row(call, index) {
    var count = calls.length;
    var row = document.createElement("li");
    row.setAttribute("aria-label", language.Text("callRow",
        {position: index + 1, count: count, name: call.name}));
    var grip = document.createElement("span");
    grip.className = "grip";
    grip.draggable = true;
    grip.setAttribute("aria-hidden", "true");
    grip.textContent = "⠿";
    var show = document.createElement("input");
    show.type = "radio";
    show.name = "shown-call";
    show.dataset.role = "show";
    show.checked = call === chosen;
    show.setAttribute("aria-label", language.Text("showCall", {position: index + 1}));
    var name = document.createElement("code");
    name.textContent = call.name;
    row.append(grip, show, name);
    var fields = document.createElement("span");
    fields.className = "arguments";
    kCallArguments[call.name].forEach(function (argument, k) {
      var field = document.createElement("input");
      field.type = "text";
      field.inputMode = "decimal";
      field.autocomplete = "off";
      field.spellcheck = false;
      field.setAttribute("list", "call-variables");
      field.dataset.role = "argument" + k;
      field.value = call.args[k];
      field.size = 8;
      field.setAttribute("aria-label", language.Text("argumentName",
          {argument: argument, position: index + 1, name: call.name}));
      var why = document.createElement("span");
      why.className = "why";
      why.id = "why-" + index + "-" + k;
      field.setAttribute("aria-describedby", why.id);
      fields.append(field, why);
    });
    var depth = document.createElement("span");
    depth.className = "depth";
    var up = Button("up", "moveUp");
    var down = Button("down", "moveDown");
    up.setAttribute("aria-disabled", String(index === 0));
    down.setAttribute("aria-disabled", String(index === count - 1));
    [up, down].forEach(function (button, k) {
      button.setAttribute("aria-label", language.Text(k ? "moveDownName" : "moveUpName",
          {position: index + 1, name: call.name}));
    });
    var remove = Button("delete", "deleteCall");
    remove.setAttribute("aria-label", language.Text("deleteName",
        {position: index + 1, name: call.name}));
    row.append(fields, depth, up, down, remove);
    return row;
  }

  function Render(focusKey) {
    rows.replaceChildren.apply(rows, calls.map(Row));
    noneShown.checked = chosen === null;
    var full = calls.length >= kMaxLearnerCalls;
    addButton.setAttribute("aria-disabled", String(full));
    limitNote.hidden = !full;
    undoButton.setAttribute("aria-disabled", String(past.length === 0));
    redoButton.setAttribute("aria-disabled", String(future.length === 0));
    var place = addPlace.value;
    addPlace.replaceChildren();
    for (var i = 0; i <= calls.length; ++i) {
      addPlace.append(new Option(i === calls.length ? language.Text("placeEnd")
          : language.Text("placeBefore", {position: i + 1, name: calls[i].name}), String(i)));
    }
    addPlace.value = place !== "" && Number(place) <= calls.length ? place
        : String(calls.length);
    Focus(focusKey);
  }

  // Depth and marks after each call, from the program's record of the first frame of a list.
  function ShowMarks(frameCalls) {
    marksPending = false;
    recorded = frameCalls;
    Array.prototype.forEach.call(rows.children, function (row, i) {
      var call = frameCalls[i];
      if (!call) return;
      var text = language.Text("depth", {depth: call.depth});
      if (call.mark) text += ", " + language.Text(call.mark === "open" ? "markOpen" : "markUnmatched");
      var depth = row.querySelector(".depth");
      if (depth.textContent !== text) depth.textContent = text;
      row.style.marginLeft = Math.min(call.depth, 8) + "em";
      row.dataset.mark = call.mark;
    });
  }

  function Move(from, to, role) {
    if (to < 0 || to >= calls.length || from === to) return;
    Step();
    var call = calls.splice(from, 1)[0];
    calls.splice(to, 0, call);
    Render(to + "/" + role);
    Apply();
    Say(language.Text("moved", {name: call.name, position: to + 1, count: calls.length}));
  }

  function Insert() {
    if (calls.length >= kMaxLearnerCalls) {
      Say(language.Text("callsLimit"));
      return;
    }
    Step();
    var name = addKind.value;
    var at = Math.min(Number(addPlace.value), calls.length);
    calls.splice(at, 0, Call(name, kNewCallArguments[name] || []));
    addPlace.value = String(at + 1);
    Render("#add-call");
    Apply();
    Say(language.Text("added", {name: name, position: at + 1, count: calls.length}) +
        (calls.length >= kMaxLearnerCalls ? " " + language.Text("callsLimit") : ""));
  }

  function Delete(index) {
    Step();
    var call = calls.splice(index, 1)[0];
    if (call === chosen) chosen = null;
    Render(calls.length ? index + "/delete" : "#add-call");
    Apply();
    Say(language.Text("deleted", {name: call.name, count: calls.length}));
  }

  function Choose(index) {
    chosen = index < 0 ? null : calls[index];
    program._SelectCall(index);
  }

  function RowIndex(element) {
    var row = element.closest("#call-list > li");
    return row ? Array.prototype.indexOf.call(rows.children, row) : -1;
  }

  function ShowProblem(field, state) {
    var why = document.getElementById(field.getAttribute("aria-describedby"));
    var problem = state === "ok" ? "" : language.Text(kArgumentProblems[state] ||
                                                       "argumentMalformed");
    if (why.textContent !== problem) why.textContent = problem;
    field.setAttribute("aria-invalid", String(state !== "ok" && state !== "incomplete"));
  }

  function Typed(field) {
    var index = RowIndex(field);
    var k = Number(field.dataset.role.slice("argument".length));
    reading = null;
    program.ccall("CheckArgument", "number", ["string"], [field.value.slice(0, 64)]);
    var state = reading ? reading.state : "malformed";
    ShowProblem(field, state);
    if (state !== "ok" || calls[index].args[k] === reading.text) return;
    if (typing !== field) {
      Step();
      typing = field;
      undoButton.setAttribute("aria-disabled", "false");
      redoButton.setAttribute("aria-disabled", "true");
    }
    calls[index].args[k] = reading.text;
    Apply();
  }

  function SetOpen(value, text) {
    open = value;
    toggle.setAttribute("aria-pressed", String(open));
    body.hidden = !open;
    if (!open) {
      program._LeaveLearnerCalls();
      return;
    }
    past = [];
    future = [];
    Load(text === undefined ? ModeCalls(drawMode) : text);
  }

  function ModeCalls(mode) {
    return program.ccall("ModeCalls", "string", ["number"], [mode]);
  }

  toggle.addEventListener("click", function () { SetOpen(!open); });
  addButton.addEventListener("click", Insert);
  undoButton.addEventListener("click", function () { Undo(past, future); });
  redoButton.addEventListener("click", function () { Undo(future, past); });
  document.getElementById("reset-calls").addEventListener("click", function () {
    Step();
    Load(ModeCalls(drawMode), "#reset-calls");
  });
  document.getElementById("use-preset").addEventListener("click", function () {
    Step();
    Load(ModeCalls(Number(preset.value)), "#use-preset");
  });
  noneShown.addEventListener("change", function () { Choose(-1); });

  rows.addEventListener("click", function (event) {
    var index = RowIndex(event.target);
    if (index < 0) return;
    var role = event.target.dataset.role;
    if (role === "up" || role === "down") {
      Move(index, index + (role === "up" ? -1 : 1), role);
    } else if (role === "delete") {
      Delete(index);
    } else if (role !== "show" && !IsField(event.target)) {
      rows.children[index].querySelector("[data-role=show]").click();
    }
  });
  rows.addEventListener("change", function (event) {
    if (event.target.dataset.role === "show") Choose(RowIndex(event.target));
  });
  function IsField(element) { return /^argument/.test(element.dataset.role || ""); }

  rows.addEventListener("input", function (event) {
    if (IsField(event.target)) Typed(event.target);
  });
  // On leaving a field it shows the float its value became, or the value still in force.
  rows.addEventListener("focusout", function (event) {
    var field = event.target;
    if (!IsField(field)) return;
    typing = null;
    var index = RowIndex(field);
    if (index < 0) return;
    field.value = calls[index].args[Number(field.dataset.role.slice("argument".length))];
    ShowProblem(field, "ok");
  });
  rows.addEventListener("keydown", function (event) {
    if (!event.altKey || (event.key !== "ArrowUp" && event.key !== "ArrowDown")) return;
    var index = RowIndex(event.target);
    if (index < 0) return;
    event.preventDefault();
    Move(index, index + (event.key === "ArrowUp" ? -1 : 1),
         event.target.dataset.role || "show");
  });
  body.addEventListener("keydown", function (event) {
    if (!(event.ctrlKey || event.metaKey) || event.altKey) return;
    var key = event.key.toLowerCase();
    if (key === "z" && !event.shiftKey) {
      Undo(past, future);
    } else if ((key === "z" && event.shiftKey) || key === "y") {
      Undo(future, past);
    } else {
      return;
    }
    event.preventDefault();
  });
  // Dragging a row by its grip; one drop is one step.
  rows.addEventListener("dragstart", function (event) {
    dragFrom = RowIndex(event.target);
    event.dataTransfer.effectAllowed = "move";
    event.dataTransfer.setData("text/plain", String(dragFrom));
  });
  rows.addEventListener("dragover", function (event) {
    if (dragFrom >= 0 && RowIndex(event.target) >= 0) event.preventDefault();
  });
  rows.addEventListener("drop", function (event) {
    var to = RowIndex(event.target);
    if (dragFrom < 0 || to < 0) return;
    event.preventDefault();
    Move(dragFrom, to, "show");
    dragFrom = -1;
  });
  rows.addEventListener("dragend", function () { dragFrom = -1; });

  language.OnChange(function () {
    for (var mode = 1; mode <= 5; ++mode) {
      preset.options[mode - 1].textContent = language.Text("presetMode", {mode: mode});
    }
    if (open) {
      Render(Key(document.activeElement));
      if (!marksPending && recorded) ShowMarks(recorded);
    }
    ShowRefusal();
  });

  return {
    // Once the program runs; the editor needs its five calls for the learner's list.
    Attach: function (module) {
      if (typeof module._SetLearnerCalls !== "function" || !module.ccall) return;
      program = module;
      toggle.disabled = false;
    },
    // The program's refusal of a list, or reason "" when it is in force.
    CallsRead: function (read) { refusal = read.reason === "" ? null : read; },
    ArgumentRead: function (read) { reading = read; },
    // A run changed: a link's calls open the editor; a menu entry shows its mode's calls.
    RunChanged: function (run) {
      if (program === null) return;
      if (run.change === "link" && run.calls) {
        SetOpen(true, run.calls);
      } else if (run.change === "choice" && open) {
        pendingMode = true;
      }
    },
    Frame: function (frame) {
      drawMode = frame.drawMode;
      if (!open) return;
      if (pendingMode) {
        pendingMode = false;
        Step();
        Load(ModeCalls(drawMode), Key(document.activeElement));
      } else if (marksPending && frame.learner) {
        ShowMarks(frame.calls);
      }
    },
  };
}

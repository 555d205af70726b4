// copy_link.js: Copy link, beside the clock: copies a link to the run paused at the current tick,
// written by the program, whether the run is paused or going on. The clipboard's writeText is
// tried first; where it is refused (a page opened from the disk, a browser's setting) the link
// is copied from a read-only field, and where that is refused too the field stays, its link
// selected, for the person to copy. What happened is said once, politely, and cleared later.
var kCopyNewsMs = 6000;

function CopyLink(language) {
  var button = document.getElementById("copy-link");
  var field = document.getElementById("copy-field");
  var news = document.getElementById("copy-news");
  var program = null;
  var newsKey = "";
  var newsTimer = 0;

  function ShowNews() {
    news.textContent = newsKey === "" ? "" : language.Text(newsKey);
  }

  function Say(key) {
    newsKey = key;
    ShowNews();
    clearTimeout(newsTimer);
    newsTimer = setTimeout(function () { Say(""); }, kCopyNewsMs);
  }

  function CopyFromField(link) {
    field.value = link;
    field.hidden = false;
    field.focus();
    field.select();
    var copied = false;
    try {
      copied = document.execCommand("copy");
    } catch (error) {
      copied = false;
    }
    if (copied) {
      field.hidden = true;
      button.focus();
    }
    Say(copied ? "linkCopied" : "linkSelected");
  }

  button.addEventListener("click", function () {
    if (program === null) return;
    var hash = program.UTF8ToString(program._MomentLink());
    if (hash === "") {
      Say("linkBeyond");
      return;
    }
    var link = location.href.split("#")[0] + hash;
    field.value = link;
    if (!navigator.clipboard || !navigator.clipboard.writeText) {
      CopyFromField(link);
      return;
    }
    navigator.clipboard.writeText(link).then(function () {
      field.hidden = true;
      Say("linkCopied");
    }, function () { CopyFromField(link); });
  });
  language.OnChange(ShowNews);

  return {
    // The running program's module; until then the button is disabled.
    Attach: function (started) {
      program = started;
      button.disabled = false;
    },
  };
}

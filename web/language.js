// language.js: the page in Korean or English. The browser's preferred languages choose at
// first; the 한국어 | English buttons switch, and the choice is kept in local storage. Elements
// marked data-text="key" get that string as their content, data-label="key" as their ARIA name;
// text that changes (the help line, the frame number) asks Text() again in an OnChange callback.
var kLanguageStorageKey = "sample-drawing.language";

function Language(strings) {
  var listeners = [];
  var current = Stored() || Preferred();

  function Known(tag) {
    return typeof tag === "string" && Object.prototype.hasOwnProperty.call(strings, tag);
  }

  // Storage may be refused (a private window, a disk page in some settings): then it is not kept.
  function Stored() {
    try {
      var stored = localStorage.getItem(kLanguageStorageKey);
      return Known(stored) ? stored : null;
    } catch (error) {
      return null;
    }
  }

  function Preferred() {
    var tags = navigator.languages || [navigator.language];
    for (var i = 0; i < tags.length; ++i) {
      var primary = String(tags[i]).toLowerCase().split("-")[0];
      if (Known(primary)) return primary;
    }
    return "en";
  }

  // The string of the key in the current language, {name} replaced by values[name].
  function Text(key, values) {
    return strings[current][key].replace(/\{(\w+)\}/g, function (whole, name) {
      return String(values[name]);
    });
  }

  // Puts the string into the element as text, `code` as <code> elements: never as markup.
  function Fill(element, text) {
    element.replaceChildren();
    text.split("`").forEach(function (part, i) {
      if (i % 2 === 0) {
        element.append(part);
      } else {
        var code = document.createElement("code");
        code.textContent = part;
        element.append(code);
      }
    });
  }

  function Apply() {
    document.documentElement.lang = current;
    document.title = Text("pageTitle");
    document.querySelector("meta[name=description]").content = Text("description");
    document.querySelectorAll("[data-text]").forEach(function (element) {
      Fill(element, Text(element.dataset.text));
    });
    document.querySelectorAll("[data-label]").forEach(function (element) {
      element.setAttribute("aria-label", Text(element.dataset.label));
    });
    document.querySelectorAll("[data-language]").forEach(function (button) {
      button.setAttribute("aria-pressed", String(button.dataset.language === current));
    });
    listeners.forEach(function (listener) { listener(); });
  }

  function Choose(language) {
    if (!Known(language) || language === current) return;
    current = language;
    try {
      localStorage.setItem(kLanguageStorageKey, language);
    } catch (error) {
      // Not kept: the page goes on in the language chosen.
    }
    Apply();
  }

  document.querySelectorAll("[data-language]").forEach(function (button) {
    button.addEventListener("click", function () { Choose(button.dataset.language); });
  });
  document.getElementById("languages").hidden = false;
  Apply();

  return {
    Text: Text,
    Current: function () { return current; },
    // Calls listener now and after every switch.
    OnChange: function (listener) {
      listeners.push(listener);
      listener();
    },
  };
}

// canvas_size.js: the size control under the drawing: the canvas's box at 1×, 1.5× or 2× its
// usual 300 CSS pixels, as the style sheet sizes it for the scene's data-size, and never wider
// than the page. The choice is kept in local storage; read back, only the sizes offered count,
// and anything else is 1×.
var kCanvasSizeStorageKey = "sample-drawing.size";

function CanvasSize() {
  var scene = document.getElementById("scene");
  var select = document.getElementById("canvas-size");
  var offered = Array.from(select.options, function (option) { return option.value; });

  function Known(size) {
    return offered.indexOf(size) >= 0;
  }

  // Storage may be refused (a private window, a disk page in some settings): then it is not kept.
  function Stored() {
    try {
      var stored = localStorage.getItem(kCanvasSizeStorageKey);
      return Known(stored) ? stored : offered[0];
    } catch (error) {
      return offered[0];
    }
  }

  function Show(size) {
    scene.dataset.size = size;
    select.value = size;
  }

  select.addEventListener("change", function () {
    if (!Known(select.value)) return;
    Show(select.value);
    try {
      localStorage.setItem(kCanvasSizeStorageKey, select.value);
    } catch (error) {
      // Not kept: the page goes on at the size chosen.
    }
  });
  Show(Stored());
}

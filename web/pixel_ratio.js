// pixel_ratio.js: keeps the canvas sharp at any size and on any screen. Its drawing buffer is its
// box times devicePixelRatio (600 x 600 for the 300-pixel box at 2); the box is the style
// sheet's (canvas_size.js chooses it). The edge, in device pixels, follows the box's real size
// and the ratio as they change (the size control, a narrow window, browser zoom, another screen),
// and goes to the program, which sizes the buffer and its viewport to it (platform_web.cpp).
function FollowPixelRatio(canvas) {
  var edgePx = 0;  // 0 while the canvas has no box (hidden).
  var listener = function () {};

  function Measure() {
    var measuredPx = Math.round(canvas.getBoundingClientRect().width * devicePixelRatio);
    if (measuredPx < 1 || measuredPx === edgePx) return;
    edgePx = measuredPx;
    listener(edgePx);
  }

  // A resolution query matches the current ratio only; when it stops matching, the ratio has
  // changed, and a query for the new one takes over.
  function Watch() {
    matchMedia("(resolution: " + devicePixelRatio + "dppx)").addEventListener("change",
        function () {
          Measure();
          Watch();
        }, {once: true});
  }

  // The box changes with the size control and with a window narrower than it.
  new ResizeObserver(Measure).observe(canvas);
  Measure();
  Watch();
  // Browser zoom resizes the window too; some emulators change the ratio with that alone.
  window.addEventListener("resize", Measure);

  return {
    EdgePx: function () { return edgePx; },
    // Calls listener with each new edge, in device pixels.
    OnChange: function (changed) { listener = changed; },
  };
}

// pixel_ratio.js: keeps the canvas sharp on a dense screen. Its drawing buffer is its CSS size
// times devicePixelRatio (600 x 600 at 2) while its box stays the same, and follows the ratio as
// it changes: browser zoom, or the window moved to another screen. The program scales its
// viewport to the buffer (src/app/canvas_web.cpp).
function FollowPixelRatio(canvas, cssPx) {
  function Apply() {
    var bufferPx = Math.round(cssPx * devicePixelRatio);
    if (canvas.width !== bufferPx) canvas.width = bufferPx;
    if (canvas.height !== bufferPx) canvas.height = bufferPx;
  }

  // A resolution query matches the current ratio only; when it stops matching, the ratio has
  // changed, and a query for the new one takes over.
  function Watch() {
    matchMedia("(resolution: " + devicePixelRatio + "dppx)").addEventListener("change",
        function () {
          Apply();
          Watch();
        }, {once: true});
  }

  Apply();
  Watch();
  // Browser zoom resizes the window too; some emulators change the ratio with that alone.
  window.addEventListener("resize", Apply);
  // Applies the ratio again, after the program's start-up has set the buffer to its window size.
  return Apply;
}

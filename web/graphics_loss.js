// graphics_loss.js: the browser may take the canvas's WebGL context away (a graphics driver
// reset, a laptop switching graphics, WEBGL_lose_context) and give it back later. The page says
// so in place of the drawing, and on the context's return offers to start again.
//
// The drawing cannot simply go on: Emscripten's emulation of fixed-function GL makes its
// shaders and vertex buffers once, when the program's context is made, and keeps them; the
// program sets its clear colour once at start-up. A context given back has none of them, and
// the program's frames would draw nothing on black. Starting again reloads the same address,
// its hash included. While the context is away, the program's GL calls do nothing and throw
// nothing, so its timers and the console go on.
function WatchGraphicsLoss(canvas, startAgain, onLost) {
  canvas.addEventListener("webglcontextlost", function (event) {
    event.preventDefault();  // Without it the browser never gives the context back.
    onLost();
  });
  canvas.addEventListener("webglcontextrestored", function () {
    startAgain.hidden = false;
  });
  startAgain.addEventListener("click", function () { location.reload(); });
}

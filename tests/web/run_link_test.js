// run_link_test.js: the run's link under Node.js: runs come back from their links as they were,
// and every kind of bad link is refused with its reason in one line.
"use strict";
const assert = require("node:assert");
const RunLink = require("../../web/run_link.js")();

const runs = [[[], null], [[], 0], [[[5, 0], [6, 0], [11, 7]], 36000], [[[5, 12], [3, 40]], null]];
for (const [choices, pausedAt] of runs) {
  const run = {choices: choices.map(([entry, tick]) => ({entry, tick})), pausedAt};
  assert.deepStrictEqual(RunLink.Parse(RunLink.Format(run)), Object.assign({ok: true}, run));
}
assert.strictEqual(RunLink.Format({choices: [{entry: 5, tick: 10}], pausedAt: 37}),
                   "#run=5@10&pause=37");
assert.deepStrictEqual(RunLink.Parse("#run=5%4010").choices, [{entry: 5, tick: 10}]);
assert.strictEqual(RunLink.Format({choices: [{entry: 1, tick: 36001}], pausedAt: null}), null);

for (const [link, reason] of [
         ["#run=5@0,6", "malformed"], ["#run=5@0&run=6@1", "malformed"], ["#speed=2", "malformed"],
         ["#run=5@07", "malformed"], ["#run=%E0%A4%A", "malformed"], ["#pause=", "malformed"],
         ["#run=<b>@1", "malformed"], ["#run=12@0", "unknown-entry"], ["#run=0@0", "unknown-entry"],
         ["#run=99999999@0", "unknown-entry"], ["#run=5@10,6@9", "backwards"],
         ["#run=5@10&pause=9", "backwards"], ["#run=1@36001", "too-far"],
         ["#pause=9999999999999", "too-far"], ["#run=5@0,5@0,6@0,5@0&pause=36000", "too-much"],
         ["#run=" + "1@0,".repeat(600) + "1@0", "too-long"]]) {
  const result = RunLink.Parse(link);
  assert.strictEqual(result.reason, reason, link.slice(0, 40));
  assert.match(result.message, /^[^\n]{10,120}$/);
}

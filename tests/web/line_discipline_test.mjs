// The web page's line discipline (src/platform/web/terminal.js) on its own, under node with a
// stand-in terminal: what the keys send goes in, and what the program's reads receive and what the
// terminal echoes come out, case by case. Prints "N passed, M failed".
//   usage: node line_discipline_test.mjs
import { readFileSync } from "node:fs";
import vm from "node:vm";

const source = readFileSync(new URL("../../src/platform/web/terminal.js", import.meta.url), "utf8");
const Ended = 0;  // a read's count once the input has ended

// Each case: what the keys send (one string per onData call, all before the reads), the capacity
// of each read, and what the reads and the echo must be ("" for a read that ends the input).
const Cases = [
  { name: "a line", keys: ["12\r"], reads: [16], want: ["12\n"], echo: "12\r\n" },
  { name: "Backspace takes back the last character", keys: ["5\x7f34\r"], reads: [16],
    want: ["34\n"], echo: "5\b \b34\r\n" },
  { name: "Ctrl-H is a Backspace too", keys: ["56\b\r"], reads: [16], want: ["5\n"],
    echo: "56\b \b\r\n" },
  { name: "Backspace on an empty line does nothing", keys: ["\x7f1\r"], reads: [16], want: ["1\n"],
    echo: "1\r\n" },
  { name: "Backspace rubs out both columns of a wide character", keys: ["\u3042\x7f\r"],
    reads: [16], want: ["\n"], echo: "\u3042\b \b\b \b\r\n" },
  { name: "lines typed ahead wait for their reads", keys: ["1\r", "2\r"], reads: [16, 16],
    want: ["1\n", "2\n"], echo: "1\r\n2\r\n" },
  { name: "keys sent together", keys: ["3\r0\r"], reads: [16, 16], want: ["3\n", "0\n"],
    echo: "3\r\n0\r\n" },
  { name: "a line longer than a read comes in pieces", keys: ["12345\r"], reads: [2, 2, 2],
    want: ["12", "34", "5\n"], echo: "12345\r\n" },
  { name: "Ctrl-D on an empty line ends the input, for good", keys: ["\x04", "7\r"],
    reads: [16, 16], want: ["", ""], echo: "7\r\n" },
  { name: "Ctrl-D after characters hands them over without a line end", keys: ["12\x04", "\r"],
    reads: [16, 16], want: ["12", "\n"], echo: "12\r\n" },
  { name: "cursor keys are left out", keys: ["\x1b[A", "\x1b[D", "7\r"], reads: [16],
    want: ["7\n"], echo: "7\r\n" },
  { name: "other control characters are left out", keys: ["\x031\x1a\r"], reads: [16],
    want: ["1\n"], echo: "1\r\n" },
  { name: "characters beyond ASCII come as UTF-8", keys: ["\u00e9\u3042\r"], reads: [16],
    want: ["\u00e9\u3042\n"], echo: "\u00e9\u3042\r\n" },
];

// Loads the line discipline as the runtime does, with the program's memory and a terminal.
function Load() {
  const terminal = { echo: "", listener: null };
  const context = {
    HEAPU8: new Uint8Array(64),
    TextEncoder,
    TextDecoder,
    console,
    waits: 0,
    Module: {
      terminal: {
        write: (data) => {
          terminal.echo += typeof data === "string" ? data : new TextDecoder().decode(data);
        },
        onData: (listener) => {
          terminal.listener = listener;
        },
      },
    },
  };
  context.Module.onWaitForInput = () => {
    context.waits += 1;
  };
  vm.runInNewContext(source, context);
  return { context, terminal, discipline: context.Module.reversiTerminal };
}

let passed = 0;
let failed = 0;
function check(what, ok, detail) {
  if (ok) {
    passed += 1;
  } else {
    failed += 1;
    console.log(`FAIL: ${what}: ${detail}`);
  }
}

for (const testCase of Cases) {
  const { context, terminal, discipline } = Load();
  for (const keys of testCase.keys) terminal.listener(keys);
  const got = [];
  for (const capacity of testCase.reads) {
    const count = await discipline.read(0, capacity);
    got.push(count === Ended ? "" : new TextDecoder().decode(context.HEAPU8.subarray(0, count)));
  }
  check(testCase.name, JSON.stringify(got) === JSON.stringify(testCase.want),
    `read ${JSON.stringify(got)}, wanted ${JSON.stringify(testCase.want)}`);
  check(`${testCase.name} (echo)`, terminal.echo === testCase.echo,
    `echoed ${JSON.stringify(terminal.echo)}, wanted ${JSON.stringify(testCase.echo)}`);
  check(`${testCase.name} (no wait with a line ready)`, context.waits === 0,
    `waited ${context.waits} times`);
}

// A read before the line is typed waits, tells the page once, and gets the line.
{
  const { context, terminal, discipline } = Load();
  const reading = discipline.read(0, 16);
  terminal.listener("4");
  terminal.listener("2\r");
  const count = await reading;
  const line = new TextDecoder().decode(context.HEAPU8.subarray(0, count));
  check("a read that waits for its line", line === "42\n" && context.waits === 1,
    `read ${JSON.stringify(line)} after ${context.waits} waits`);
}

console.log(`line discipline: ${passed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);

// The web page's line discipline (src/platform/web/terminal.js) on its own, under node with a
// stand-in terminal: what the keys send goes in, and what the program's reads receive and what the
// terminal echoes come out, case by case. Prints "N passed, M failed".
//   usage: node line_discipline_test.mjs
import {readFileSync} from "node:fs";
import vm from "node:vm";

const source = readFileSync(new URL("../../src/platform/web/terminal.js", import.meta.url), "utf8");
const Ended = 0;  // a read's count once the input has ended

// Each case: its name, what the keys send (one string per onData call, all before the reads), the
// capacity of each read, what the reads must get ("" for a read that ends the input) and what the
// terminal must have echoed.
const Cases = [
  ["a line", ["12\r"], [16], ["12\n"], "12\r\n"],
  ["Backspace takes back the last character", ["5\x7f34\r"], [16], ["34\n"], "5\b \b34\r\n"],
  ["Ctrl-H is a Backspace too", ["56\b\r"], [16], ["5\n"], "56\b \b\r\n"],
  ["Backspace on an empty line does nothing", ["\x7f1\r"], [16], ["1\n"], "1\r\n"],
  [
    "Backspace rubs out both columns of a wide character", ["\u3042\x7f\r"], [16], ["\n"],
    "\u3042\b \b\b \b\r\n"
  ],
  [
    "lines typed ahead wait for their reads", ["1\r", "2\r"], [16, 16], ["1\n", "2\n"], "1\r\n2\r\n"
  ],
  ["keys sent together", ["3\r0\r"], [16, 16], ["3\n", "0\n"], "3\r\n0\r\n"],
  [
    "a line longer than a read comes in pieces", ["12345\r"], [2, 2, 2], ["12", "34", "5\n"],
    "12345\r\n"
  ],
  [
    "Ctrl-D on an empty line ends the input, for good", ["\x04", "7\r"], [16, 16], ["", ""], "7\r\n"
  ],
  [
    "Ctrl-D after characters hands them over without a line end", ["12\x04", "\r"], [16, 16],
    ["12", "\n"], "12\r\n"
  ],
  ["cursor keys are left out", ["\x1b[A", "\x1b[D", "7\r"], [16], ["7\n"], "7\r\n"],
  ["other control characters are left out", ["\x031\x1a\r"], [16], ["1\n"], "1\r\n"],
  [
    "characters beyond ASCII come as UTF-8", ["\u00e9\u3042\r"], [16], ["\u00e9\u3042\n"],
    "\u00e9\u3042\r\n"
  ],
];

// Loads the line discipline as the runtime does, with the program's memory and a terminal.
function Load() {
  const terminal = {echo: "", listener: null};
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
  return {context, terminal, discipline: context.Module.reversiTerminal};
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

for (const [name, keys, reads, want, echo] of Cases) {
  const {context, terminal, discipline} = Load();
  for (const sent of keys) terminal.listener(sent);
  const got = [];
  for (const capacity of reads) {
    const count = await discipline.read(0, capacity);
    got.push(count === Ended ? "" : new TextDecoder().decode(context.HEAPU8.subarray(0, count)));
  }
  check(
      name, JSON.stringify(got) === JSON.stringify(want),
      `read ${JSON.stringify(got)}, wanted ${JSON.stringify(want)}`);
  check(
      `${name} (echo)`, terminal.echo === echo,
      `echoed ${JSON.stringify(terminal.echo)}, wanted ${JSON.stringify(echo)}`);
  check(
      `${name} (no wait with a line ready)`, context.waits === 0, `waited ${context.waits} times`);
}

// A read before the line is typed waits, tells the page once, and gets the line.
{
  const {context, terminal, discipline} = Load();
  const reading = discipline.read(0, 16);
  terminal.listener("4");
  terminal.listener("2\r");
  const count = await reading;
  const line = new TextDecoder().decode(context.HEAPU8.subarray(0, count));
  check(
      "a read that waits for its line", line === "42\n" && context.waits === 1,
      `read ${JSON.stringify(line)} after ${context.waits} waits`);
}

console.log(`line discipline: ${passed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);

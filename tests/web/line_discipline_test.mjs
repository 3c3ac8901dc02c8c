// The web page's terminal line by line, under node: the page's line discipline
// (web/line_discipline.js, with the widths of web/cell_width.js) in front of the program's end of
// the terminal (src/platform/web/terminal.js), as the page and the worker join them. What the keys
// send goes in; what the program's reads receive and what the terminal echoes come out, case by
// case. Then the widths the terminal gives characters. Prints "N passed, M failed".
//   usage: node line_discipline_test.mjs
import {readFileSync} from "node:fs";
import vm from "node:vm";

const Source = (path) => readFileSync(new URL(path, import.meta.url), "utf8");
const pageSource = Source("../../web/cell_width.js") + Source("../../web/line_discipline.js");
const programSource = Source("../../src/platform/web/terminal.js");
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
    "Backspace rubs out both columns of a disc", ["\u25cb\x7f\u25cf\r"], [16], ["\u25cf\n"],
    "\u25cb\b \b\b \b\u25cf\r\n"
  ],
  [
    "characters beyond ASCII come as UTF-8", ["\u00e9\u3042\r"], [16], ["\u00e9\u3042\n"],
    "\u00e9\u3042\r\n"
  ],
];

// The two ends joined as the page and the worker join them, with the program's memory and a
// terminal that keeps what is echoed.
const page = vm.createContext({TextEncoder, TextDecoder});
vm.runInContext(pageSource, page);
const cp932Wide = page.Cp932WideCharacters();
function Load() {
  const terminal = {echo: ""};
  const context = {HEAPU8: new Uint8Array(64), waits: 0, Module: {}};
  context.postMessage = (message) => {
    if (message.waiting) context.waits += 1;
  };
  vm.runInNewContext(programSource, context);
  const program = context.Module.reversiTerminal;
  terminal.listener = page.LineDiscipline(
      (text) => {
        terminal.echo += text;
      },
      (character) => page.CellWidth(character.codePointAt(0), cp932Wide),
      (bytes) => program.receive(bytes === null ? {end: true} : {line: bytes}));
  return {context, terminal, discipline: program};
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

// The columns of characters on the page's terminal: two for every CP932 double-byte character,
// whatever other terminals take them as, as many as other terminals give the rest.
const Widths = [
  ["○ black disc", 0x25cb, 2], ["● white disc", 0x25cf, 2], ["・ empty square", 0x30fb, 2],
  ["＊ hint", 0xff0a, 2], ["§ (in CP932)", 0xa7, 2], ["α (in CP932)", 0x3b1, 2],
  ["─ box drawing (in CP932)", 0x2500, 2], ["漢 ideograph", 0x6f22, 2], ["ｱ half-width kana", 0xff71, 1],
  ["a", 0x61, 1], ["é (not in CP932)", 0xe9, 1], ["◉ (not in CP932)", 0x25c9, 1],
  ["combining acute", 0x301, 0], ["zero-width space", 0x200b, 0], ["a control", 0x1b, 0],
  ["a pictograph", 0x1f600, 2], ["a supplementary ideograph", 0x20000, 2]
];
for (const [name, codePoint, want] of Widths) {
  const got = page.CellWidth(codePoint, cp932Wide);
  check(`width of ${name}`, got === want, `${got} columns, wanted ${want}`);
}
// The terminal's table: a zero-width mark joins a character before it and takes its width.
{
  const provider = page.Cp932WidthProvider(cp932Wide);
  const disc = provider.charProperties(0x25cb, 0);
  const mark = provider.charProperties(0x301, disc);
  check("a disc's properties: two columns, no join", disc === 4, `${disc}`);
  check("a mark after a disc joins it, two columns", mark === 5, `${mark}`);
  check("a mark with nothing before it does not join", provider.charProperties(0x301, 0) === 0,
        `${provider.charProperties(0x301, 0)}`);
}

console.log(`line discipline: ${passed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);

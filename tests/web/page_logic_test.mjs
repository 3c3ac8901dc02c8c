// What the page decides without the document (web/page_logic.js), under node, case by case: the
// command line from the address and from the settings and back, remembered settings however they
// were stored, the prompt read off a screen, the square under a cell, the terminal's size for a
// space. Prints "N passed, M failed".
//   usage: node page_logic_test.mjs
import {readFileSync} from "node:fs";
import vm from "node:vm";

const page = vm.createContext({});
vm.runInContext(readFileSync(new URL("../../web/page_logic.js", import.meta.url), "utf8"), page);
// The page's constants are its script's own; the functions are reached through the context.
const Defaults = vm.runInContext("PageDefaults", page);
const Plain = vm.runInContext("PlainSettings", page);

let passed = 0;
let failed = 0;
function check(what, got, want) {
  const same = JSON.stringify(got) === JSON.stringify(want);
  if (same) {
    passed += 1;
  } else {
    failed += 1;
    console.log(`FAIL: ${what}: got ${JSON.stringify(got)}, wanted ${JSON.stringify(want)}`);
  }
}

// The address: each piece an option, "plain" none, escapes decoded, a bad escape kept.
for (const [query, want] of [
  ["", []], ["?plain", []], ["?english&hints", ["--english", "--hints"]],
  ["?seed=7&level=5,2", ["--seed=7", "--level=5,2"]], ["?record=my%20game.txt", ["--record=my game.txt"]],
  ["?-h", ["-h"]], ["?seed=%zz", ["--seed=%zz"]], ["?a+b&&", ["--a b"]]
]) {
  check(`address '${query}'`, Array.from(page.ArgumentsFromAddress(query)), want);
}

// Settings to a command line: the program's defaults give nothing; the page's own defaults.
for (const [what, changes, want] of [
  ["the program's defaults", {}, []],
  ["every switch", {english: true, hints: true, lastMove: true, undo: true, ascii: true},
   ["--english", "--hints", "--last-move", "--undo", "--ascii"]],
  ["colour", {color: true}, ["--color=always"]],
  ["one COM level named", {whiteLevel: 4}, ["--level=1,4"]],
  ["a pause", {delay: 700}, ["--delay=700"]],
]) {
  check(`settings: ${what}`, Array.from(page.ArgumentsFromSettings({...Plain, ...changes})), want);
}
check("the page's defaults", Array.from(page.ArgumentsFromSettings(Defaults)),
      ["--hints", "--last-move", "--undo", "--color=always", "--delay=300"]);

// A command line back to settings, and round trips.
for (const [line, changes] of [
  [["--english", "--last-move"], {english: true, lastMove: true}],
  [["--color"], {color: true}], [["--color=never"], {}], [["--color=auto"], {color: true}],
  [["--level=3"], {blackLevel: 3, whiteLevel: 3}], [["--level=2,5"], {blackLevel: 2, whiteLevel: 5}],
  [["--level=9"], {}], [["--delay=300"], {delay: 300}], [["--delay=x"], {}],
  [["--hints=1"], {}], [["--seed=4", "--from=f5"], {}]
]) {
  check(`from '${line.join(" ")}'`, {...page.SettingsFromArguments(line)}, {...Plain, ...changes});
}
check("the page's defaults round trip",
      {...page.SettingsFromArguments(page.ArgumentsFromSettings(Defaults))}, {...Defaults});

// Remembered settings: whatever is stored, every field is one the panel offers.
for (const [what, stored, changes] of [
  ["nothing stored", null, {}], ["not JSON", "{", {}], ["not an object", "7", {}],
  ["a field of another kind", '{"hints":"yes","english":true}', {english: true}],
  ["a level out of range", '{"blackLevel":9,"whiteLevel":2}', {whiteLevel: 2}],
  ["a pause not offered", '{"delay":123}', {}], ["an unknown field", '{"volume":3}', {}],
]) {
  check(`stored: ${what}`, {...page.SettingsFromStorage(stored)}, {...Defaults, ...changes});
}

// The prompt on a screen: the lowest of the mode list, the final choice and the board decides.
const BoardLines = ["ターン:○", "  1 2 3 4 5 6 7 8", ...[1, 2, 3, 4, 5, 6, 7, 8].map((r) => `${r}0・・・・・・・・`)];
const ModeLines = ["*ゲームモードを数字で選択してEnterを押してください。",
                   "(0)Player vs Player (1)Player vs COM (2)COM vs player (3)COM vs COM", ">"];
const ResultJa = "*「0+Enter」でニューゲーム。「99+Enter」でシャットダウン。";
const ResultEn = "*Type 0 and Enter for a new game, 99 and Enter to shut down.";
const UndoJa = "*一手戻すときは「98+Enter」を入力してください。";
for (const [what, lines, want] of [
  ["the first mode prompt", ModeLines, {prompt: "mode", undo: false}],
  ["a move prompt", [...BoardLines, ">"], {prompt: "move", undo: false}],
  ["a move prompt with taking back", [UndoJa, ...BoardLines, ">"], {prompt: "move", undo: true}],
  ["a move prompt after errors", [...BoardLines, ">x", "input error", ">"],
   {prompt: "move", undo: false}],
  ["the result", [...BoardLines, "○:  2 ピース", ResultJa, ">"], {prompt: "result", undo: false}],
  ["the result in English", [...BoardLines, ResultEn, ">"], {prompt: "result", undo: false}],
  ["the mode prompt under a result", [UndoJa, ...BoardLines, ResultJa, ">0", ...ModeLines],
   {prompt: "mode", undo: false}],
  ["the help", ["Usage: reversi [OPTION]..."], {prompt: null, undo: false}],
]) {
  check(`prompt: ${what}`, {...page.PromptOnScreen(lines)}, want);
}

// The square under a cell: the last board's rows, two columns a square after the label.
const Cells = (lines) => lines.map((line) => [...line].flatMap((c) => (c > "\u3000" ? [c, ""] : [c])));
const screen = Cells(["x", ...BoardLines, ">"]);  // row 3 holds the label 10
for (const [what, row, column, want] of [
  ["the top left square", 3, 2, 11], ["its second column", 3, 3, 11], ["the bottom right", 10, 17, 88],
  ["row 4, column 5", 6, 10, 45], ["a row label", 3, 1, 0], ["right of the board", 3, 18, 0],
  ["the column numbers", 2, 4, 0], ["under the board", 11, 4, 0],
]) {
  check(`square: ${what}`, page.SquareAtCell(screen, row, column), want);
}
check("square: the lower of two boards", page.SquareAtCell(Cells([...BoardLines, ...BoardLines]), 12, 2), 11);
check("square: no board", page.SquareAtCell(Cells(ModeLines), 0, 2), 0);

// The terminal's size: cells as the font size, one column half of it, rows as tall as it.
const Cell = (size) => ({width: size / 2, height: size});
for (const [what, width, height, want] of [
  ["a 390 px phone", 378, 680, {fontSize: 21, columns: 36, rows: 32}],
  ["a wide short space", 1050, 784, {fontSize: 43, columns: 48, rows: 18}],
  ["a huge space: the largest font", 3000, 3000, {fontSize: 64, columns: 93, rows: 46}],
  ["a tiny space: the smallest font, the fewest cells", 100, 100, {fontSize: 8, columns: 36, rows: 18}],
]) {
  check(`size: ${what}`, {...page.FitTerminal(width, height, Cell)}, want);
}

console.log(`page logic: ${passed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);

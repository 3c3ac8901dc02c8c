// What the page reads and decides without touching the document, so that it can be tested on its
// own (tests/web/page_logic_test.mjs): the command line from the address or from the settings,
// the settings from a command line, the prompt the program waits at, the square under a point of
// the board, and the terminal's size for the space there is.
"use strict";

// The command line's arguments for the query part of an address ("?a&b=1"): each piece becomes
// "--piece", unless it is written with its dashes already. "plain" is the page's own word for the
// program as it runs without options.
function ArgumentsFromAddress(query) {
  const decode = function(piece) {
    try {
      return decodeURIComponent(piece.replace(/\+/g, " "));
    } catch (error) {
      return piece;  // a stray "%" stays as it is; the parser then says what is wrong
    }
  };
  return query.replace(/^\?/, "")
      .split("&")
      .filter((piece) => piece !== "" && piece !== "plain")
      .map(function(piece) {
        const argument = decode(piece);
        return argument.startsWith("-") ? argument : "--" + argument;
      });
}

// The settings the page offers. The page's own defaults differ from the program's where a player
// on a page expects it: the last move shown, taking back on, hints, colour, and a short pause
// after each COM move, so that a COM-vs-COM game can be followed move by move.
const ComLevels = [1, 2, 3, 4, 5];
const Pauses = [0, 300, 700, 1500];  // milliseconds after a COM move (--delay)
const PlainSettings = {
  english: false,
  hints: false,
  lastMove: false,
  undo: false,
  color: false,
  ascii: false,
  blackLevel: 1,
  whiteLevel: 1,
  delay: 0,
};
const PageDefaults = {
  ...PlainSettings,
  hints: true,
  lastMove: true,
  undo: true,
  color: true,
  delay: 300,
};
// The switches, each with its option.
const SettingSwitches = [
  ["english", "--english"], ["hints", "--hints"], ["lastMove", "--last-move"], ["undo", "--undo"],
  ["ascii", "--ascii"]
];

// The command line for a set of settings; nothing for the program's own defaults.
function ArgumentsFromSettings(settings) {
  const line = [];
  for (const [name, option] of SettingSwitches) {
    if (settings[name]) line.push(option);
  }
  if (settings.color) line.push("--color=always");
  if (settings.blackLevel !== 1 || settings.whiteLevel !== 1) {
    line.push(`--level=${settings.blackLevel},${settings.whiteLevel}`);
  }
  if (settings.delay > 0) line.push(`--delay=${settings.delay}`);
  return line;
}

// The settings a command line names, as the settings panel shows them: the program's defaults
// for what it leaves out. Options the panel does not offer (a seed, a first move) are left out.
function SettingsFromArguments(line) {
  const settings = {...PlainSettings};
  const Level = (text) => {
    const level = Number(text);
    return ComLevels.includes(level) ? level : 1;
  };
  for (const argument of line) {
    const [name, value] = argument.split(/=(.*)/s);
    const known = SettingSwitches.find((entry) => entry[1] === name);
    if (known && value === undefined) settings[known[0]] = true;
    if (name === "--color") settings.color = value !== "never";
    if (name === "--level" && value !== undefined) {
      const levels = value.split(",");
      settings.blackLevel = Level(levels[0]);
      settings.whiteLevel = Level(levels[levels.length - 1]);
    }
    if (name === "--delay" && /^\d+$/.test(value || "")) settings.delay = Number(value);
  }
  return settings;
}

// Remembered settings as stored, checked field by field: anything missing or of another kind
// takes the page's default, so that an old or damaged entry cannot break the page.
function SettingsFromStorage(text) {
  let stored = {};
  try {
    stored = JSON.parse(text) || {};
  } catch (error) {
    stored = {};
  }
  const settings = {...PageDefaults};
  for (const name of Object.keys(PageDefaults)) {
    if (typeof stored[name] === typeof PageDefaults[name]) settings[name] = stored[name];
  }
  if (!ComLevels.includes(settings.blackLevel)) settings.blackLevel = PageDefaults.blackLevel;
  if (!ComLevels.includes(settings.whiteLevel)) settings.whiteLevel = PageDefaults.whiteLevel;
  if (!Pauses.includes(settings.delay)) settings.delay = PageDefaults.delay;
  return settings;
}

// ---- Reading the screen -------------------------------------------------------------------------

// The board's rows as the program writes them: the row label, then two columns a square.
const BoardRows = 8;
const LabelColumns = 2;
const SquareColumns = 2;

// The prompt the program waits at, from the lines of the terminal (the last one holds the
// cursor): "mode", "move", "result" or null, and whether taking back (98) is offered. The lowest
// of the texts that lead to a prompt decides: the mode list, the final choice's line, the board.
function PromptOnScreen(lines) {
  const Marks = [
    ["mode", /^\(0\)Player vs Player/],
    ["result", /99\+Enter」でシャットダウン|99 and Enter to shut down/],
    ["move", /^80\S/],
  ];
  const undo = lines.some((line) => /「98\+Enter」|type 98 and Enter/.test(line));
  for (let i = lines.length - 1; i >= 0; i--) {
    const mark = Marks.find((entry) => entry[1].test(lines[i]));
    if (mark) return {prompt: mark[0], undo: undo && mark[0] !== "mode"};
  }
  return {prompt: null, undo: false};
}

// The square code (11..88) at a terminal cell, given the screen's lines as cells (each line an
// array of the characters of its cells, "" for the second cell of a wide one), or 0 when the
// cell is not on the board. The board is the last one on the screen: the eight lines that start
// with the row labels 10 to 80.
function SquareAtCell(cells, row, column) {
  const label = (line) => (line[0] || "") + (line[1] || "");
  let last = -1;
  for (let i = 0; i + BoardRows <= cells.length; i++) {
    let board = true;
    for (let r = 0; r < BoardRows && board; r++) board = label(cells[i + r]) === `${r + 1}0`;
    if (board) last = i;
  }
  if (last < 0 || row < last || row >= last + BoardRows) return 0;
  const square = Math.floor((column - LabelColumns) / SquareColumns);
  if (column < LabelColumns || square >= BoardRows) return 0;
  return (row - last + 1) * 10 + square + 1;
}

// ---- The terminal's size ------------------------------------------------------------------------

// Fewest columns and rows the terminal gets: the board with its labels (18 columns) and the
// result's count line whole; a board screen from the turn line to the prompt with a message.
const MinColumns = 36;
const MinRows = 18;
const SmallestFont = 8;
const LargestFont = 64;

// The font size and the terminal's columns and rows for a space of `width` x `height` CSS px,
// given the size of a cell as a function of the font size (cellAt(size) -> {width, height}): the
// largest font up to `largest` with which at least MinColumns x MinRows cells fit, then as many
// cells as fit.
function FitTerminal(width, height, cellAt, largest = LargestFont) {
  let size = Math.min(largest, LargestFont);
  for (; size > SmallestFont; size--) {
    const cell = cellAt(size);
    if (Math.floor(width / cell.width) >= MinColumns && Math.floor(height / cell.height) >= MinRows)
      break;
  }
  const cell = cellAt(size);
  return {
    fontSize: size,
    columns: Math.max(MinColumns, Math.floor(width / cell.width)),
    rows: Math.max(MinRows, Math.floor(height / cell.height)),
  };
}

// The game's page: a terminal (xterm.js) sized to the screen, with the game under it, the very
// program that runs in a console, compiled to WebAssembly and run in a Web Worker (worker.js),
// so that the page answers while the COM searches. Around the terminal: the keys of the prompt
// the program waits at, a tap on a square types its code, and the settings, remembered in the
// browser. The command line comes from the address ("?english&seed=7" runs the program as
// "reversi --english --seed=7"; "?plain" as without options), otherwise from the settings.
"use strict";

const SettingsKey = "reversi.settings";
const ScreenReaderKey = "reversi.screenReader";
const ThinkingAfter = 150;  // ms of a busy program without output before "thinking" shows

// What the tests and the benchmark read from the page.
const reversiPage = {
  terminal: null,
  arguments: [],
  waits: 0,            // how often the program has waited for a line
  firstWaitAt: null,   // milliseconds from the start of the page's load to the first wait
  exitStatus: null,    // the program's exit code once it has ended
  onExit: null,        // called with the exit code
  prompt: null,        // the prompt the program waits at: "mode", "move", "result" or null
  thinking: false,     // whether the page shows the COM as thinking
  fit: null,           // the terminal's font size, columns and rows
  cp932Wide: null,     // the characters the terminal takes as two columns besides its own
  squareAt: null,      // (clientX, clientY) -> the square code there, 0 off the board
};
window.reversiPage = reversiPage;

// The page's own texts, in the language the game is set to.
const PageTexts = {
  ja: {
    keys: [
      ["mode", "0", "人 対 人"], ["mode", "1", "人 対 COM"], ["mode", "2", "COM 対 人"],
      ["mode", "3", "COM 対 COM"], ["move", "0", "パス"], ["move", "98", "一手戻す"],
      ["move", "99", "中断"], ["result", "0", "ニューゲーム"], ["result", "98", "ゲームに戻る"],
      ["result", "99", "シャットダウン"]
    ],
    thinking: "COMが考えています…",
    ended: "ゲームは終わりました。",
    again: "もう一度遊ぶ",
    keysLabel: "キー",
    terminal: "ゲームの画面: 数字を入力してEnter、または盤のマスをタップ",
    level: (level) => (level === 1 ? "1 (ルールどおりのCOM)" : `${level} (先読み)`),
    pause: (ms) => (ms === 0 ? "なし" : `${ms / 1000} 秒`),
  },
  en: {
    keys: [
      ["mode", "0", "Player vs Player"], ["mode", "1", "Player vs COM"],
      ["mode", "2", "COM vs Player"], ["mode", "3", "COM vs COM"],
      ["move", "0", "Give up the turn"], ["move", "98", "Take back"], ["move", "99", "Break off"],
      ["result", "0", "New game"], ["result", "98", "Back into the game"],
      ["result", "99", "Shut down"]
    ],
    thinking: "The COM is thinking…",
    ended: "The game has ended.",
    again: "Play again",
    keysLabel: "Keys",
    terminal: "The game's screen: type a number and Enter, or tap a square of the board",
    level: (level) => (level === 1 ? "1 (rule-based COM)" : `${level} (searches ahead)`),
    pause: (ms) => (ms === 0 ? "none" : `${ms / 1000} s`),
  },
};

let terminal = null;
let take = null;       // the line discipline (line_discipline.js)
let worker = null;
let settings = null;   // as the settings panel shows them
let language = "ja";
let waiting = false;   // the program waits for a line
let thinkingTimer = null;

// ---- Settings -----------------------------------------------------------------------------------

function Remembered(key) {
  try {
    return localStorage.getItem(key);
  } catch (error) {
    return null;  // storage refused: the defaults
  }
}
function Remember(key, value) {
  try {
    localStorage.setItem(key, value);
  } catch (error) {
    // storage refused: the settings last for this visit
  }
}

// The program's command line and the panel's settings at the start: the address's when it has a
// query, which then decides the whole command line; otherwise the remembered settings.
function StartingLine() {
  const query = window.location.search;
  if (query.length > 1) {
    const line = ArgumentsFromAddress(query);
    return {line, settings: SettingsFromArguments(line)};
  }
  const remembered = SettingsFromStorage(Remembered(SettingsKey));
  return {line: ArgumentsFromSettings(remembered), settings: remembered};
}

// Puts the page's texts into the language of the game.
function ShowLanguage(english) {
  language = english ? "en" : "ja";
  document.documentElement.lang = language;
  for (const element of document.querySelectorAll("[data-ja]")) {
    element.textContent = element.dataset[language];
  }
  for (const element of document.querySelectorAll("[data-ja-label]")) {
    element.setAttribute("aria-label", element.dataset[language + "Label"]);
  }
  const texts = PageTexts[language];
  const form = document.getElementById("settings-form");
  const Fill = (select, values, label) => {
    select.replaceChildren(...values.map((value) => new Option(label(value), `${value}`)));
  };
  Fill(form.elements.blackLevel, ComLevels, texts.level);
  Fill(form.elements.whiteLevel, ComLevels, texts.level);
  Fill(form.elements.delay, Pauses, texts.pause);
  ShowSettings();
  if (terminal) terminal.textarea.setAttribute("aria-label", texts.terminal);
}

function ShowSettings() {
  const form = document.getElementById("settings-form").elements;
  form.language.value = settings.english ? "en" : "ja";
  for (const name of ["hints", "lastMove", "undo", "color", "ascii"]) {
    form[name].checked = settings[name];
  }
  form.blackLevel.value = `${settings.blackLevel}`;
  form.whiteLevel.value = `${settings.whiteLevel}`;
  // A pause from the address that the list does not offer shows as the nearest shorter one.
  form.delay.value = `${Pauses.filter((pause) => pause <= settings.delay).pop()}`;
  form.screenReader.checked = terminal !== null && terminal.options.screenReaderMode;
}

// A change in the panel: remembered, and a new game with it; the address's query, if any, has
// had its say.
function SettingsChanged() {
  const form = document.getElementById("settings-form").elements;
  settings = {
    english: form.language.value === "en",
    hints: form.hints.checked,
    lastMove: form.lastMove.checked,
    undo: form.undo.checked,
    color: form.color.checked,
    ascii: form.ascii.checked,
    blackLevel: Number(form.blackLevel.value),
    whiteLevel: Number(form.whiteLevel.value),
    delay: Number(form.delay.value),
  };
  NewGameWith(settings);
}

function NewGameWith(chosen) {
  settings = chosen;
  Remember(SettingsKey, JSON.stringify(settings));
  if (window.location.search) history.replaceState(null, "", window.location.pathname);
  ShowLanguage(settings.english);
  StartProgram(ArgumentsFromSettings(settings));
}

function SetUpSettings() {
  const dialog = document.getElementById("settings");
  const form = document.getElementById("settings-form");
  document.getElementById("open-settings").addEventListener("click", () => dialog.showModal());
  form.addEventListener("change", function(event) {
    if (event.target.name === "screenReader") {
      terminal.options.screenReaderMode = event.target.checked;
      Remember(ScreenReaderKey, event.target.checked ? "on" : "off");
      return;
    }
    SettingsChanged();
  });
  document.getElementById("plain-settings").addEventListener("click", function() {
    NewGameWith({...PlainSettings});
  });
}

// Digits and Backspace typed while a key of the page has the focus go to the terminal, as the
// player means them; Enter, Space and Tab keep their work on the page's controls.
function SendTypingToTerminal() {
  document.addEventListener("keydown", function(event) {
    if (document.getElementById("settings").open || terminal.element.contains(event.target)) return;
    if (/^[0-9]$/.test(event.key) || event.key === "Backspace") terminal.focus();
  }, true);
}

// ---- The program --------------------------------------------------------------------------------

function StartProgram(line) {
  if (worker) worker.terminate();
  reversiPage.arguments = line;
  reversiPage.exitStatus = null;
  waiting = false;
  terminal.reset();
  ShowKeys(null, false);
  ShowThinking(false);
  ShowStatus("");
  worker = new Worker("worker.js");
  worker.onmessage = (event) => Receive(event.data);
  worker.postMessage({arguments: line});
  Busy();
}

// A finished line from the line discipline (null: the input has ended), for the program.
function HandOver(bytes) {
  if (!worker || reversiPage.exitStatus !== null) return;
  worker.postMessage(bytes === null ? {end: true} : {line: bytes});
  waiting = false;
  KeysAnswered();
  Busy();
}

// The keys of a prompt that has had its answer stay in place, dimmed and without effect, until
// the next prompt brings its own: a mode key pressed during a COM-vs-COM game would otherwise be
// read at the result. They keep the focus, for a player on the keyboard.
function KeysAnswered() {
  for (const button of document.querySelectorAll("#keys button[data-key]")) {
    button.setAttribute("aria-disabled", "true");
  }
}

function Receive(message) {
  if (message.output) {
    terminal.write(message.output);
    if (!waiting) Busy();
  } else if (message.error) {
    terminal.write(message.error);
    console.error(new TextDecoder().decode(message.error));
  } else if (message.waiting) {
    waiting = true;
    reversiPage.waits += 1;
    if (reversiPage.firstWaitAt === null) reversiPage.firstWaitAt = performance.now();
    ShowThinking(false);
    terminal.write("", ReadPrompt);  // once the terminal has taken in the screen
  } else if (message.pause) {
    ShowThinking(false);
  } else if ("exit" in message) {
    reversiPage.exitStatus = message.exit;
    worker.terminate();
    worker = null;
    ShowThinking(false);
    ShowKeys(null, false);
    // Told beside the terminal, which keeps the program's last screen as it was.
    ShowStatus(PageTexts[language].ended);
    ShowAgainKey();
    if (reversiPage.onExit) reversiPage.onExit(message.exit);
  }
}

// The program is working: if it stays silent for a moment, the COM is thinking.
function Busy() {
  clearTimeout(thinkingTimer);
  if (reversiPage.thinking) return;
  thinkingTimer = setTimeout(() => ShowThinking(true), ThinkingAfter);
}

function ShowThinking(thinking) {
  clearTimeout(thinkingTimer);
  reversiPage.thinking = thinking;
  document.body.classList.toggle("thinking", thinking);
  ShowStatus(thinking ? PageTexts[language].thinking : "");
}

function ShowStatus(text) {
  const status = document.getElementById("status");
  if (status.textContent !== text) status.textContent = text;
}

// ---- The keys of the prompt ---------------------------------------------------------------------

// The screen's lines, each as the characters of its cells ("" for the second cell of a wide one),
// from the top of what is shown.
function ScreenCells() {
  const buffer = terminal.buffer.active;
  const cells = [];
  for (let row = 0; row < terminal.rows; row++) {
    const line = buffer.getLine(buffer.viewportY + row);
    const characters = [];
    for (let column = 0; line && column < terminal.cols; column++) {
      const cell = line.getCell(column);
      characters.push(cell.getWidth() === 0 ? "" : cell.getChars() || " ");
    }
    cells.push(characters);
  }
  return cells;
}

function ReadPrompt() {
  const buffer = terminal.buffer.active;
  const lines = [];
  for (let row = 0; row <= buffer.baseY + buffer.cursorY; row++) {
    lines.push(buffer.getLine(row).translateToString(true));
  }
  const seen = PromptOnScreen(lines.slice(-terminal.rows * 2));
  ShowKeys(seen.prompt, seen.undo);
}

function ShowKeys(prompt, undo) {
  reversiPage.prompt = prompt;
  const keys = document.getElementById("keys");
  const focused = document.activeElement && document.activeElement.dataset.key;
  const buttons = PageTexts[language]
                      .keys.filter(([at, key]) => at === prompt && (key !== "98" || undo))
                      .map(function([at, key, label]) {
                        const button = document.createElement("button");
                        button.type = "button";
                        button.dataset.key = key;
                        button.textContent = `${label} (${key})`;
                        button.addEventListener("click", (event) => {
                          if (button.getAttribute("aria-disabled") === "true") return;
                          Type(key);
                          BackToTerminal(event);
                        });
                        return button;
                      });
  keys.replaceChildren(...buttons);
  const same = buttons.find((button) => button.dataset.key === focused);
  if (same) same.focus();
}

function ShowAgainKey() {
  const button = document.createElement("button");
  button.type = "button";
  button.textContent = PageTexts[language].again;
  button.addEventListener("click", function(event) {
    StartProgram(reversiPage.arguments);
    BackToTerminal(event);
  });
  document.getElementById("keys").replaceChildren(button);
}

// After a click with a mouse the keys go to the terminal again; a key chosen with the keyboard
// keeps the focus, and a tap does not call up a phone's on-screen keyboard.
let pointerType = "";
document.addEventListener("pointerdown", (event) => {
  pointerType = event.pointerType;
}, true);
function BackToTerminal(event) {
  if (event.detail > 0 && pointerType === "mouse") terminal.focus();
}

// Types a key's number and Enter, as a player would.
function Type(key) {
  take(key + "\r");
}

// The square code under a point of the page, 0 when it is not on the board.
function SquareAtPoint(clientX, clientY) {
  const screen = terminal.element.querySelector(".xterm-screen");
  const box = screen.getBoundingClientRect();
  const column = Math.floor((clientX - box.left) / (box.width / terminal.cols));
  const row = Math.floor((clientY - box.top) / (box.height / terminal.rows));
  if (column < 0 || row < 0 || column >= terminal.cols || row >= terminal.rows) return 0;
  return SquareAtCell(ScreenCells(), row, column);
}

// A tap or click on a square at the move prompt plays it.
function Tapped(event) {
  if (!waiting || reversiPage.prompt !== "move") return;
  const square = SquareAtPoint(event.clientX, event.clientY);
  if (square !== 0) Type(`${square}`);
}

// ---- The terminal's size ------------------------------------------------------------------------

// The size of a cell at a font size, as the terminal measures it.
function CellAt(size) {
  if (terminal.options.fontSize !== size) terminal.options.fontSize = size;
  const cell = terminal._core._renderService.dimensions.css.cell;
  return {width: cell.width, height: cell.height};
}

function Fit() {
  const space = document.getElementById("screen");
  const style = getComputedStyle(space);
  const width = space.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
  const height = space.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
  if (width <= 0 || height <= 0) return;
  // The cell grows with the font: start a little above the size that one measurement suggests.
  const now = terminal.options.fontSize;
  const cell = CellAt(now);
  const estimate = Math.min(width / (MinColumns * cell.width), height / (MinRows * cell.height));
  const fit = FitTerminal(width, height, CellAt, Math.ceil(now * estimate) + 1);
  CellAt(fit.fontSize);
  if (fit.columns !== terminal.cols || fit.rows !== terminal.rows)
    terminal.resize(fit.columns, fit.rows);
  reversiPage.fit = fit;
}

// ---- The start ----------------------------------------------------------------------------------

async function StartPage() {
  const fontFamily =
      getComputedStyle(document.documentElement).getPropertyValue("--terminal-font").trim();
  // The terminal measures its cells with the font it has: the page's own font must be there.
  try {
    await document.fonts.load("16px \"Reversi Text\"", "・");
  } catch (error) {
    // the fonts after it in the list will do
  }
  const starting = StartingLine();
  settings = starting.settings;
  reversiPage.cp932Wide = Cp932WideCharacters();
  terminal = new Terminal({
    cols: MinColumns,
    rows: MinRows,
    fontFamily: fontFamily,
    fontSize: 16,
    convertEol: true,  // "\n" starts a new line, as a POSIX terminal's output processing does
    cursorBlink: true,
    scrollback: 1000,
    allowProposedApi: true,  // the width table
    screenReaderMode: Remembered(ScreenReaderKey) === "on",
    // The board's colours: black discs in black on a green that both discs stand out on.
    theme: {
      background: "#000000",
      foreground: "#d8dcdf",
      black: "#000000",
      green: "#3d9c48",
      red: "#c8372d",
      brightWhite: "#ffffff",
      brightYellow: "#ffe94d",
    },
  });
  terminal.unicode.register(Cp932WidthProvider(reversiPage.cp932Wide));
  terminal.unicode.activeVersion = "cp932";
  terminal.open(document.getElementById("terminal"));
  terminal.onTitleChange((title) => {
    document.title = title;
  });
  // Tab leaves the terminal for the page's controls; the program has no use for it.
  terminal.attachCustomKeyEventHandler((event) => event.key !== "Tab");
  take = LineDiscipline((text) => terminal.write(text),
                        (character) => CellWidth(character.codePointAt(0), reversiPage.cp932Wide),
                        HandOver);
  terminal.onData(take);
  terminal.element.addEventListener("click", Tapped);
  reversiPage.terminal = terminal;
  reversiPage.squareAt = SquareAtPoint;

  SetUpSettings();
  SendTypingToTerminal();
  ShowLanguage(settings.english);
  Fit();
  new ResizeObserver(() => Fit()).observe(document.getElementById("screen"));
  terminal.focus();
  StartProgram(starting.line);

  if ("serviceWorker" in navigator) {
    navigator.serviceWorker.register("sw.js").catch(() => {
      // served where a service worker is not allowed: the page works, only not offline
    });
  }
}

StartPage();

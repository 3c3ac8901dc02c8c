// The game's page: an 80 x 24 terminal (xterm.js) with the game under it, the very program that
// runs in a console, compiled to WebAssembly (reversi.js and reversi.wasm). The program's command
// line comes from the page's address: "?english&hints&seed=7" runs it as
// "reversi --english --hints --seed=7".
"use strict";

// The command line's arguments for the query part of an address ("?a&b=1"): each piece becomes
// "--piece", unless it is written with its dashes already.
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
      .filter(function(piece) {
        return piece !== "";
      })
      .map(function(piece) {
        const argument = decode(piece);
        return argument.startsWith("-") ? argument : "--" + argument;
      });
}

// What the tests and the benchmark read from the page.
const reversiPage = {
  terminal: null,
  waits: 0,           // how often the program has waited for a line
  firstWaitAt: null,  // milliseconds from the start of the page's load to the first wait
  exitStatus: null,   // the program's exit code once it has ended
};
window.reversiPage = reversiPage;

async function StartGame() {
  const fontFamily =
      getComputedStyle(document.documentElement).getPropertyValue("--terminal-font").trim();
  // The terminal measures its cells once, with the font it has: the page's own font must be there.
  try {
    await document.fonts.load("16px \"Reversi Text\"", "・");
  } catch (error) {
    // the fonts after it in the list will do
  }
  const terminal = new Terminal({
    cols: 80,
    rows: 24,
    fontFamily: fontFamily,
    fontSize: 16,
    convertEol: true,  // "\n" starts a new line, as a POSIX terminal's output processing does
    cursorBlink: true,
    scrollback: 1000,
  });
  terminal.open(document.getElementById("terminal"));
  terminal.onTitleChange(function(title) {
    document.title = title;
  });
  terminal.focus();
  reversiPage.terminal = terminal;

  window.Module = {
    arguments: ArgumentsFromAddress(window.location.search),
    terminal: terminal,
    onWaitForInput: function() {
      reversiPage.waits += 1;
      if (reversiPage.firstWaitAt === null) reversiPage.firstWaitAt = performance.now();
    },
    onExit: function(status) {
      reversiPage.exitStatus = status;
      // Told beside the terminal, which keeps the program's last screen as it was.
      document.getElementById("status").textContent =
          "The game has ended. Reload the page to play again.";
    },
    // The program writes through the terminal; anything the runtime itself prints goes to the
    // browser's console.
    print: function(text) {
      console.log(text);
    },
    printErr: function(text) {
      console.error(text);
    },
  };
  const program = document.createElement("script");
  program.src = "reversi.js";
  document.body.appendChild(program);
}

StartGame();

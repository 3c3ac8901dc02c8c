// The page's line discipline: what a POSIX terminal driver does in canonical mode, between the
// terminal emulator and the program's standard input. Typed characters are echoed and collected
// into a line, Backspace takes back the last one, Enter hands the line over with "\n", Ctrl-D on
// an empty line ends the input. It runs on the page, not beside the program, so that typing is
// echoed at once even while the COM searches; lines typed ahead wait in the program's end
// (src/platform/web/terminal.js) for its reads.
"use strict";

// echo(text):          writes to the terminal
// columnsOf(text):     the columns the terminal gives one character (CellWidth, cell_width.js)
// handOver(bytes):     passes a finished line, UTF-8; null when the input has ended
// Returns take(data), for what the keys send (xterm.js's onData) or a button types.
function LineDiscipline(echo, columnsOf, handOver) {
  const encoder = new TextEncoder();
  let typed = [];  // the characters of the line being typed

  // One character (a code point) as the keys sent it.
  function takeCharacter(character) {
    if (character === "\r" || character === "\n") {
      echo("\r\n");
      handOver(encoder.encode(typed.join("") + "\n"));
      typed = [];
    } else if (character === "\x7f" || character === "\b") {
      if (typed.length === 0) return;
      echo("\b \b".repeat(columnsOf(typed.pop())));
    } else if (character === "\x04") {
      // As a terminal does: the line so far without a line end, or on an empty line the end.
      handOver(typed.length === 0 ? null : encoder.encode(typed.join("")));
      typed = [];
    } else if (character >= " ") {
      typed.push(character);
      echo(character);
    }
    // Other control characters mean nothing here.
  }

  return function take(data) {
    // Cursor and function keys send escape sequences, which a line of input has no use for.
    if (data.startsWith("\x1b")) return;
    for (const character of data) takeCharacter(character);
  };
}

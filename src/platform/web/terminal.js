// The terminal's line discipline for the game in a web page, linked in front of the program
// (emcc --pre-js): what a POSIX terminal driver does in canonical mode, between the terminal
// emulator on the page and the program's standard input and output. Typed characters are echoed
// and collected into a line, Backspace takes back the last one, Enter hands the line over with
// "\n", Ctrl-D on an empty line ends the input; lines typed ahead wait for the program's reads.
//
// The page sets, before the program is loaded:
//   Module.terminal        the emulator: write(data) takes a string or UTF-8 bytes, and
//                          onData(listener) passes on what the keys send, as a string (as
//                          xterm.js's Terminal does);
//   Module.onWaitForInput  optional, called whenever the program waits with no line ready.
Module.reversiTerminal = (function (emulator) {
  const encoder = new TextEncoder();
  const EndOfInput = null;
  const finished = [];  // lines handed over, UTF-8 with their "\n"; EndOfInput after the last
  let typed = [];  // the characters of the line being typed
  let wake = null;  // resumes a read that waits for a line

  // Characters that a terminal draws two columns wide (East Asian Wide and Fullwidth), so that
  // Backspace rubs out both columns.
  const wide = /[\u1100-\u115F\u2E80-\u303E\u3041-\uA4CF\uAC00-\uD7A3\uF900-\uFAFF\uFE30-\uFE4F\uFF00-\uFF60\uFFE0-\uFFE6\u{20000}-\u{3FFFD}]/u;

  function handOver(line) {
    finished.push(line);
    if (wake !== null) {
      const resume = wake;
      wake = null;
      resume();
    }
  }

  // One character (a code point) as the keys sent it.
  function take(character) {
    if (character === "\r" || character === "\n") {
      emulator.write("\r\n");
      handOver(encoder.encode(typed.join("") + "\n"));
      typed = [];
    } else if (character === "\x7f" || character === "\b") {
      if (typed.length === 0) return;
      const columns = wide.test(typed.pop()) ? 2 : 1;
      emulator.write("\b \b".repeat(columns));
    } else if (character === "\x04") {
      // As a terminal does: the line so far without a line end, or on an empty line the end.
      handOver(typed.length === 0 ? EndOfInput : encoder.encode(typed.join("")));
      typed = [];
    } else if (character >= " ") {
      typed.push(character);
      emulator.write(character);
    }
    // Other control characters mean nothing here.
  }

  emulator.onData(function (data) {
    // Cursor and function keys send escape sequences, which a line of input has no use for.
    if (data.startsWith("\x1b")) return;
    for (const character of data) take(character);
  });

  return {
    write: function (bytes) {
      emulator.write(bytes);
    },
    writeError: function (bytes) {
      emulator.write(bytes);
      console.error(new TextDecoder().decode(bytes));
    },
    // Puts up to `capacity` bytes of the next finished line at `buffer` in the program's memory,
    // once there is one, and gives their count (the rest stays for the next read); 0 for ever
    // once the input has ended.
    read: async function (buffer, capacity) {
      if (finished.length === 0) {
        if (Module.onWaitForInput) Module.onWaitForInput();
        await new Promise(function (resume) {
          wake = resume;
        });
      }
      const line = finished[0];
      if (line === EndOfInput) return 0;
      const count = Math.min(capacity, line.length);
      HEAPU8.set(line.subarray(0, count), buffer);
      if (count < line.length) {
        finished[0] = line.subarray(count);
      } else {
        finished.shift();
      }
      return count;
    },
  };
})(Module.terminal);

// The program's end. A program that has waited for input returns from main long after the
// runtime's call of main has come back (it was suspended, and the page's event loop resumed it),
// and this runtime then drops main's result instead of exiting. So once main has first come back
// suspended, its final return is awaited here and ends the run as exit(status) does, which also
// tells the page (Module.onExit).
Module.postRun = [].concat(Module.postRun || [], function () {
  if (!Asyncify.currData) return;  // main has already returned, and the run has ended
  Asyncify.whenDone().then(function (status) {
    try {
      exit(status);
    } catch (error) {
      if (!(error instanceof ExitStatus)) throw error;  // how the runtime ends a run
    }
  });
});

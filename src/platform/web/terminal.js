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
Module.reversiTerminal = (function(emulator) {
  const encoder = new TextEncoder();
  const EndOfInput = null;
  const finished = [];  // lines handed over, UTF-8 with their "\n"; EndOfInput after the last
  let typed = [];       // the characters of the line being typed
  let wake = null;      // resumes a read that waits for a line

  // The code points that a terminal draws two columns wide (East Asian Wide and Fullwidth: Hangul
  // Jamo, CJK and kana, Hangul syllables, compatibility ideographs, vertical and full-width forms,
  // the supplementary ideographs), so that Backspace rubs out both columns.
  const wideRanges = [
    [0x1100, 0x115f], [0x2e80, 0x303e], [0x3041, 0xa4cf], [0xac00, 0xd7a3], [0xf900, 0xfaff],
    [0xfe30, 0xfe4f], [0xff00, 0xff60], [0xffe0, 0xffe6], [0x20000, 0x3fffd]
  ];
  function isWide(character) {
    const code = character.codePointAt(0);
    return wideRanges.some(function(range) {
      return code >= range[0] && code <= range[1];
    });
  }

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
      const columns = isWide(typed.pop()) ? 2 : 1;
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

  emulator.onData(function(data) {
    // Cursor and function keys send escape sequences, which a line of input has no use for.
    if (data.startsWith("\x1b")) return;
    for (const character of data) take(character);
  });

  return {
    write: function(bytes) {
      emulator.write(bytes);
    },
    writeError: function(bytes) {
      emulator.write(bytes);
      console.error(new TextDecoder().decode(bytes));
    },
    // Puts up to `capacity` bytes of the next finished line at `buffer` in the program's memory,
    // once there is one, and gives their count (the rest stays for the next read); 0 for ever
    // once the input has ended.
    read: async function(buffer, capacity) {
      if (finished.length === 0) {
        if (Module.onWaitForInput) Module.onWaitForInput();
        await new Promise(function(resume) {
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
Module.postRun = [].concat(Module.postRun || [], function() {
  if (!Asyncify.currData) return;  // main has already returned, and the run has ended
  Asyncify.whenDone().then(function(status) {
    try {
      exit(status);
    } catch (error) {
      if (!(error instanceof ExitStatus)) throw error;  // how the runtime ends a run
    }
  });
});

// The program's side of the page's terminal, linked in front of the program (emcc --pre-js). The
// program runs in a Web Worker, so that the page stays free while the COM searches; the terminal
// and its line discipline (web/line_discipline.js) are on the page. This end hands the program's
// output to the page and the lines the page has finished to the program's reads, as the two ends
// of a POSIX terminal do.
//
// Messages to the page:   {output: bytes}  UTF-8 for the terminal
//                         {error: bytes}   standard error, for the terminal and the console
//                         {waiting: true}  the program waits for a line and none is ready
//                         {pause: true}    the program pauses (--delay): it is not thinking
//                         {exit: status}   the program has ended
// Messages from the page: {line: bytes}    a finished line, with its "\n" (or without one: Ctrl-D
//                                          after some characters)
//                         {end: true}      the input has ended (Ctrl-D on an empty line)
Module.reversiTerminal = (function(post) {
  const EndOfInput = null;
  const finished = [];  // lines handed over, as bytes; EndOfInput after the last
  let wake = null;      // resumes a read that waits for a line

  function take(line) {
    finished.push(line);
    if (wake !== null) {
      const resume = wake;
      wake = null;
      resume();
    }
  }

  return {
    // What comes from the page; the worker's script passes on every message after the first.
    receive: function(message) {
      if (message.line) take(message.line);
      if (message.end) take(EndOfInput);
    },
    write: function(bytes) {
      post({output: bytes});
    },
    writeError: function(bytes) {
      post({error: bytes});
    },
    pause: function() {
      post({pause: true});
    },
    // Puts up to `capacity` bytes of the next finished line at `buffer` in the program's memory,
    // once there is one, and gives their count (the rest stays for the next read); 0 for ever
    // once the input has ended.
    read: async function(buffer, capacity) {
      if (finished.length === 0) {
        post({waiting: true});
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
})(function(message) {
  postMessage(message);
});

Module.onExit = function(status) {
  postMessage({exit: status});
};

// The program's end. A program that has waited for input returns from main long after the
// runtime's call of main has come back (it was suspended, and the worker's event loop resumed it),
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

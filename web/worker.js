// The worker that runs the program (reversi.js, reversi.wasm) for the page: the first message
// brings the command line's arguments and starts the program; every later one is for the
// program's end of the terminal (src/platform/web/terminal.js).
"use strict";

self.onmessage = function(event) {
  if (self.Module) {
    self.Module.reversiTerminal.receive(event.data);
    return;
  }
  self.Module = {
    arguments: event.data.arguments,
    // Whatever the runtime itself prints goes to the browser's console.
    print: function(text) {
      console.log(text);
    },
    printErr: function(text) {
      console.error(text);
    },
  };
  importScripts("reversi.js");
};

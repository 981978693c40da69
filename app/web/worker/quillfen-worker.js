// Quillfen in a Web Worker: the xboard protocol by messages.
//
//   const engine = new Worker('quillfen-worker.js');
//   engine.onmessage = (event) => { ... };
//   engine.postMessage('xboard\nnew\ne2e4');
//
// In: a string of one or more protocol lines (the line end after the last
// one may be left out), exactly what the console engine reads on its
// standard input: commands such as "new", "level 40 5 0", "time 30000",
// "go", "force", "undo", "remove", "quit", and moves such as "e2e4".
//
// Out: every line the engine writes, as a string without its line end, in
// the order written: "feature done=0" once it is ready, "move e7e5",
// thinking lines "DEPTH SCORE TIME NODES PV...", result lines such as
// "1-0 {White mates}", errors ("Error (illegal move): e2e5") and the board
// diagram. Thinking lines arrive while the engine searches. Text without a
// line end (the prompt outside xboard mode) comes as its own string once
// the engine waits for input again.
//
// After each message has been handled the worker also posts one object,
// { state: {...} }, the game as the engine holds it (quillfen_state in
// app/web.cpp): board, toMove, engine, ply, result, reason, the legal
// moves of the side to move by the engine's own rules, and the game's moves;
// `handled` counts the messages handled so far (0 for the state posted when
// the engine has started).
// A host that wants only the protocol ignores messages that are not
// strings. After "quit" the worker posts { ended: true } and closes.
/* global importScripts, createQuillfen */
'use strict';

importScripts('quillfen-engine.js');

const decoder = new TextDecoder('utf-8');
let bytes = [];

function flushText() {
  if (bytes.length === 0) return;
  postMessage(decoder.decode(new Uint8Array(bytes)));
  bytes = [];
}

function put(byte) {
  if (byte === 10) {
    const line = decoder.decode(new Uint8Array(bytes));
    bytes = [];
    postMessage(line);
  } else {
    bytes.push(byte & 0xff);
  }
}

const encoder = new TextEncoder();
let engine = null;
let running = false;
let handled = 0;
const waiting = [];

function postState() {
  const state = JSON.parse(engine.UTF8ToString(engine._quillfen_state()));
  postMessage({ state, handled });
}

function feed(text) {
  if (!running) return;
  let data = encoder.encode(text.endsWith('\n') ? text : `${text}\n`);
  const address = engine._malloc(data.length);
  engine.HEAPU8.set(data, address);
  running = engine._quillfen_feed(address, data.length) === 1;
  engine._free(address);
  data = null;
  handled += 1;
  flushText();
  if (running) {
    postState();
  } else {
    postMessage({ ended: true });
    close();
  }
}

onmessage = (event) => {
  if (typeof event.data !== 'string') return;
  if (engine === null) waiting.push(event.data);
  else feed(event.data);
};

createQuillfen({ stdout: put, stderr: put }).then((module) => {
  engine = module;
  running = engine._quillfen_start() === 1;
  flushText();
  if (!running) return;
  postState();
  while (waiting.length > 0 && running) feed(waiting.shift());
});

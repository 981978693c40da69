#!/usr/bin/env node
// The engine at the command line under Node: standard input to the engine,
// its output to standard output, byte for byte as the console program
// writes them. `node quillfen.js` (or ./quillfen.js) runs it; it loads the
// module quillfen-engine.js and quillfen-engine.wasm from its own folder.
'use strict';

const fs = require('fs');
const path = require('path');
const createQuillfen = require('./quillfen-engine.js');

// Writes all of `bytes` to a file descriptor, waiting out a full pipe. A
// reader that has gone away ends the program, as the pipe's signal ends
// the console engine.
function writeAll(fd, bytes) {
  let offset = 0;
  while (offset < bytes.length) {
    try {
      offset += fs.writeSync(fd, bytes, offset, bytes.length - offset);
    } catch (error) {
      if (error.code === 'EPIPE') process.exit(0);
      if (error.code !== 'EAGAIN') throw error;
    }
  }
}

// Collects the bytes the C library writes and passes each complete line on
// at once; `flush` passes on the rest (the prompt, which has no line end).
function byteSink(fd) {
  let buffer = Buffer.alloc(4096);
  let length = 0;
  const flush = () => {
    if (length > 0) writeAll(fd, buffer.subarray(0, length));
    length = 0;
  };
  const put = (byte) => {
    if (length === buffer.length) {
      const bigger = Buffer.alloc(buffer.length * 2);
      buffer.copy(bigger);
      buffer = bigger;
    }
    buffer[length++] = byte & 0xff;
    if (byte === 10) flush();
  };
  return { put, flush };
}

async function main() {
  const out = byteSink(1);
  const err = byteSink(2);
  const engine = await createQuillfen({
    // The module's own loader would fetch the file by URL; Node reads it.
    wasmBinary: fs.readFileSync(path.join(__dirname, 'quillfen-engine.wasm')),
    stdout: out.put,
    stderr: err.put,
  });
  const flushAll = () => {
    out.flush();
    err.flush();
  };
  const quit = () => {
    flushAll();
    process.exit(0);
  };

  const running = engine._quillfen_start();
  flushAll();
  if (!running) quit();

  process.stdin.on('data', (chunk) => {
    const address = engine._malloc(chunk.length || 1);
    engine.HEAPU8.set(chunk, address);
    const goesOn = engine._quillfen_feed(address, chunk.length);
    engine._free(address);
    flushAll();
    if (!goesOn) quit();
  });
  process.stdin.on('end', () => {
    engine._quillfen_end();
    quit();
  });
}

main().catch((error) => {
  process.stderr.write(`quillfen: ${error && error.stack ? error.stack : error}\n`);
  process.exit(1);
});

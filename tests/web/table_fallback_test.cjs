// With a memory ceiling below the table's 128 MiB the module's allocation
// fails; the engine halves the table until it fits, says so once on a
// comment line, and still plays.
// usage: node table_fallback_test.cjs MODULE.js
'use strict';
const fs = require('fs');
const assert = require('assert/strict');

const modulePath = require('path').resolve(process.argv[2]);
const createQuillfen = require(modulePath);
const bytes = [];
createQuillfen({
  wasmBinary: fs.readFileSync(modulePath.replace(/\.js$/, '.wasm')),
  stdout: (byte) => bytes.push(byte),
  stderr: (byte) => bytes.push(byte),
}).then((engine) => {
  assert.equal(engine._quillfen_start(), 1);
  const input = Buffer.from('xboard\nsd 3\ngo\nsd 3\ngo\nquit\n');
  const address = engine._malloc(input.length);
  engine.HEAPU8.set(input, address);
  assert.equal(engine._quillfen_feed(address, input.length), 0, 'quit ends the loop');
  const out = Buffer.from(bytes).toString('latin1');
  const notices = out.match(/^# not enough memory for the full hash table: using \d+ entries$/gm) || [];
  assert.equal(notices.length, 1, `one notice of the smaller table in:\n${out}`);
  assert.equal((out.match(/^move [a-h][1-8][a-h][1-8]$/gm) || []).length, 2, `two moves in:\n${out}`);
  console.log(`ok: ${notices[0]}`);
}).catch((error) => {
  console.error(error);
  process.exit(1);
});

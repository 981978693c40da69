// The game state that the module gives the page (quillfen_state): the
// board, the side to move, the result and the legal moves, read off the
// engine's own position and generator after lines of the protocol.
// usage: node state_test.cjs BUILD_WEB_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const assert = require('assert/strict');

const dir = path.resolve(process.argv[2]);
const createQuillfen = require(path.join(dir, 'quillfen-engine.js'));

const START = '........PPPPPPPP................................pppppppp........';

// Each case: lines after "xboard" and "force", then what the state holds.
const CASES = [
  { name: 'start', lines: [],
    board: START, toMove: 'white', result: 'ongoing', legalCount: 16,
    has: ['a2a3', 'a2a4', 'h2h4'], lacks: ['e2e5', 'e7e5'] },
  { name: 'captures', lines: ['e2e4', 'd7d5'],
    toMove: 'white', has: ['e4d5', 'e4e5'], lacks: ['e4f5'] },
  { name: 'en passant right after the double step', lines: ['e2e4', 'a7a6', 'e4e5', 'd7d5'],
    has: ['e5d6'], lacks: ['e5f6'] },
  { name: 'en passant not taken expires', lines: ['e2e4', 'a7a6', 'e4e5', 'd7d5', 'h2h3', 'h7h6'],
    lacks: ['e5d6'] },
  { name: 'a pawn on the last rank wins', lines: ['a2a4', 'b7b5', 'a4b5', 'h7h6', 'b5b6', 'h6h5', 'b6b7', 'h5h4', 'b7b8'],
    toMove: 'black', result: 'white', reason: 'last rank', legalCount: 0 },
  { name: 'undo and remove take moves back', lines: ['e2e4', 'e7e5', 'd2d4', 'undo', 'remove'],
    board: START, toMove: 'white', moves: [], legalCount: 16 },
  { name: 'a refused move changes nothing', lines: ['e2e4', 'e7e4', 'e4e6'],
    toMove: 'black', moves: ['e2e4'] },
];

async function run() {
  for (const c of CASES) {
    const engine = await createQuillfen({
      wasmBinary: fs.readFileSync(path.join(dir, 'quillfen-engine.wasm')),
      stdout: () => {},
      stderr: () => {},
    });
    assert.equal(engine._quillfen_start(), 1);
    const input = Buffer.from(['xboard', 'force', ...c.lines].map((l) => `${l}\n`).join(''));
    const address = engine._malloc(input.length);
    engine.HEAPU8.set(input, address);
    assert.equal(engine._quillfen_feed(address, input.length), 1);
    const state = JSON.parse(engine.UTF8ToString(engine._quillfen_state()));
    const where = `${c.name}: ${JSON.stringify(state)}`;
    const played = c.lines.filter((l) => /^[a-h][1-8][a-h][1-8]$/.test(l));
    if (c.board !== undefined) assert.equal(state.board, c.board, where);
    if (c.toMove !== undefined) assert.equal(state.toMove, c.toMove, where);
    assert.equal(state.engine, 'none', where);
    assert.equal(state.result, c.result || 'ongoing', where);
    assert.equal(state.reason, c.reason || '', where);
    assert.deepEqual(state.moves, c.moves || played, where);
    assert.equal(state.ply, state.moves.length, where);
    if (c.legalCount !== undefined) assert.equal(state.legal.length, c.legalCount, where);
    for (const m of c.has || []) assert.ok(state.legal.includes(m), `${where}: ${m} legal`);
    for (const m of c.lacks || []) assert.ok(!state.legal.includes(m), `${where}: ${m} not legal`);
    assert.equal(new Set(state.legal).size, state.legal.length, `${where}: no move twice`);
    console.log(`ok - ${c.name}`);
  }
}

run().catch((error) => {
  console.error(error);
  process.exit(1);
});

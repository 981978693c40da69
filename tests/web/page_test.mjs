// The page in a real browser: headless Chromium (the system's, driven by
// Playwright) loads the built page from a static server on loopback and a
// person's clicks play a whole game against the engine.
//
// usage: node page_test.mjs BUILD_WEB_DIR [--screenshot PNG]
// Exits 77 (skipped) when Playwright or Chromium cannot be had.
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { existsSync } from 'node:fs';
import path from 'node:path';
import assert from 'node:assert/strict';

const SKIP = 77;
const CHROMIUM = process.env.QUILLFEN_CHROMIUM || '/usr/bin/chromium';

const args = process.argv.slice(2);
const shotAt = args.indexOf('--screenshot');
const screenshot = shotAt >= 0 ? args.splice(shotAt, 2)[1] : null;
const root = path.resolve(args[0] || '.');

let chromium;
try {
  ({ chromium } = await import('playwright-core'));
} catch {
  console.log('SKIPPED: playwright-core is not installed (npm ci in tests/web)');
  process.exit(SKIP);
}
if (!existsSync(CHROMIUM)) {
  console.log(`SKIPPED: no Chromium at ${CHROMIUM} (Debian package chromium)`);
  process.exit(SKIP);
}
if (!existsSync(path.join(root, 'index.html'))) {
  console.error(`no built page in ${root}`);
  process.exit(1);
}

// --- a static server for the build folder

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.wasm': 'application/wasm', '.svg': 'image/svg+xml',
};
const server = createServer(async (request, response) => {
  const url = new URL(request.url, 'http://localhost');
  const file = path.join(root, path.normalize(decodeURIComponent(url.pathname)).replace(/^(\.\.[/\\])+/, ''));
  try {
    const target = (await stat(file)).isDirectory() ? path.join(file, 'index.html') : file;
    const body = await readFile(target);
    response.writeHead(200, { 'content-type': TYPES[path.extname(target)] || 'application/octet-stream' });
    response.end(body);
  } catch {
    response.writeHead(404);
    response.end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}/`;

const browser = await chromium.launch({
  executablePath: CHROMIUM,
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

const failures = [];
async function check(name, body) {
  const started = Date.now();
  try {
    await body();
    console.log(`ok - ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
  } catch (error) {
    failures.push(name);
    console.log(`not ok - ${name}\n${String(error && error.stack ? error.stack : error).replace(/^/gm, '    ')}`);
  }
}

// A fresh page whose console errors, uncaught exceptions and failed
// requests are collected.
async function openPage(query, viewport = { width: 1100, height: 860 }) {
  const context = await browser.newContext({ viewport });
  const page = await context.newPage();
  const errors = [];
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => errors.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  await page.goto(base + 'index.html' + query);
  await page.waitForFunction(() => performance.getEntriesByName('quillfen-ready').length > 0);
  return { page, context, errors };
}

const square = (page, name) => page.locator(`#board [data-square="${name}"]`);
const boardOf = (page) =>
  page.$$eval('#board .square', (squares) => squares.map((s) => `${s.dataset.square}${s.dataset.piece}`).sort().join(' '));
const targetsOf = (page) =>
  page.$$eval('#board .square.target', (squares) => squares.map((s) => s.dataset.square).sort());
const movesOf = (page) => page.inputValue('#moves');
const movesCount = async (page) => (await movesOf(page)).split(' ').filter((w) => /^[a-h][1-8][a-h][1-8]$/.test(w)).length;

// Waits until the player (White) may move with at least `count` moves in
// the list, or the game is over; true when the game goes on.
async function awaitTurn(page, count = 0) {
  await page.waitForFunction((n) => {
    const status = document.getElementById('status').textContent;
    const moves = document.getElementById('moves').value.split(' ')
      .filter((w) => /^[a-h][1-8][a-h][1-8]$/.test(w)).length;
    return (status === 'White to move.' && moves >= n) || !document.getElementById('result').hidden;
  }, count, { timeout: 60000 });
  return !(await page.isVisible('#result'));
}

// The first pawn of the colour (P white, p black), from the a-file on, that
// has a legal target: picked by a click, its targets read off the board.
async function pickMovablePawn(page, piece = 'P') {
  for (const file of 'abcdefgh') {
    for (let rank = 7; rank >= 2; --rank) {
      const name = `${file}${rank}`;
      if ((await square(page, name).getAttribute('data-piece')) !== piece) continue;
      await square(page, name).click();
      const targets = await targetsOf(page);
      if (targets.length > 0) return { from: name, targets };
    }
  }
  throw new Error(`no ${piece} pawn with a legal target`);
}

// Drags a pawn with the mouse as a person would: press, move across, release.
async function drag(page, from, to) {
  const a = await square(page, from).boundingBox();
  const b = await square(page, to).boundingBox();
  await page.mouse.move(a.x + a.width / 2, a.y + a.height / 2);
  await page.mouse.down();
  await page.mouse.move((a.x + b.x) / 2 + a.width / 2, (a.y + b.y) / 2 + a.height / 2, { steps: 4 });
  await page.mouse.move(b.x + b.width / 2, b.y + b.height / 2, { steps: 4 });
  await page.mouse.up();
}

let coldLoad = null;

await check('cold load: the engine, playing White, makes the first move', async () => {
  const started = Date.now();
  const { page, context, errors } = await openPage('?engine=white&time=0+0:15+0');
  await page.waitForFunction(() => performance.getEntriesByName('quillfen-first-move').length > 0,
    null, { timeout: 30000 });
  const marks = await page.evaluate(() => ({
    ready: performance.getEntriesByName('quillfen-ready')[0].startTime,
    firstMove: performance.getEntriesByName('quillfen-first-move')[0].startTime,
  }));
  coldLoad = { ...marks, wall: Date.now() - started };
  assert.equal(await movesCount(page), 1);
  assert.match(await page.getAttribute('#board', 'aria-label'), /black at the bottom/);
  assert.ok((await page.$$('#thinking tbody tr')).length > 0, 'thinking output shown');
  assert.deepEqual(errors, []);
  await context.close();
});

await check('a whole game by clicks, drags and the keyboard, with refusals and take-backs', async () => {
  const { page, context, errors } = await openPage('?engine=black&time=0+0:15+0');
  await awaitTurn(page);
  const start = await boardOf(page);

  // The targets shown are the engine's legal moves; a square outside them
  // is refused and changes nothing.
  await square(page, 'e2').click();
  assert.deepEqual(await targetsOf(page), ['e3', 'e4']);
  assert.match(await square(page, 'e4').getAttribute('aria-label'), /^e4, empty, legal target$/);
  await square(page, 'e5').click();
  assert.match(await page.textContent('#status'), /e2 to e5 is not a legal move/);
  assert.equal(await boardOf(page), start);
  assert.equal(await movesOf(page), '');
  // A black pawn cannot be picked by White.
  await square(page, 'd7').click();
  assert.deepEqual(await targetsOf(page), []);

  // The keyboard: focus e2, Enter picks it, two steps up, Enter plays e2e4.
  await square(page, 'e2').focus();
  await page.keyboard.press('Enter');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('Enter');
  await awaitTurn(page, 2);
  assert.match(await movesOf(page), /^1\. e2e4 [a-h][1-8][a-h][1-8]$/);
  assert.equal(await square(page, 'e4').getAttribute('data-piece'), 'P');

  // Take back a pair: the position before White's last move comes back.
  const beforePair = await boardOf(page);
  const movesBeforePair = await movesOf(page);
  const first = await pickMovablePawn(page);
  await drag(page, first.from, first.targets[0]);
  await awaitTurn(page, 4);
  assert.equal(await movesCount(page), 4);
  await page.click('#take-back-pair');
  await page.waitForFunction((n) => document.getElementById('moves').value === n, movesBeforePair);
  assert.equal(await boardOf(page), beforePair);

  // Take back one: the engine's answer goes, White's move stays; the engine
  // then waits until it is asked to move.
  const second = await pickMovablePawn(page);
  await square(page, second.targets[0]).click();
  await awaitTurn(page, 4);
  const afterWhite = (await movesOf(page)).split(' ').slice(0, -1).join(' ');
  await page.click('#take-back');
  await page.waitForFunction((n) => document.getElementById('moves').value === n, afterWhite);
  assert.match(await page.textContent('#status'), /^Black to move/);
  await page.waitForTimeout(300);
  assert.equal(await movesOf(page), afterWhite, 'the engine moved after a take-back');
  await page.click('#engine-move');

  // Play on, every other move by drag, until the game ends.
  let moves = 0;
  while (await awaitTurn(page, 4 + 2 * moves)) {
    const { from, targets } = await pickMovablePawn(page);
    const to = targets[targets.length - 1];
    if (moves % 2 === 0) await drag(page, from, to);
    else await square(page, to).click();
    moves += 1;
    assert.ok(moves < 80, 'the game does not end');
  }
  const result = await page.textContent('#result');
  assert.match(result, /^(White wins|Black wins|Draw): .+\.$|wins on time/);
  assert.match(await movesOf(page), new RegExp(`\\{${result.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')}\\}$`));
  assert.ok((await page.$$('#thinking tbody tr')).length > 0, 'thinking output shown');
  assert.match(await page.textContent('#thinking tbody'), /[+-]\d+\.\d\d/);
  assert.equal(await page.isDisabled('#engine-move'), true);
  if (screenshot) await page.screenshot({ path: screenshot });
  assert.deepEqual(errors, []);
  await context.close();
});

await check('a phone screen: the board fits its width; sides switched during the game', async () => {
  const { page, context, errors } = await openPage('', { width: 375, height: 740 });
  await awaitTurn(page);
  const board = await page.locator('#board').boundingBox();
  assert.ok(board.width >= 300 && board.x >= 0 && board.x + board.width <= 375, `board at ${JSON.stringify(board)}`);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 375), 'no sideways scrolling');
  await square(page, 'd2').click();
  await square(page, 'd4').click();
  await awaitTurn(page, 2);
  assert.match(await movesOf(page), /^1\. d2d4 /);

  // Sides switched mid-game: Quillfen takes White and moves at once, the
  // board turning; then it plays neither side and the player moves both.
  const settled = (n, status) => page.waitForFunction(([count, text]) =>
    document.getElementById('moves').value.split(' ').filter((w) => /^[a-h][1-8][a-h][1-8]$/.test(w)).length === count &&
    document.getElementById('status').textContent === text, [n, status]);
  await page.selectOption('#engine-side', 'white');
  await settled(3, 'Black to move.');
  assert.match(await page.getAttribute('#board', 'aria-label'), /black at the bottom/);
  await page.selectOption('#engine-side', 'none');
  for (const [piece, count, next] of [['p', 4, 'White'], ['P', 5, 'Black']]) {
    const { targets } = await pickMovablePawn(page, piece);
    await square(page, targets[0]).click();
    await settled(count, `${next} to move.`);
  }
  await page.waitForTimeout(300);
  assert.equal(await movesCount(page), 5, 'the engine moved while playing neither side');
  assert.deepEqual(errors, []);
  await context.close();
});

await check('a clock that runs out ends the game on time', async () => {
  const { page, context, errors } = await openPage('?engine=none&time=0+0:15+0');
  await awaitTurn(page);
  await square(page, 'e2').click();
  await square(page, 'e4').click();
  // Black's 15 seconds run from White's first move on.
  await page.waitForFunction(() => !document.getElementById('result').hidden, null, { timeout: 30000 });
  assert.equal(await page.textContent('#result'), "White wins on time: Black's clock ran out.");
  assert.equal(await page.textContent('#clock-top .clock-time'), '0:00.0');
  assert.equal(await page.isDisabled('#take-back'), true);
  await square(page, 'e7').click();
  assert.deepEqual(await targetsOf(page), [], 'a pawn picked after the game ended');
  assert.deepEqual(errors, []);
  await context.close();
});

await browser.close();
server.close();

if (coldLoad) {
  console.log(`cold load: engine ready ${coldLoad.ready.toFixed(0)} ms, first move ${coldLoad.firstMove.toFixed(0)} ms ` +
    `after navigation start (${coldLoad.wall} ms wall time including the browser context)`);
}
if (failures.length > 0) console.log(`failed: ${failures.join('; ')}`);
process.exit(failures.length === 0 ? 0 : 1);

// The page: a board, clocks and controls around the engine in a Web Worker
// (quillfen-worker.js). The engine holds the game; the page sends it the
// player's moves and the protocol's commands, and draws the state the
// worker posts after each message, legal moves included, so the rules live
// in the engine alone.

const FILES = 'abcdefgh';
const squareName = (sq) => FILES[sq % 8] + String(Math.floor(sq / 8) + 1);
const squareIndex = (name) => FILES.indexOf(name[0]) + 8 * (Number(name[1]) - 1);
const sideWord = (side) => (side === 'white' ? 'White' : 'Black');
const otherSide = (side) => (side === 'white' ? 'black' : 'white');

const PAWN_SVG =
  '<svg class="pawn COLOUR" viewBox="0 0 45 45" aria-hidden="true" focusable="false">' +
  '<path stroke-width="1.5" d="M22.5 9c-2.2 0-4 1.8-4 4 0 .9.3 1.7.8 2.4-1.9 1.1-3.3 3.2-3.3 ' +
  '5.6 0 2 .9 3.8 2.4 5-3 1.1-7.4 5.6-7.4 13.5h23c0-7.9-4.4-12.4-7.4-13.5 1.5-1.2 2.4-3 ' +
  '2.4-5 0-2.4-1.4-4.5-3.3-5.6.5-.7.8-1.5.8-2.4 0-2.2-1.8-4-4-4z"/></svg>';

const $ = (id) => document.getElementById(id);
const boardElement = $('board');
const statusElement = $('status');
const resultElement = $('result');
const thinkingBody = document.querySelector('#thinking tbody');

const worker = new Worker('quillfen-worker.js');
// Every message is answered by one state; `sent` numbers the messages,
// `answered` is the number of the last one answered.
let sent = 0;
let answered = 0;
const send = (text) => {
  worker.postMessage(text);
  sent += 1;
  return sent;
};

let state = null;         // the game as the engine last reported it
let ready = false;        // the engine has started
let thinking = false;     // a "go" is out and its move not yet back
let goMessage = 0;        // the number of the message that holds that "go"
let gameMessage = 0;      // the number of the message that started this game
let paused = false;       // after a take-back: the engine waits for "Engine, move"
let picked = null;        // the square of the picked pawn
let flipped = false;      // the board drawn with black at the bottom
let focusSquare = squareIndex('e2');
let notice = '';          // a refused move, shown until the next move
let timeLoss = null;      // the side whose clock ran out
let lastPly = 0;

// Clocks, in milliseconds, kept by the page as xboard keeps them, and sent
// to the engine before it moves.
const clock = { white: 0, black: 0, running: null, since: 0, moves: { white: 0, black: 0 } };
let control = { mps: 0, base: 60, inc: 1 };

function parseControl(text) {
  const [mps, base, inc] = text.split(' ');
  const [minutes, seconds = '0'] = base.split(':');
  return { mps: Number(mps), base: Number(minutes) * 60 + Number(seconds), inc: Number(inc) };
}

const engineSide = () => $('engine-side').value;
const gameOver = () => state !== null && (state.result !== 'ongoing' || timeLoss !== null);
const playerMayMove = () =>
  ready && state !== null && !thinking && !gameOver() && (paused || state.toMove !== engineSide());

// --- clocks

function settleClock() {
  if (clock.running === null) return;
  const now = performance.now();
  clock[clock.running] -= now - clock.since;
  clock.since = now;
}

function runClock(side) {
  settleClock();
  clock.running = side;
  clock.since = performance.now();
}

function formatClock(ms) {
  const total = Math.max(0, Math.ceil(ms / 100)) / 10;
  const minutes = Math.floor(total / 60);
  const seconds = total - minutes * 60;
  const text = total < 20 ? seconds.toFixed(1).padStart(4, '0') : String(Math.floor(seconds)).padStart(2, '0');
  return `${minutes}:${text}`;
}

function drawClocks() {
  settleClock();
  const top = flipped ? 'white' : 'black';
  for (const [id, side] of [['clock-top', top], ['clock-bottom', otherSide(top)]]) {
    const element = $(id);
    element.querySelector('.clock-name').textContent =
      sideWord(side) + (side === engineSide() ? ' (Quillfen)' : '');
    element.querySelector('.clock-time').textContent = formatClock(clock[side]);
    element.setAttribute('aria-label', `${sideWord(side)}'s clock`);
    element.classList.toggle('running', clock.running === side);
    element.classList.toggle('flagged', timeLoss === side);
  }
}

function tick() {
  if (!ready) return;
  if (clock.running !== null && timeLoss === null) {
    settleClock();
    const side = clock.running;
    if (clock[side] <= 0) {
      clock[side] = 0;
      timeLoss = side;
      clock.running = null;
      send(`result ${side === 'white' ? '0-1' : '1-0'} {${sideWord(side)} forfeits on time}`);
      draw();
    }
  }
  drawClocks();
}

// The move of `mover` is complete: its increment, and a new period's time
// after the period's last move.
function creditMove(mover) {
  settleClock();
  clock.moves[mover] += 1;
  clock[mover] += control.inc * 1000;
  if (control.mps > 0 && clock.moves[mover] % control.mps === 0) clock[mover] += control.base * 1000;
}

// --- talking to the engine

function engineMove() {
  if (!ready || thinking || gameOver()) return;
  thinking = true;
  paused = false;
  thinkingBody.replaceChildren();
  const own = state.toMove;
  const centis = (ms) => Math.max(1, Math.floor(ms / 10));
  runClock(own);
  goMessage = send(`time ${centis(clock[own])}\notim ${centis(clock[otherSide(own)])}\ngo`);
  draw();
}

function maybeEngineTurn() {
  if (answered === sent && !paused && state !== null && !gameOver() && state.toMove === engineSide()) engineMove();
}

function newGame() {
  control = parseControl($('time-control').value);
  Object.assign(clock, { white: control.base * 1000, black: control.base * 1000, running: null });
  clock.moves = { white: 0, black: 0 };
  timeLoss = null;
  paused = false;
  picked = null;
  notice = '';
  lastPly = 0;
  thinkingBody.replaceChildren();
  resultElement.hidden = true;
  const [mps, base, inc] = $('time-control').value.split(' ');
  gameMessage = send(`new\nforce\nlevel ${mps} ${base} ${inc}`);
  announce('New game.');
}

function playMove(from, to) {
  const text = squareName(from) + squareName(to);
  picked = null;
  notice = '';
  paused = false;
  send(`force\n${text}`);
}

function takeBack(plies) {
  if (thinking || state === null || timeLoss !== null) return;
  if (state.ply < plies) return;
  picked = null;
  notice = '';
  paused = true;
  send(plies === 1 ? 'force\nundo' : 'force\nremove');
}

function onState(next, handled) {
  // A state of the game before the last "new" is of no interest.
  if (handled < gameMessage) {
    answered = handled;
    return;
  }
  const previous = state;
  state = next;
  if (previous !== null && next.ply !== lastPly) {
    if (next.ply === lastPly + 1) {
      if (performance.getEntriesByName('quillfen-first-move').length === 0) {
        performance.mark('quillfen-first-move');
      }
      creditMove(otherSide(next.toMove));
      announceMove(next);
    } else if (next.ply < lastPly) {
      announce(`Taken back to move ${Math.floor(next.ply / 2) + 1}, ${sideWord(next.toMove)} to move.`);
    }
  }
  lastPly = next.ply;
  if (thinking && handled >= goMessage) thinking = false;
  if (gameOver() || next.ply === 0) {
    settleClock();
    clock.running = null;
  } else {
    runClock(next.toMove);
  }
  // Once every message is answered, the engine moves when it is its turn
  // (after a new game, the player's move, a change of sides), unless a
  // take-back paused it.
  answered = handled;
  maybeEngineTurn();
  draw();
}

function announce(text) {
  $('announce').textContent = text;
}

function announceMove(next) {
  const move = next.moves[next.moves.length - 1];
  const mover = otherSide(next.toMove);
  const who = mover === engineSide() ? `Quillfen (${sideWord(mover)})` : sideWord(mover);
  announce(`${who} played ${move.slice(0, 2)} to ${move.slice(2)}.` +
    (resultText(next) ? ` ${resultText(next)}` : ''));
}

// --- the engine's output

const THINKING = /^(\d+) (-?\d+) (-?\d+) (\d+)((?: \S+)*)$/;

const plies = (n) => `${n} ${n === 1 ? 'ply' : 'plies'}`;

// Centipawns as xboard shows them, in pawns; a forced win or loss d plies
// away scores 30000 - d, shown as about +300 with the distance in words.
function scoreText(score) {
  const pawns = `${score >= 0 ? '+' : ''}${(score / 100).toFixed(2)}`;
  if (score >= 29936) return `${pawns} (wins in ${plies(30000 - score)})`;
  if (score <= -29936) return `${pawns} (loses in ${plies(30000 + score)})`;
  return pawns;
}

function onLine(line) {
  if (line === 'feature done=0' && !ready) {
    ready = true;
    performance.mark('quillfen-ready');
    send('xboard');
    newGame();
    return;
  }
  const m = THINKING.exec(line);
  if (m) {
    const row = document.createElement('tr');
    const cells = [m[1], scoreText(Number(m[2])), `${(Number(m[3]) / 100).toFixed(2)} s`,
      Number(m[4]).toLocaleString('en'), m[5].trim()];
    for (const text of cells) {
      const cell = document.createElement('td');
      cell.textContent = text;
      row.append(cell);
    }
    thinkingBody.prepend(row);
    return;
  }
  if (line.startsWith('Error')) {
    notice = line;
    draw();
  }
}

worker.onmessage = (event) => {
  if (typeof event.data === 'string') onLine(event.data);
  else if (event.data && event.data.state) onState(event.data.state, event.data.handled);
};
worker.onerror = (event) => {
  statusElement.textContent = `The engine failed to start: ${event.message}`;
};

// --- drawing

function resultText(s) {
  if (timeLoss !== null) {
    return `${sideWord(otherSide(timeLoss))} wins on time: ${sideWord(timeLoss)}'s clock ran out.`;
  }
  if (s === null) return '';
  if (s.result === 'draw') return `Draw: ${sideWord(s.toMove)} has pawns but no legal move.`;
  if (s.result === 'white' || s.result === 'black') {
    const winner = sideWord(s.result);
    if (s.reason === 'last rank') {
      return `${winner} wins: a ${s.result} pawn reached the ${s.result === 'white' ? 'eighth' : 'first'} rank.`;
    }
    return `${winner} wins: ${sideWord(otherSide(s.result))} has no pawns left.`;
  }
  return '';
}

function targetsOf(from) {
  if (state === null || from === null) return new Map();
  const name = squareName(from);
  const targets = new Map();
  for (const move of state.legal) {
    if (move.startsWith(name)) targets.set(squareIndex(move.slice(2)), move);
  }
  return targets;
}

function squareLabel(sq, piece, isTarget) {
  let text = squareName(sq);
  text += piece === 'P' ? ', white pawn' : piece === 'p' ? ', black pawn' : ', empty';
  if (sq === picked) text += ', picked';
  if (isTarget) text += ', legal target';
  return text;
}

function draw() {
  if (state === null) return;
  const targets = targetsOf(picked);
  const last = state.moves.length > 0 ? state.moves[state.moves.length - 1] : null;
  const lastSquares = last ? [squareIndex(last.slice(0, 2)), squareIndex(last.slice(2))] : [];
  const buttons = [];
  for (let row = 0; row < 8; ++row) {
    for (let col = 0; col < 8; ++col) {
      const rank = flipped ? row : 7 - row;
      const file = flipped ? 7 - col : col;
      const sq = rank * 8 + file;
      const piece = state.board[sq];
      const button = document.createElement('button');
      button.type = 'button';
      button.className = `square ${(rank + file) % 2 === 0 ? 'dark' : 'light'}`;
      button.dataset.square = squareName(sq);
      button.dataset.piece = piece === '.' ? '' : piece;
      button.tabIndex = sq === focusSquare ? 0 : -1;
      if (piece !== '.') {
        button.classList.add('occupied');
        button.innerHTML = PAWN_SVG.replace('COLOUR', piece === 'P' ? 'white' : 'black');
      }
      if (sq === picked) button.classList.add('picked');
      if (targets.has(sq)) button.classList.add('target');
      if (lastSquares.includes(sq)) button.classList.add('last');
      button.setAttribute('aria-label', squareLabel(sq, piece, targets.has(sq)));
      if (row === 7) button.insertAdjacentHTML('beforeend', `<span class="coord file">${FILES[file]}</span>`);
      if (col === 0) button.insertAdjacentHTML('beforeend', `<span class="coord rank">${rank + 1}</span>`);
      buttons.push(button);
    }
  }
  const hadFocus = boardElement.contains(document.activeElement);
  boardElement.replaceChildren(...buttons);
  boardElement.setAttribute('aria-label', `Board, ${flipped ? 'black' : 'white'} at the bottom`);
  if (hadFocus) boardElement.querySelector(`[data-square="${squareName(focusSquare)}"]`).focus();

  const result = resultText(state);
  resultElement.hidden = result === '';
  resultElement.textContent = result;
  if (notice) statusElement.textContent = notice;
  else if (result) statusElement.textContent = 'Game over.';
  else if (thinking) statusElement.textContent = `Quillfen is thinking (${sideWord(state.toMove)})…`;
  else if (paused && state.toMove === engineSide())
    statusElement.textContent = `${sideWord(state.toMove)} to move: move for Quillfen, or press “Engine, move”.`;
  else statusElement.textContent = `${sideWord(state.toMove)} to move.`;

  $('moves').value = moveListText(state.moves, result);
  $('take-back').disabled = thinking || timeLoss !== null || state.ply < 1;
  $('take-back-pair').disabled = thinking || timeLoss !== null || state.ply < 2;
  $('engine-move').disabled = thinking || gameOver();
  $('new-game').disabled = thinking;
  $('time-control').disabled = thinking;
  drawClocks();
}

function moveListText(moves, result) {
  const parts = [];
  for (let i = 0; i < moves.length; i += 2) {
    parts.push(`${i / 2 + 1}. ${moves[i]}${i + 1 < moves.length ? ` ${moves[i + 1]}` : ''}`);
  }
  if (result) parts.push(`{${result}}`);
  return parts.join(' ');
}

// --- input: click-click, drag, keyboard

function ownPawnAt(sq) {
  if (state === null) return false;
  const piece = state.board[sq];
  return (piece === 'P' && state.toMove === 'white') || (piece === 'p' && state.toMove === 'black');
}

function choose(sq) {
  if (!playerMayMove()) return;
  if (picked !== null && targetsOf(picked).has(sq)) {
    playMove(picked, sq);
  } else if (ownPawnAt(sq) && sq !== picked) {
    picked = sq;
    notice = '';
  } else if (picked !== null && sq !== picked) {
    notice = `${squareName(picked)} to ${squareName(sq)} is not a legal move.`;
    picked = null;
  } else {
    picked = null;
  }
  draw();
}

let press = null;  // a pointer press on a square: where, and the drag ghost
const squareAt = (x, y) => {
  const element = document.elementFromPoint(x, y);
  const square = element && element.closest('.square');
  return square && boardElement.contains(square) ? squareIndex(square.dataset.square) : null;
};

boardElement.addEventListener('pointerdown', (event) => {
  const sq = squareAt(event.clientX, event.clientY);
  if (sq === null || event.button !== 0) return;
  focusSquare = sq;
  press = { sq, x: event.clientX, y: event.clientY, ghost: null, id: event.pointerId };
  if (playerMayMove() && ownPawnAt(sq) && picked !== sq) {
    picked = sq;
    notice = '';
    press.pickedNow = true;
    draw();
  }
  event.preventDefault();
});

window.addEventListener('pointermove', (event) => {
  if (press === null || event.pointerId !== press.id) return;
  const far = Math.hypot(event.clientX - press.x, event.clientY - press.y) > 6;
  if (press.ghost === null && far && picked === press.sq && playerMayMove()) {
    const from = boardElement.querySelector(`[data-square="${squareName(press.sq)}"]`);
    const size = from.getBoundingClientRect().width;
    press.ghost = document.createElement('div');
    press.ghost.className = 'ghost';
    press.ghost.style.width = press.ghost.style.height = `${size}px`;
    press.ghost.innerHTML = from.querySelector('.pawn').outerHTML;
    document.body.append(press.ghost);
    from.classList.add('dragging');
  }
  if (press.ghost !== null) {
    press.ghost.style.left = `${event.clientX}px`;
    press.ghost.style.top = `${event.clientY}px`;
  }
});

window.addEventListener('pointerup', (event) => {
  if (press === null || event.pointerId !== press.id) return;
  const current = press;
  press = null;
  const sq = squareAt(event.clientX, event.clientY);
  if (current.ghost !== null) {
    current.ghost.remove();
    if (sq !== null && sq !== current.sq) choose(sq);
    else draw();
  } else if (sq === current.sq && !current.pickedNow) {
    choose(sq);
  } else if (sq !== null && sq !== current.sq) {
    choose(sq);
  }
});

window.addEventListener('pointercancel', () => {
  if (press && press.ghost) press.ghost.remove();
  press = null;
  draw();
});

// Keyboard: a click without a pointer (Enter or space on a square).
boardElement.addEventListener('click', (event) => {
  if (event.detail !== 0) return;
  const square = event.target.closest('.square');
  if (square) {
    focusSquare = squareIndex(square.dataset.square);
    choose(focusSquare);
  }
});

boardElement.addEventListener('keydown', (event) => {
  const steps = { ArrowUp: [0, 1], ArrowDown: [0, -1], ArrowLeft: [-1, 0], ArrowRight: [1, 0] };
  const step = steps[event.key];
  if (!step) return;
  event.preventDefault();
  const sign = flipped ? -1 : 1;
  const file = Math.min(7, Math.max(0, (focusSquare % 8) + sign * step[0]));
  const rank = Math.min(7, Math.max(0, Math.floor(focusSquare / 8) + sign * step[1]));
  focusSquare = rank * 8 + file;
  draw();
  boardElement.querySelector(`[data-square="${squareName(focusSquare)}"]`).focus();
});

// --- controls

$('new-game').addEventListener('click', () => {
  if (!ready) return;
  if (thinking) return;
  newGame();
});
$('time-control').addEventListener('change', () => {
  if (ready && !thinking) newGame();
});
$('engine-side').addEventListener('change', () => {
  flipped = engineSide() === 'white';
  paused = false;
  picked = null;
  maybeEngineTurn();
  draw();
});
$('take-back').addEventListener('click', () => takeBack(1));
$('take-back-pair').addEventListener('click', () => takeBack(2));
$('engine-move').addEventListener('click', () => engineMove());
$('flip').addEventListener('click', () => {
  flipped = !flipped;
  draw();
});
$('copy-moves').addEventListener('click', async () => {
  const text = $('moves').value;
  try {
    await navigator.clipboard.writeText(text);
    announce('Moves copied.');
  } catch {
    $('moves').select();
    announce('Moves selected: copy them with the keyboard.');
  }
});

// A link may set the choices: index.html?engine=white&time=0+0:15+0
const query = new URLSearchParams(location.search);
for (const [key, id] of [['engine', 'engine-side'], ['time', 'time-control']]) {
  const value = query.get(key);
  const select = $(id);
  if (value !== null && [...select.options].some((option) => option.value === value)) {
    select.value = value;
  }
}
flipped = engineSide() === 'white';

setInterval(tick, 100);

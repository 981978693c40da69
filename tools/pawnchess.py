"""The rules of pawn chess, for the match harness (tools/match) and the GUI
tests' referee (tests/gui/referee.py): a board from a FEN, its legal moves
(steps, double steps from the start rank, diagonal captures, en passant),
making a move and the game's result.

A game ends when the side that has just moved has a pawn on its last rank
(it wins), when the side to move has no pawns left (it loses) or when the
side to move has pawns but no move (a draw). Squares are numbers 0 (a1) to
63 (h8), a move is a pair (from, to), and its text is coordinate notation
such as e2e4.
"""

WHITE, BLACK = 0, 1
START_FEN = "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1"
# The comment xboard expects with each result.
RESULT_COMMENT = {"1-0": "White mates", "0-1": "Black mates", "1/2-1/2": "Draw"}

FORWARD = (8, -8)
START_RANK = (1, 6)
LAST_RANK = (7, 0)


def square(text):
    """The square named by the first two characters of text, e.g. e4."""
    return (ord(text[0]) - ord("a")) + 8 * (ord(text[1]) - ord("1"))


def square_name(sq):
    return "abcdefgh"[sq % 8] + "12345678"[sq // 8]


def parse_move(text):
    """The move (from, to) for its text, e.g. e2e4; legal or not."""
    return square(text[:2]), square(text[2:4])


def move_text(move):
    return square_name(move[0]) + square_name(move[1])


class Board:
    """A position: both sides' pawns (sets of squares, indexed by WHITE and
    BLACK), the side to move, the square a pawn passed over in a double step
    on the last move (or None) and the number of plies played."""

    def __init__(self, fen=START_FEN):
        self.pawns, self.side, self.ep, self.ply = _parse_fen(fen)

    def copy(self):
        b = Board.__new__(Board)
        b.pawns = [set(self.pawns[WHITE]), set(self.pawns[BLACK])]
        b.side, b.ep, b.ply = self.side, self.ep, self.ply
        return b

    def legal_moves(self):
        """The moves of the side to move, by from-square, each pawn's step
        first, then its double step and its captures to the a and the h
        side. Ended games are not checked for: see result()."""
        s = self.side
        enemy = self.pawns[s ^ 1]
        occupied = self.pawns[WHITE] | self.pawns[BLACK]
        step = FORWARD[s]
        found = []
        for sq in sorted(self.pawns[s]):
            ahead = sq + step
            if not 0 <= ahead < 64:
                continue
            if ahead not in occupied:
                found.append((sq, ahead))
                two = ahead + step
                if sq // 8 == START_RANK[s] and two not in occupied:
                    found.append((sq, two))
            for df in (-1, 1):
                if 0 <= sq % 8 + df < 8:
                    target = ahead + df
                    if target in enemy or target == self.ep:
                        found.append((sq, target))
        return found

    def play(self, move):
        """Makes a move, which must be legal."""
        frm, to = move
        s = self.side
        own, enemy = self.pawns[s], self.pawns[s ^ 1]
        own.remove(frm)
        own.add(to)
        if to in enemy:
            enemy.remove(to)
        elif to == self.ep and (to - frm) % 8 != 0:
            enemy.remove(to - FORWARD[s])
        self.ep = frm + FORWARD[s] if abs(to - frm) == 16 else None
        self.side ^= 1
        self.ply += 1

    def result(self):
        """"1-0", "0-1" or "1/2-1/2" once the game has ended, else None."""
        s, mover = self.side, self.side ^ 1
        if any(sq // 8 == LAST_RANK[mover] for sq in self.pawns[mover]) or not self.pawns[s]:
            return "1-0" if mover == WHITE else "0-1"
        if not self.legal_moves():
            return "1/2-1/2"
        return None

    def diagram(self):
        """The board as eight rows from rank 8 down, P, p and . for each
        square."""
        return ["".join("P" if rank * 8 + f in self.pawns[WHITE] else
                        "p" if rank * 8 + f in self.pawns[BLACK] else "."
                        for f in range(8))
                for rank in range(7, -1, -1)]


def _parse_fen(fen):
    fields = fen.split()
    if not 2 <= len(fields) <= 6:
        raise ValueError(f"FEN {fen!r}: expected 2 to 6 fields")
    rows = fields[0].split("/")
    if len(rows) != 8:
        raise ValueError(f"FEN {fen!r}: expected 8 ranks")
    pawns = [set(), set()]
    for rank, row in zip(range(7, -1, -1), rows):
        f = 0
        for c in row:
            if c in "12345678":
                f += int(c)
            elif c not in "Pp":
                raise ValueError(f"FEN {fen!r}: {c!r} is not a pawn, a digit or '/'")
            elif f < 8:
                side = WHITE if c == "P" else BLACK
                if rank == LAST_RANK[side ^ 1]:
                    raise ValueError(f"FEN {fen!r}: a pawn on its own first rank")
                pawns[side].add(rank * 8 + f)
                f += 1
            else:
                f = 9  # too many squares: caught below
        if f != 8:
            raise ValueError(f"FEN {fen!r}: rank {rank + 1} does not hold 8 squares")
    if max(len(pawns[WHITE]), len(pawns[BLACK])) > 8:
        raise ValueError(f"FEN {fen!r}: more than eight pawns of one side")
    if fields[1] not in ("w", "b"):
        raise ValueError(f"FEN {fen!r}: the side to move must be w or b")
    side = WHITE if fields[1] == "w" else BLACK
    if any(sq // 8 == LAST_RANK[side] for sq in pawns[side]):
        raise ValueError(f"FEN {fen!r}: a pawn on its last rank with its side to move")
    if len(fields) > 2 and fields[2] != "-":
        raise ValueError(f"FEN {fen!r}: the castling field must be -")
    ep = None
    if len(fields) > 3 and fields[3] != "-":
        # The square a pawn of the other side has just passed over: on the
        # mover's sixth rank, that pawn beyond it, the square and the pawn's
        # start square empty.
        text = fields[3]
        want = 5 if side == WHITE else 2
        if len(text) != 2 or text[0] not in "abcdefgh" or text[1] != str(want + 1):
            raise ValueError(f"FEN {fen!r}: the en-passant square must be - or on rank {want + 1}")
        ep = square(text)
        behind = ep - FORWARD[side]
        occupied = pawns[WHITE] | pawns[BLACK]
        if behind not in pawns[side ^ 1] or ep in occupied or ep + FORWARD[side] in occupied:
            raise ValueError(f"FEN {fen!r}: no pawn has just passed over {text}")
    try:
        full = int(fields[5]) if len(fields) > 5 else 1
    except ValueError:
        raise ValueError(f"FEN {fen!r}: the move number must be a number") from None
    return pawns, side, ep, 2 * (max(full, 1) - 1) + side

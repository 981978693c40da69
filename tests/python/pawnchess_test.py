#!/usr/bin/env python3
"""The rules in tools/pawnchess.py, which the match harness and the GUI
tests' referee judge the engine by: move-path counts that the engine's own
perft gives, the moves and results of small positions, and FEN input."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from pawnchess import BLACK, START_FEN, WHITE, Board, move_text, parse_move  # noqa: E402

# White wins by reaching b8 after capturing twice; Black wins on a1.
WHITE_WINS = "b2b4 a7a5 b4a5 h7h6 a5a6 h6h5 a6b7 h5h4 b7b8".split()
BLACK_WINS = "h2h3 b7b5 h3h4 b5b4 h4h5 b4b3 h5h6 b3a2 h6g7 a2a1".split()


def perft(board, depth):
    """Leaves of all move sequences of `depth` plies; an ended game has no
    moves."""
    if board.result():
        return 0
    moves = board.legal_moves()
    if depth == 1:
        return len(moves)
    total = 0
    for move in moves:
        child = board.copy()
        child.play(move)
        total += perft(child, depth - 1)
    return total


def play(moves):
    """Plays move texts while the game goes on; the result, "illegal" and the
    move, or None when the game goes on after them."""
    board = Board()
    for text in moves:
        move = parse_move(text)
        if move not in board.legal_moves():
            return "illegal " + text
        board.play(move)
        if board.result():
            return board.result()
    return None


class Perft(unittest.TestCase):
    def test_counts_agree_with_the_engine(self):
        # From quillfen-tool perft FEN DEPTH.
        cases = [
            (START_FEN, [16, 256, 3846, 57744, 815968]),
            # White may take d5 en passant on the first ply only.
            ("8/1pp1pppp/p7/3pP3/8/8/PPPP1PPP/8 w - d6 0 3", [16, 210, 2988, 36732]),
            # Black may take d4 en passant.
            ("8/pppp1ppp/8/8/3Pp3/8/PPP1PPPP/8 b - d3 0 2", [16, 226, 3216, 42460]),
            # Both sides a step from their last rank: games end within the
            # depth.
            ("8/1P4p1/8/8/8/8/1p4P1/8 w - - 0 1", [3, 6, 7, 4]),
            # d7d5 gives White an en-passant capture that wins.
            ("8/3p4/8/4P3/8/8/8/8 b - - 0 1", [2, 4, 2, 2]),
            ("8/2p5/8/1P1P4/8/8/8/8 b - - 0 1", [2, 8, 6, 10]),
            # Taking the last black pawn en passant ends the game.
            ("8/8/8/3pP3/8/8/8/8 w - d6 0 1", [2, 1]),
            # Blocked: no moves, a draw.
            ("8/8/8/4p3/4P3/8/8/8 w - - 0 1", [0, 0]),
        ]
        for fen, counts in cases:
            for depth, count in enumerate(counts, 1):
                with self.subTest(fen=fen, depth=depth):
                    self.assertEqual(perft(Board(fen), depth), count)


class Moves(unittest.TestCase):
    def test_legal_moves_of_positions(self):
        cases = [
            ("8/8/8/3pP3/8/8/8/8 w - d6 0 1", "e5d6 e5e6"),
            # the same without the double step just before it
            ("8/8/8/3pP3/8/8/8/8 w - - 0 1", "e5e6"),
            ("8/8/8/8/3Pp3/8/8/8 b - d3 0 1", "e4d3 e4e3"),
            # a double step needs both squares ahead empty
            ("8/8/8/8/8/p6p/P6P/8 w - - 0 1", ""),
            ("8/8/8/8/p6p/8/P6P/8 w - - 0 1", "a2a3 h2h3"),
            # no capture wraps around the board's edge
            ("8/8/8/8/P6p/8/8/8 w - - 0 1", "a4a5"),
            ("8/8/8/8/P6p/8/8/8 b - - 0 1", "h4h3"),
            ("8/8/p7/8/7P/8/8/8 w - - 0 1", "h4h5"),
            ("8/8/p7/8/7P/8/8/8 b - - 0 1", "a6a5"),
            ("8/p7/1P5p/6P1/8/8/8/8 b - - 0 1", "a7b6 h6g5 h6h5 a7a6 a7a5"),
        ]
        for fen, expected in cases:
            with self.subTest(fen=fen):
                self.assertCountEqual([move_text(m) for m in Board(fen).legal_moves()],
                                      expected.split())

    def test_moves_come_by_square_step_first(self):
        # The GUI test picks a person's move by its index in this list.
        cases = [
            ("8/8/8/8/8/1p1p4/P1P3P1/8 w - - 0 1", "a2a3 a2a4 a2b3 c2c3 c2c4 c2b3 c2d3 g2g3 g2g4"),
            # a set of these squares does not list them in order
            ("8/8/8/8/8/P7/1P6/8 w - - 0 1", "b2b3 b2b4 a3a4"),
        ]
        for fen, expected in cases:
            with self.subTest(fen=fen):
                self.assertEqual([move_text(m) for m in Board(fen).legal_moves()], expected.split())

    def test_move_sequences(self):
        cases = [
            (WHITE_WINS, "1-0"),
            (BLACK_WINS, "0-1"),
            # en passant: the pawn that double-stepped past the capturer goes
            ("e2e4 a7a6 e4e5 d7d5 e5d6 a6a5 d6c7 a5a4 c7c8".split(), "1-0"),
            ("e2e4 d7d5 e4e5 d5d4 c2c4 d4c3".split(), None),
            # only straight after the double step
            ("e2e4 a7a6 e4e5 d7d5 h2h3 h7h6 e5d6".split(), "illegal e5d6"),
            # a double step may not jump over a pawn, nor capture forwards
            ("e2e4 e7e5 a2a3 e5e4".split(), "illegal e5e4"),
            ("e2e4 e7e6 e4e5 e6e5".split(), "illegal e6e5"),
            ("g2g4 g7g5 g4g6".split(), "illegal g4g6"),
            ("a2a3 b7b6 a3a4 b6a5".split(), "illegal b6a5"),
        ]
        for moves, expected in cases:
            with self.subTest(moves=" ".join(moves)):
                self.assertEqual(play(moves), expected)

    def test_en_passant_takes_the_pawn_that_passed(self):
        board = Board()
        for text in "e2e4 a7a6 e4e5 d7d5 e5d6".split():
            board.play(parse_move(text))
        self.assertEqual(board.diagram(), ["........", ".pp.pppp", "p..P....", "........",
                                           "........", "........", "PPPP.PPP", "........"])
        self.assertIsNone(board.ep)
        self.assertEqual((board.side, board.ply), (BLACK, 5))


class Results(unittest.TestCase):
    def test_results(self):
        cases = [
            (START_FEN, "", None),
            # on the last rank: the side that has moved there wins
            ("8/1P6/8/8/8/8/6p1/8 w - - 0 1", "b7b8", "1-0"),
            ("8/1P6/8/8/8/8/6p1/8 b - - 0 1", "g2g1", "0-1"),
            # even when it leaves the other side without a move
            ("8/1P6/8/8/8/p7/P7/8 w - - 0 1", "b7b8", "1-0"),
            # taking the last pawn wins, en passant too
            ("8/8/8/3p4/4P3/8/8/8 w - - 0 1", "e4d5", "1-0"),
            ("8/8/8/3p4/4P3/8/8/8 b - - 0 1", "d5e4", "0-1"),
            ("8/8/8/3pP3/8/8/8/8 w - d6 0 1", "e5d6", "1-0"),
            ("8/8/8/8/3Pp3/8/8/8 b - d3 0 1", "e4d3", "0-1"),
            # blocked with pawns left: a draw, for whichever side is to move
            ("8/8/8/4p3/4P3/8/8/8 w - - 0 1", "", "1/2-1/2"),
            ("8/8/8/4p3/4P3/8/8/8 b - - 0 1", "", "1/2-1/2"),
            ("8/8/8/4p3/4P3/8/7p/8 b - - 0 1", "", None),
            ("8/7p/8/4p3/4P3/8/8/8 b - - 0 1", "h7h6", "1/2-1/2"),
            # the other side blocked does not end the game
            ("8/8/8/4p3/4P3/8/7P/8 w - - 0 1", "", None),
            # a side left without pawns to move loses
            ("8/8/8/8/8/8/P7/8 b - - 0 1", "", "1-0"),
            ("8/p7/8/8/8/8/8/8 w - - 0 1", "", "0-1"),
        ]
        for fen, moves, expected in cases:
            with self.subTest(fen=fen, moves=moves):
                board = Board(fen)
                for text in moves.split():
                    self.assertIsNone(board.result())
                    self.assertIn(parse_move(text), board.legal_moves())
                    board.play(parse_move(text))
                self.assertEqual(board.result(), expected)


class Fen(unittest.TestCase):
    def test_a_position_from_fen(self):
        board = Board("8/1pp1pppp/p7/3pP3/8/8/PPPP1PPP/8 w - d6 0 3")
        self.assertEqual(board.diagram(), ["........", ".pp.pppp", "p.......", "...pP...",
                                           "........", "........", "PPPP.PPP", "........"])
        self.assertEqual((board.side, board.ep, board.ply), (WHITE, 43, 4))
        self.assertEqual((Board().side, Board().ep, Board().ply), (WHITE, None, 0))
        self.assertEqual(Board("8/8/8/8/8/8/P7/8 b").ply, 1)

    def test_bad_fens_are_refused(self):
        cases = [
            "",
            "8/pppppppp/8/8/8/8/PPPPPPPP/8",
            "8/pppppppp/8/8/8/8/PPPPPPPP w - - 0 1",
            "8/pppppppp/8/8/8/8/PPPPPPPP/8/8 w - - 0 1",
            "8/ppppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1",
            "8/ppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1",
            "8/pppppppp/8/8/8/8/PPPPPPP9/8 w - - 0 1",
            "8/pppppppp/8/8/8/8/PPPPPPPN/8 w - - 0 1",
            "8/pppppppp/8/8/8/p7/PPPPPPPP/8 w - - 0 1",  # nine black pawns
            "P7/pppppppp/8/8/8/8/PPPPPPP1/8 w - - 0 1",  # White on the 8th, to move
            "p7/8/8/8/8/8/PPPPPPPP/8 b - - 0 1",  # Black on its own first rank
            "8/8/8/8/8/8/8/P7 w - - 0 1",  # White on its own first rank
            "8/pppppppp/8/8/8/8/PPPPPPPP/8 x - - 0 1",
            "8/pppppppp/8/8/8/8/PPPPPPPP/8 w KQ - 0 1",
            "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - e3 0 1",  # en passant on the wrong rank
            "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - e6 0 1",  # no pawn passed e6
            "8/ppp2ppp/4p3/4p3/8/8/PPPPPPPP/8 w - e6 0 1",  # e6 taken
            "8/ppp1pppp/8/4p3/8/8/PPPPPPPP/8 w - e6 0 1",  # e7 taken
            "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 x",
            "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1 7",
        ]
        for fen in cases:
            with self.subTest(fen=fen):
                with self.assertRaises(ValueError):
                    Board(fen)


if __name__ == "__main__":
    unittest.main()

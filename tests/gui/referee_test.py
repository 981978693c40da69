#!/usr/bin/env python3
"""The faults the referee must report, on small debug logs written in
xboard's format (as recorded from xboard 4.9.1). Its rules are
tools/pawnchess.py's, tested in tests/python."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from referee import referee  # noqa: E402

# White wins by promotion after capturing twice; Black wins by promotion.
WHITE_WINS = "b2b4 a7a5 b4a5 h7h6 a5a6 h6h5 a6b7 h5h4 b7b8".split()
BLACK_WINS = "h2h3 b7b5 h3h4 b5b4 h4h5 b4b3 h5h6 b3a2 h6g7 a2a1".split()


def tag(engine):
    return "first :" if engine == "first" else "second:"


def game_log(moves, white, result, t=100):
    """The lines xboard logs for one engine-against-engine game: each move
    comes from one engine and is passed on to the other, a move onto the last
    rank with a q appended."""
    black = "second" if white == "first" else "first"
    lines = [f"{t} >first : new", f"{t} >first : variant alien",
             f"{t} <first : setup (P...Q.p...q.) 8x8+0_fairy 8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1 ",
             f"{t} >second: new", f"{t} <second: Error (illegal move): computer"]
    for i, move in enumerate(moves):
        mover, other = (white, black) if i % 2 == 0 else (black, white)
        suffix = "q" if move[3] in "18" else ""
        lines += [f"{t + i} <{tag(mover)} {1 + i // 2} 12 0 4096 {move}",
                  f"{t + i} <{tag(mover)} move {move}",
                  f"{t + i} >{tag(other)} time 1000", f"{t + i} >{tag(other)} {move}{suffix}"]
    if result:
        lines.append("GameEnds(26, White mates, 5)")
        lines += [f"{t + 50} >first : result {result}", f"{t + 50} >second: result {result}"]
    return lines


def match_log():
    return (game_log(WHITE_WINS, "first", "1-0 {White mates}")
            + game_log(BLACK_WINS, "second", "0-1 {Black mates}", t=900))


def replace(lines, old, new, count=1):
    out, done = [], 0
    for line in lines:
        if done < count and line.endswith(old):
            line = line[:-len(old)] + new
            done += 1
        out.append(line)
    assert done == count, old
    return out


class Faults(unittest.TestCase):
    def test_a_clean_match_passes(self):
        games, faults = referee(match_log(), ["xboard: Match A vs. B: final score 1-1-0"], 2)
        self.assertEqual(faults, [])
        self.assertEqual([(len(g.moves), g.moves[0][0], g.result[0]) for g in games],
                         [(9, "first", "1-0"), (10, "second", "0-1")])

    def test_each_fault_is_reported(self):
        log = match_log()
        forfeit = "0-1 {Xboard: Forfeit due to invalid move: a1a8 (a1a8 via `0, `0) res=24}"
        cases = [
            ("illegal move", replace(log, "move h7h6", "move h7h4"), "illegal move h7h4 by second"),
            ("suffix", replace(log, "move b7b8", "move b7b8q"), "suffixed move"),
            ("malformed", replace(log, "move h6h5", "move h6"), "malformed"),
            ("move after the end",
             log[:log.index("150 >first : result 1-0 {White mates}") + 1]
             + ["151 <second: move a5a4"] + log[log.index("150 >first : result 1-0 {White mates}") + 1:],
             "after the game's end"),
            ("out of turn", replace(log, "<second: move h7h6", "<first : move h7h6"), "twice in a row"),
            ("refused move", log[:8] + ["101 <second: Error (illegal move): b4a5"] + log[8:],
             "refused a move"),
            ("unfinished", log[:-2], "unfinished game"),
            ("forfeit", game_log(WHITE_WINS[:4], "first", forfeit)
             + game_log(BLACK_WINS, "second", "0-1 {Black mates}", t=900), "before the rules did"),
            ("false claim", replace(log, "result 1-0 {White mates}", "result 0-1 {False win claim}", 2),
             "but the rules give 1-0"),
            ("adjudication", game_log(WHITE_WINS[:6], "first", "1/2-1/2 {xboard adjudication}")
             + game_log(BLACK_WINS, "second", "0-1 {Black mates}", t=900), "before the rules did"),
            ("wrong comment", replace(log, "result 1-0 {White mates}", "result 1-0 {White wins on time}", 2),
             "with comment"),
            ("engine died", log + ["1000 >first : new", "GameEnds(26, Error writing to first chess program, 2)",
                                   "1000 >first : result 1-0 {Error writing to first chess program}"],
             "died"),
            ("too few games", log[:len(game_log(WHITE_WINS, "first", "1-0 {White mates}"))], "expected 2"),
        ]
        for name, lines, expected in cases:
            with self.subTest(name):
                _, faults = referee(lines, [], 2)
                self.assertTrue(any(expected in f for f in faults), faults)

    def test_xboard_error_texts_on_the_console_are_faults(self):
        for text in ("xboard: Engine did not send setup for non-standard variant",
                     "xboard: second engine does not play this",
                     "xboard: Error writing to first chess program: Broken pipe"):
            with self.subTest(text):
                _, faults = referee(match_log(), [text], 2)
                self.assertEqual(faults, ["xboard reported: " + text[8:]])


if __name__ == "__main__":
    unittest.main()

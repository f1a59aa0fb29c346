#!/usr/bin/env python3
"""Label 2D tuner data lines with a yardstick engine's evaluation (Python 3 standard library).

Each line "<result> 2d <FEN>" becomes "<chance> 2d <FEN>": the yardstick's score of the position
at a fixed depth as White's win chance, 1 / (1 + 10^(-cp / 400)), or 1 or 0 for a mate. The
tuner then fits the evaluation to the yardstick's judgement instead of a noisy game result. For
measuring and tuning on a developer's machine only; no part of the program needs it.

Example (two processes, one a core, then the parts joined in order):
  split -n l/2 -d 2d.data part
  yardstick_label.py part00 lab00.data --depth 8 &
  yardstick_label.py part01 lab01.data --depth 8 &
  wait; cat lab00.data lab01.data > 2d-labelled.data
"""
import argparse
import subprocess
import sys

CHANCE_SCALE = 400  # centipawns for odds of ten to one


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("data")
    ap.add_argument("out")
    ap.add_argument("--depth", type=int, default=8)
    ap.add_argument("--engine", default="/usr/games/stockfish")
    args = ap.parse_args()
    engine = subprocess.Popen([args.engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              text=True, bufsize=1)

    def send(command):
        engine.stdin.write(command + "\n")

    def until(prefix):
        lines = []
        while True:
            line = engine.stdout.readline()
            if not line:
                sys.exit("the yardstick stopped")
            lines.append(line)
            if line.startswith(prefix):
                return lines

    send("uci")
    until("uciok")
    send("setoption name Threads value 1")
    send("setoption name Hash value 16")
    send("isready")
    until("readyok")
    done = 0
    with open(args.data) as data, open(args.out, "w") as out:
        for line in data:
            fields = line.split(" ", 2)
            if len(fields) < 3 or fields[1] != "2d":
                continue
            fen = fields[2].strip()
            send("position fen " + fen)
            send("go depth %d" % args.depth)
            score = None
            for info in until("bestmove"):
                words = info.split()
                if "score" in words:
                    at = words.index("score")
                    score = (words[at + 1], int(words[at + 2]))
            if score is None:
                continue
            kind, value = score
            if kind == "mate":
                chance = 1.0 if value > 0 else 0.0
            else:
                chance = 1 / (1 + 10 ** (-value / CHANCE_SCALE))
            if fen.split()[1] == "b":
                chance = 1 - chance
            out.write("%.4f 2d %s\n" % (chance, fen))
            done += 1
            if done % 20000 == 0:
                send("ucinewgame")
                print(done, file=sys.stderr, flush=True)
    send("quit")


main()

#!/usr/bin/env python3
"""Write N varied, sound 2D openings (UCI moves from the start), one a line.

A yardstick UCI engine with MultiPV picks each ply at random among the moves within MARGIN
centipawns of its best, at a small depth. For measuring only; no part of the program needs it.
"""
import argparse, random, subprocess

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--engine', default='/usr/games/stockfish')
    ap.add_argument('--count', type=int, default=200)
    ap.add_argument('--plies', type=int, default=8)
    ap.add_argument('--depth', type=int, default=10)
    ap.add_argument('--margin', type=int, default=35)
    ap.add_argument('--seed', type=int, default=1)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    p = subprocess.Popen([a.engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
    def send(s): p.stdin.write(s + '\n')
    def until(tok):
        lines = []
        while True:
            ln = p.stdout.readline()
            lines.append(ln)
            if ln.startswith(tok): return lines
    send('uci'); until('uciok')
    send('setoption name MultiPV value 5'); send('isready'); until('readyok')
    seen, out = set(), []
    while len(out) < a.count:
        moves = []
        for _ in range(a.plies):
            send('position startpos moves ' + ' '.join(moves)); send(f'go depth {a.depth}')
            best = {}
            for ln in until('bestmove'):
                t = ln.split()
                if 'multipv' in t and 'pv' in t and 'cp' in t:
                    k = int(t[t.index('multipv') + 1])
                    best[k] = (int(t[t.index('cp') + 1]), t[t.index('pv') + 1])
            if not best: break
            top = best[1][0]
            choices = [m for (cp, m) in best.values() if cp >= top - a.margin]
            moves.append(rng.choice(choices))
        line = ' '.join(moves)
        if len(moves) == a.plies and line not in seen:
            seen.add(line); out.append(line)
    send('quit')
    print(f'# {a.count} openings of {a.plies} plies: at each ply a random move within {a.margin} cp of')
    print(f'# the best at depth {a.depth} (tools/make_openings.py --seed {a.seed}).')
    for ln in out: print(ln)

main()

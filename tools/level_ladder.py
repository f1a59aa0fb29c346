#!/usr/bin/env python3
"""Measure the strength of Tarvex's levels of play (Python 3 standard library only).

2D: each level plays through tarvex-uci (its Difficulty and Thinking options) against a
yardstick engine with a strength scale (UCI_LimitStrength and UCI_Elo), with tools/uci_match.py,
the yardstick at the same time per move. A level starts at a guessed rung; when it scores
outside 20-80% there, the rung moves by the Elo it showed and the level plays again. The level's
strength is the rung plus the Elo difference of the last match, with that match's error.

3D: a self-play ladder with tarvex-tool selfplay: each level against the one below, in both
rule sets, every seeded opening once with each colour. The table gives the Elo of the upper
level over the lower one with its error.

Examples:
  level_ladder.py 2d --uci build/native/tarvex-uci --yardstick /usr/games/stockfish
  level_ladder.py 2d --levels hard-3s --rungs hard-3s=2100 --tries 1 --games 20
  level_ladder.py 3d --tool build/native/tarvex-tool --games 40
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))

# name: (difficulty, thinking, first rung guess, games)
LEVELS = {
    'easy': ('Easy', 'classic', 1350, 40),
    'medium': ('Medium', 'classic', 1700, 40),
    'hard': ('Hard', 'classic', 1800, 40),
    'hard-1s': ('Hard', '1', 2000, 40),
    'hard-3s': ('Hard', '3', 1950, 20),
    'hard-10s': ('Hard', '10', 2100, 20),
    'hard-30s': ('Hard', '30', 2200, 20),
}
LADDER_2D = ['easy', 'medium', 'hard', 'hard-1s', 'hard-3s']
LADDER_3D = ['easy', 'medium', 'hard', 'hard-1s']
RUNG_LOW, RUNG_HIGH, RUNG_STEP = 1350, 2850, 50  # the yardstick's scale
SCORE_LOW, SCORE_HIGH = 0.2, 0.8  # a rung outside this is moved
MOVE_OVERHEAD_MS = 20  # the classic levels' time per move is measured and this added


def elo(score):
    score = min(max(score, 1e-3), 1 - 1e-3)
    return -400.0 * math.log10(1.0 / score - 1.0)


def elo_with_error(wins, draws, losses):
    """Elo of the side with wins over the other, and the 95% half-width, from the game results."""
    n = wins + draws + losses
    if n == 0:
        return 0.0, math.inf
    mean = (wins + draws / 2) / n
    var = (wins * (1 - mean) ** 2 + draws * (0.5 - mean) ** 2 + losses * mean ** 2) / n
    dev = 1.959964 * math.sqrt(var / n)
    low, high = elo(max(mean - dev, 1e-3)), elo(min(mean + dev, 1 - 1e-3))
    return elo(mean), (high - low) / 2


def elo_text(wins, draws, losses, rung=None):
    """The Elo and its error; when every game went one way, the 95% one-sided bound instead.
    With a rung: the level's strength on the yardstick's scale, the rung moved by that Elo."""
    number = '{:+.0f}' if rung is None else '{:.0f}'
    base = rung or 0
    n = wins + draws + losses
    if n and wins in (0, n) and draws == 0:
        bound = elo(0.05 ** (1 / n))
        if wins == n:
            return '> ' + number.format(base + bound)
        return '< ' + number.format(base - bound)
    difference, error = elo_with_error(wins, draws, losses)
    return f'{number.format(base + difference)} +/- {error:.0f}'


def run(command):
    print('$ ' + ' '.join(command), flush=True)
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f'failed ({done.returncode}): {" ".join(command)}\n{done.stderr}')
    return done.stdout


def level_ms(tool, game, name):
    """The average time a classic level takes per move, measured by a short self-play."""
    difficulty, thinking = LEVELS[name][0], LEVELS[name][1]
    if thinking != 'classic':
        return int(thinking) * 1000
    out = run([tool, 'selfplay', '--game', game, '--games', '2', '--seed', '1',
               '--difficulty', difficulty.lower()])
    found = re.search(r'average ms ([0-9.]+)', out)
    return int(float(found.group(1)) + 0.5) + MOVE_OVERHEAD_MS if found else 100


def match_2d(args, name, rung, games, movetime):
    """Plays a level against the yardstick at rung; returns (wins, draws, losses) of the level."""
    difficulty, thinking = LEVELS[name][0], LEVELS[name][1]
    pgn = os.path.join(args.out, f'{name}-{rung}.pgn')
    command = [sys.executable, os.path.join(HERE, 'uci_match.py'),
               '--engine1', args.uci, '--name1', f'tarvex-{name}',
               '--option1', f'Difficulty={difficulty}',
               '--option1', f'Thinking={thinking.capitalize()}',
               '--engine2', args.yardstick, '--name2', f'yardstick-{rung}',
               '--option2', 'UCI_LimitStrength=true', '--option2', f'UCI_Elo={rung}',
               '--option2', 'Threads=1', '--option2', 'Hash=16',
               '--limit', f'movetime={movetime}', '--games', str(games),
               '--openings', args.openings, '--shuffle', str(args.seed),
               '--concurrency', str(args.concurrency), '--pgn', pgn]
    out = run(command)
    found = re.search(r'Score of .*?: (\d+) - (\d+) - (\d+)', out)
    if not found:
        sys.exit(f'no score in the match output:\n{out}')
    wins, losses, draws = (int(x) for x in found.groups())
    print(out.strip().splitlines()[-4] if out.strip() else '', flush=True)
    return wins, draws, losses


def ladder_2d(args):
    rows = []
    for name in args.levels:
        games = args.games or LEVELS[name][3]
        rung = args.rung.get(name, LEVELS[name][2])
        movetime = level_ms(args.tool, '2d', name)
        for attempt in range(args.tries):
            wins, draws, losses = match_2d(args, name, rung, games, movetime)
            score = (wins + draws / 2) / max(wins + draws + losses, 1)
            difference, error = elo_with_error(wins, draws, losses)
            done = SCORE_LOW <= score <= SCORE_HIGH or attempt + 1 == args.tries
            moved = min(max(round((rung + difference) / RUNG_STEP) * RUNG_STEP, RUNG_LOW),
                        RUNG_HIGH)
            if done or moved == rung:
                break
            rung = moved
        rows.append((name, rung, movetime, wins, draws, losses))
        print(f'{name}: {elo_text(wins, draws, losses, rung)} '
              f'({wins}/{draws}/{losses} against {rung}, {movetime} ms a move)', flush=True)
    print('\n| Level | Games (W/D/L) | Yardstick rung | Time a move | Strength |')
    print('|---|---|---|---|---|')
    for name, rung, movetime, wins, draws, losses in rows:
        print(f'| {name} | {wins + draws + losses} ({wins}/{draws}/{losses}) | {rung} | '
              f'{movetime} ms | {elo_text(wins, draws, losses, rung)} |')


def selfplay_3d(args, rules, white, black, games, seed):
    """One colour of a 3D pair: returns (white wins, draws, black wins)."""
    command = [args.tool, 'selfplay', '--game', '3d', '--rules', rules, '--games', str(games),
               '--seed', str(seed),
               '--white', LEVELS[white][0].lower(), '--black', LEVELS[black][0].lower(),
               '--white-think', LEVELS[white][1], '--black-think', LEVELS[black][1]]
    out = run(command)
    found = re.search(r'result W/D/L (\d+)/(\d+)/(\d+)', out)
    if not found:
        sys.exit(f'no result in the self-play output:\n{out}')
    return tuple(int(x) for x in found.groups())


def ladder_3d(args):
    rows = []
    levels = args.levels
    for rules in args.rules:
        for lower, upper in zip(levels, levels[1:]):
            games = args.games or 40
            half = games // 2
            # The same seeds with the colours swapped: every opening once each way. The two
            # halves run at once, one a core.
            with ThreadPoolExecutor(max_workers=args.concurrency) as pool:
                upper_white = pool.submit(selfplay_3d, args, rules, upper, lower, half, args.seed)
                upper_black = pool.submit(selfplay_3d, args, rules, lower, upper, half, args.seed)
                w1, d1, l1 = upper_white.result()
                w2, d2, l2 = upper_black.result()
            wins, draws, losses = w1 + l2, d1 + d2, l1 + w2
            rows.append((rules, upper, lower, wins, draws, losses))
            print(f'{rules}: {upper} over {lower}: {elo_text(wins, draws, losses)} '
                  f'({wins}/{draws}/{losses})', flush=True)
    print('\n| Rules | Pair | Games (W/D/L of the upper) | Elo of the upper |')
    print('|---|---|---|---|')
    for rules, upper, lower, wins, draws, losses in rows:
        print(f'| {rules} | {upper} over {lower} | {wins + draws + losses} '
              f'({wins}/{draws}/{losses}) | {elo_text(wins, draws, losses)} |')


def level_list(text):
    names = [name.strip() for name in text.split(',') if name.strip()]
    for name in names:
        if name not in LEVELS:
            raise argparse.ArgumentTypeError(f'unknown level {name!r} (use {", ".join(LEVELS)})')
    return names


def rung_list(text):
    rungs = {}
    for item in text.split(','):
        name, _, value = item.partition('=')
        if name not in LEVELS or not value.isdigit():
            raise argparse.ArgumentTypeError(f'bad rung {item!r} (use level=elo)')
        rungs[name] = int(value)
    return rungs


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('game', choices=['2d', '3d'])
    ap.add_argument('--tool', default='build/native/tarvex-tool')
    ap.add_argument('--uci', default='build/native/tarvex-uci')
    ap.add_argument('--yardstick', default='/usr/games/stockfish')
    ap.add_argument('--levels', type=level_list)
    ap.add_argument('--rungs', type=rung_list, default={}, dest='rung',
                    help='first rung per level, e.g. hard-1s=2100,hard-3s=2200')
    ap.add_argument('--tries', type=int, default=2, help='rungs tried per level (2D)')
    ap.add_argument('--rules', type=lambda t: t.split(','), default=['tournament', 'standard'])
    ap.add_argument('--games', type=int, default=0, help='games per level or pair')
    ap.add_argument('--openings', default=os.path.join(HERE, 'openings_2d.txt'))
    ap.add_argument('--seed', type=int, default=1)
    ap.add_argument('--concurrency', type=int, default=2, help='games at once')
    ap.add_argument('--out', default=tempfile.gettempdir(), help='folder for the PGN files')
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.game == '2d':
        args.levels = args.levels or LADDER_2D
        ladder_2d(args)
    else:
        args.levels = args.levels or LADDER_3D
        ladder_3d(args)


if __name__ == '__main__':
    main()

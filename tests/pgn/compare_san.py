#!/usr/bin/env python3
"""compare_san.py PGN RECORD: the SAN of every move in a PGN file that selfplay wrote must be
the text that the match runner's own rules (tools/uci_match.py, a separate implementation)
give the record's move: the same disambiguation, capture, promotion, check and mate marks."""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools'))
from uci_match import Game  # noqa: E402

RESULTS = {'1-0', '0-1', '1/2-1/2', '*'}


def pgn_games(text):
    """The move tokens of each game (the writer puts no comments or variations in)."""
    games, moves = [], []
    for line in text.splitlines():
        if line.startswith('['):
            continue
        for token in line.split():
            if token in RESULTS:
                games.append(moves)
                moves = []
            elif not re.fullmatch(r'\d+\.(\.\.)?', token):
                moves.append(token)
    return games


def main():
    pgn, record = sys.argv[1:3]
    games = pgn_games(open(pgn).read())
    lines = [line.split() for line in open(record) if line.strip()]
    if len(games) != len(lines):
        sys.exit(f'FAIL: {len(games)} games in the PGN, {len(lines)} in the record')
    compared = 0
    for number, (sans, words) in enumerate(zip(games, lines), 1):
        game = Game(' '.join(words[:6]), max_plies=10**6)
        for ply, (san, move) in enumerate(zip(sans, words[6:]), 1):
            game.push(move)
            if game.sans[-1] != san:
                sys.exit(f'FAIL: game {number} ply {ply}: {san}, the harness writes {game.sans[-1]}')
            compared += 1
        if len(sans) != len(words) - 6:
            sys.exit(f'FAIL: game {number}: {len(sans)} moves, the record has {len(words) - 6}')
    print(f'{len(games)} games, {compared} moves written as the harness writes them')


if __name__ == '__main__':
    main()

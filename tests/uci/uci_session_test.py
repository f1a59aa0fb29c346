#!/usr/bin/env python3
"""Scripted UCI sessions with tarvex-uci, one case per run:

    uci_session_test.py ENGINE CASE

Every move the engine names is checked with the rules of the match runner (tools/uci_match.py),
which knows nothing of the engine's own move generator. Time bounds are loose:
the cases also run under the sanitizers on a busy machine.
"""
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools'))
from uci_match import START_FEN, Game  # noqa: E402

PATIENCE = 30.0      # seconds for an answer that must come
PROMPT = 2.0         # seconds for an answer that must come at once
QUIET = 0.5          # seconds of silence that show nothing more is coming
INFO = re.compile(r'^info depth (\d+) score (cp -?\d+|mate -?\d+) nodes \d+ nps \d+ time \d+ '
                  r'hashfull \d+ pv((?: [a-h][1-8][a-h][1-8][qrbn]?)+)$')
MATE_IN_ONE = '6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1'
ONE_MOVE = 'k7/8/8/8/8/8/7P/r6K w - - 0 1'          # in check; only h1g2
STALEMATE_TRAP = '7k/5Q2/6K1/8/8/8/8/8 w - - 0 1'    # g6h6 stalemates; queen moves mate
KNIGHT_MATE = '8/R5P1/5K1k/7p/8/8/8/8 w - - 0 1'     # only g7g8n mates


class Failure(Exception):
    pass


def check(condition, text):
    if not condition:
        raise Failure(text)


class Session:
    """The engine as a process: lines in, lines out, with time-outs."""

    def __init__(self, engine):
        self.proc = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        self.transcript = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.rstrip('\n'))
        self.lines.put(None)

    def send(self, text):
        self.transcript.append('< ' + text)
        self.proc.stdin.write(text + '\n')
        self.proc.stdin.flush()

    def next(self, timeout):
        """The next line, or None after timeout seconds."""
        try:
            line = self.lines.get(timeout=timeout)
        except queue.Empty:
            return None
        check(line is not None, 'the engine closed its output')
        self.transcript.append('> ' + line)
        return line

    def until(self, word, timeout=PATIENCE):
        """The lines up to and including the first one starting with word."""
        deadline = time.monotonic() + timeout
        got = []
        while True:
            line = self.next(max(0.0, deadline - time.monotonic()))
            check(line is not None, f'no "{word}" within {timeout} s')
            got.append(line)
            if line.split()[:1] == [word]:
                return got

    def silent(self, seconds=QUIET):
        """The lines that come within seconds."""
        got = []
        deadline = time.monotonic() + seconds
        while (line := self.next(max(0.0, deadline - time.monotonic()))) is not None:
            got.append(line)
        return got

    def answer(self, command):
        """The lines a command prints before the readyok of an isready sent after it."""
        self.send(command)
        self.send('isready')
        return self.until('readyok')[:-1]

    def close(self):
        self.send('quit')
        try:
            status = self.proc.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise Failure('no exit after quit')
        errors = self.proc.stderr.read()
        check(status == 0, f'exit status {status}: {errors}')
        check(errors == '', f'standard error: {errors}')


def game_of(fen=START_FEN, moves=()):
    game = Game(fen, max_plies=10**6)
    for move in moves:
        game.push(move)
    return game


def search(session, go, fen=START_FEN, moves=(), timeout=PATIENCE):
    """Sets the position, runs go, checks every info line and the bestmove against the rules;
    returns (bestmove, info lines, seconds)."""
    position = 'startpos' if fen == START_FEN else f'fen {fen}'
    session.send(f'position {position}' + (' moves ' + ' '.join(moves) if moves else ''))
    start = time.monotonic()
    session.send(go)
    lines = session.until('bestmove', timeout)
    seconds = time.monotonic() - start
    infos = [line for line in lines[:-1] if line.startswith('info')]
    check(len(infos) == len(lines) - 1, f'unexpected lines {lines}')
    for info in infos:
        match = INFO.match(info)
        check(match, f'malformed info line {info!r}')
        game = game_of(fen, moves)
        for move in match.group(3).split():
            check(move in game.legal, f'illegal pv move {move} in {info!r}')
            game.push(move)
    best = lines[-1].split()
    check(len(best) == 2, f'bad bestmove line {lines[-1]!r}')
    check(best[1] in game_of(fen, moves).legal, f'illegal bestmove {best[1]} in {fen} {moves}')
    return best[1], infos, seconds


def depths(infos):
    return [int(INFO.match(info).group(1)) for info in infos]


# ---------------------------------------------------------------------------
# The cases

def case_identify(s):
    s.send('uci')
    check(s.until('uciok') == [
        'id name Tarvex 2.87',
        'id author the Tarvex developers',
        'option name Hash type spin default 8 min 1 max 1024',
        'option name Clear Hash type button',
        'option name Move Overhead type spin default 30 min 0 max 5000',
        'option name Difficulty type combo default Hard var Easy var Medium var Hard',
        'option name Thinking type combo default Clock var Clock var Classic var 1 var 3 var 10 '
        'var 30',
        'option name ParamFile type string default <empty>',
        'uciok'], 'uci answer')
    check(s.answer('') == [], 'an empty line is ignored')
    check(s.answer('xyzzy 42') == ["info string unknown command 'xyzzy'"], 'unknown command')
    check(s.answer('debug on') == [] and s.answer('register later') == [], 'debug, register')
    s.send('joho isready')  # unknown leading words are skipped
    check(s.until('readyok') == ['readyok'], 'isready after an unknown word')
    check(s.answer('stop') == [] and s.answer('ponderhit') == [], 'stop, ponderhit when idle')


def case_options(s):
    for command, problem in [
            ('setoption name Hash value 0', "bad value '0' for Hash (use 1 to 1024)"),
            ('setoption name Hash value 2048', "bad value '2048' for Hash (use 1 to 1024)"),
            ('setoption name Hash value lots', "bad value 'lots' for Hash (use 1 to 1024)"),
            ('setoption name Move Overhead value -5',
             "bad value '-5' for Move Overhead (use 0 to 5000)"),
            ('setoption name Difficulty value Extreme',
             "bad value 'Extreme' for Difficulty (use Easy, Medium or Hard)"),
            ('setoption name Ponder value true', "unknown option 'Ponder'"),
            ('setoption value 3', 'setoption needs a name')]:
        check(s.answer(command) == ['info string ' + problem], command)
    for command in ['setoption name Hash value 64', 'setoption name hash value 1',
                    'setoption name Clear Hash', 'setoption name Move Overhead value 100',
                    'setoption name Difficulty value medium']:
        check(s.answer(command) == [], command)
    # Few pieces, so that deep searches are quick; a new game's table for each, as a deep entry
    # from before would settle the position without a search.
    pawn = '4k3/8/8/8/8/8/4P3/4K3 w - - 0 1'
    s.answer('ucinewgame')
    _, infos, _ = search(s, 'go depth 12', pawn)
    check(max(depths(infos)) == 7, f'Medium searches below depth 8: {depths(infos)}')
    s.answer('setoption name Difficulty value Easy')
    s.answer('ucinewgame')
    _, infos, _ = search(s, 'go depth 12', pawn)
    check(max(depths(infos)) == 3, f'Easy searches below depth 4: {depths(infos)}')
    s.answer('setoption name Difficulty value Hard')
    s.answer('ucinewgame')
    _, infos, _ = search(s, 'go depth 5', pawn)
    check(depths(infos)[-1] == 5, f'depth 5 at Hard: {depths(infos)}')


def case_thinking(s):
    check(s.answer('setoption name Thinking value 5') ==
          ["info string bad value '5' for Thinking (use Clock, Classic, 1, 3, 10 or 30)"],
          'a time the game does not offer')
    # A level replaces the go command's limits: one second whatever the clock, deeper than go
    # depth asks; stop still stops it.
    s.answer('setoption name Thinking value 1')
    _, infos, seconds = search(s, 'go wtime 600000 btime 600000', moves=['e2e4'])
    check(seconds < 1.0 + PROMPT, f'one second took {seconds:.2f} s')
    _, infos, _ = search(s, 'go depth 2', moves=['d2d4'])
    check(max(depths(infos)) > 2, f'the level goes past go depth 2: {depths(infos)}')
    s.answer('setoption name Thinking value 30')
    s.send('position startpos')
    s.send('go wtime 1000 btime 1000')
    time.sleep(0.5)
    start = time.monotonic()
    s.send('stop')
    check(s.until('bestmove', PROMPT)[-1].split()[1] in game_of().legal, 'legal after stop')
    check(time.monotonic() - start < PROMPT, 'stop is answered at once')
    # Easy stays the classic budget at any time; Clock gives the go command its limits back.
    s.answer('setoption name Difficulty value Easy')
    _, _, seconds = search(s, 'go wtime 600000 btime 600000')
    check(seconds < PROMPT, f'Easy with 30 s took {seconds:.2f} s')
    s.answer('setoption name Difficulty value Hard')
    s.answer('setoption name Thinking value clock')
    s.answer('ucinewgame')  # a deep entry from before would settle the position
    _, infos, _ = search(s, 'go depth 2', moves=['c2c4'])
    check(depths(infos) == [2], f'Clock: go depth 2 again: {depths(infos)}')


def case_position(s):
    search(s, 'go depth 3', moves=['e2e4', 'e7e5', 'g1f3', 'b8c6', 'f1c4', 'g8f6'])
    # Castling both ways, en passant and promotions to every piece, as UCI writes them.
    search(s, 'go depth 3', 'r3k2r/1P6/8/3pP3/8/8/6p1/R3K2R w KQkq d6 0 1',
           ['e5d6', 'e8g8', 'e1c1', 'g2g1n', 'b7a8r', 'g8g7'])
    search(s, 'go depth 3', '4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1', ['b7b8b', 'g2g1q'])
    s.answer(f'position fen {ONE_MOVE}')
    for command, problem in [
            ('position startpos moves e2e4 e7e5 e1e3',
             "illegal move 'e1e3' in rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2"),
            ('position startpos moves e2e4 zz', "illegal move 'zz' in rnbqkbnr/pppppppp/8/8/"
             '4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1'),
            ('position fen 4k3/1P6/8/8/8/8/8/4K3 w - - 0 1 moves b7b8',
             "illegal move 'b7b8' in 4k3/1P6/8/8/8/8/8/4K3 w - - 0 1"),
            ('position startpos moves e2e4 e7e5 g1f3 g8f6 e1g1',
             "illegal move 'e1g1' in rnbqkb1r/pppp1ppp/5n2/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq"
             ' - 2 3'),
            ('position fen 8/8/8 w', "bad FEN '8/8/8 w': FEN needs 4 to 6 fields, found 2"),
            ('position fen 4k3/8/8/8/8/8/8/8 w - - 0 1',
             "bad FEN '4k3/8/8/8/8/8/8/8 w - - 0 1': White has no king"),
            ('position fen', "bad FEN '': FEN needs 4 to 6 fields, found 0"),
            ('position', 'position needs startpos or fen'),
            ('position startpos e2e4', "unexpected 'e2e4' in position")]:
        check(s.answer(command) == [f'info string {problem}; the position stays as it was'],
              f'{command}: {s.transcript[-3:]}')
    # The last good position is the one searched.
    s.send('go depth 3')
    check(s.until('bestmove')[-1] == 'bestmove h1g2', 'the last good position stays')
    s.answer('ucinewgame')
    s.send('go depth 2')
    check(s.until('bestmove')[-1].split()[1] in game_of().legal, 'ucinewgame: the start')


def case_go_limits(s):
    _, infos, _ = search(s, 'go depth 4', moves=['e2e4'])
    check(depths(infos) == [2, 3, 4], f'one info line per depth: {depths(infos)}')
    search(s, 'go nodes 3000', moves=['d2d4'])
    _, _, seconds = search(s, 'go movetime 300', moves=['c2c4'])
    check(seconds <= 0.3 + PROMPT, f'movetime 300 took {seconds:.2f} s')
    _, _, seconds = search(s, 'go wtime 3000 btime 3000 winc 20 binc 20 movestogo 5')
    check(seconds < 3.0 * 0.8, f'a move of a 3 s clock took {seconds:.2f} s')
    _, _, seconds = search(s, 'go wtime 1000 btime 20 binc 10', moves=['e2e4'])
    check(seconds < 0.5, f'20 ms left took {seconds:.2f} s')
    _, _, seconds = search(s, 'go btime 3 wtime 3', moves=['e2e4'])
    check(seconds < 0.5, f'3 ms left took {seconds:.2f} s')
    s.answer('setoption name Move Overhead value 5000')
    _, _, seconds = search(s, 'go wtime 1000 btime 1000', moves=['g1f3'])
    check(seconds < 0.5, f'an overhead larger than the clock took {seconds:.2f} s')


def case_infinite_stop(s):
    s.send('position startpos moves e2e4 c7c5')
    s.send('go infinite')
    early = s.silent(QUIET)
    check(all(line.startswith('info ') for line in early), f'no bestmove before stop: {early}')
    start = time.monotonic()
    s.send('isready')
    got = s.until('readyok', PROMPT)
    check(all(line.startswith('info ') for line in got[:-1]), f'isready while searching: {got}')
    s.send('stop')
    lines = s.until('bestmove', PROMPT)
    check(lines[-1].split()[1] in game_of(START_FEN, ['e2e4', 'c7c5']).legal, 'legal after stop')
    check(time.monotonic() - start < PROMPT, 'stop is answered at once')
    check(s.silent(QUIET) == [], 'one bestmove')
    # A search that ends by itself (a mate is found) still waits for stop.
    s.send(f'position fen {MATE_IN_ONE}')
    s.send('go infinite')
    check(not any(line.startswith('bestmove') for line in s.silent(1.0)), 'held until stop')
    s.send('stop')
    check(s.until('bestmove', PROMPT)[-1] == 'bestmove a1a8', 'the mate after stop')
    # A new go during an infinite search ends it first: two bestmoves, both legal.
    s.send('position startpos')
    s.send('go infinite')
    time.sleep(0.2)
    s.send('go depth 2')
    first = s.until('bestmove', PROMPT)[-1].split()[1]
    second = s.until('bestmove')[-1].split()[1]
    check(first in game_of().legal and second in game_of().legal, 'go after go infinite')
    s.send('go infinite')
    time.sleep(0.2)


def case_ponderhit(s):
    s.send('position startpos moves d2d4 d7d5')
    s.send('go ponder wtime 2000 btime 2000 winc 10 binc 10')
    check(not any(line.startswith('bestmove') for line in s.silent(1.0)), 'held until ponderhit')
    start = time.monotonic()
    s.send('ponderhit')
    move = s.until('bestmove')[-1].split()[1]
    check(time.monotonic() - start < 2.0 * 0.8 + PROMPT, 'the clock runs from ponderhit')
    check(move in game_of(START_FEN, ['d2d4', 'd7d5']).legal, 'legal after ponderhit')


def case_awkward(s):
    for _ in range(2):  # the second time the table already knows the mate
        best, infos, _ = search(s, 'go depth 3', MATE_IN_ONE)
        check(best == 'a1a8' and all(' score mate 1 ' in info for info in infos),
              f'mate in one: {best} {infos}')
    search(s, 'go wtime 15 btime 15', MATE_IN_ONE)
    best, infos, seconds = search(s, 'go wtime 60000 btime 60000', ONE_MOVE)
    check(best == 'h1g2' and seconds < PROMPT, f'the single move at once: {seconds:.2f} s')
    best, _, _ = search(s, 'go wtime 2000 btime 2000 winc 10 binc 10', STALEMATE_TRAP)
    after = game_of(STALEMATE_TRAP, [best])
    check(after.status() == ('1-0', 'White mates'), f'{best} does not mate: {after.status()}')
    best, _, _ = search(s, 'go depth 3', KNIGHT_MATE)
    check(best == 'g7g8n', f'the knight promotion mates: {best}')
    search(s, 'go depth 3', '8/4P1k1/8/8/8/8/8/K7 w - - 0 1', ['e7e8n'])  # knight check
    for fen, score in [('7k/5Q2/7K/8/8/8/8/8 b - - 0 1', 'cp 0'),
                       ('R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1', 'mate 0')]:
        s.send(f'position fen {fen}')
        s.send('go wtime 1000 btime 1000')
        check(s.until('bestmove') == [f'info depth 0 score {score}', 'bestmove 0000'],
              f'no legal move in {fen}')


def case_end_of_input(s):
    # Without quit: a search with a limit answers before the program ends; an infinite one is
    # stopped. (The session of the other cases is not used.)
    s.close()
    for commands, moves in [('position startpos moves e2e4\ngo depth 3\n', ['e2e4']),
                            ('go infinite\n', [])]:
        run = subprocess.run([sys.argv[1]], input=commands, capture_output=True, text=True,
                             timeout=PATIENCE)
        check(run.returncode == 0 and run.stderr == '', f'exit {run.returncode}: {run.stderr}')
        last = run.stdout.splitlines()[-1].split()
        check(last[0] == 'bestmove' and last[1] in game_of(START_FEN, moves).legal,
              f'no bestmove at the end of input: {run.stdout}')


def case_param_file(s):
    """A parameter file changes the search from the next one on; a refused file changes
    nothing; an empty path brings back the built-in parameters."""
    built_in = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'src',
                            'engine', 'parameters.txt')
    with open(built_in) as f:
        text = f.read()
    folder = tempfile.mkdtemp()
    changed, bad = os.path.join(folder, 'changed.txt'), os.path.join(folder, 'bad.txt')
    with open(changed, 'w') as f:
        f.write(re.sub(r'(?m)^BishopAims .*$', 'BishopAims 0 50000 60000 70000 80000', text))
    with open(bad, 'w') as f:
        f.write(text.replace('\nBishopPair 2000\n', '\nBishopPair 2001\n', 1))

    def scored():
        s.answer('ucinewgame')
        _, infos, _ = search(s, 'go depth 4')
        return infos[-1].split()[3:8]  # the score and the nodes

    first = scored()
    check(s.answer(f'setoption name ParamFile value {changed}') == [], 'a good file is taken')
    theirs = scored()
    check(theirs != first, f'the changed parameters change the search: {first} {theirs}')
    refused = s.answer(f'setoption name ParamFile value {bad}')
    check(len(refused) == 1 and refused[0].startswith('info string ') and 'BishopPair' in
          refused[0] and 'fixed' in refused[0], f'a bad file is refused: {refused}')
    check(scored() == theirs, 'a refused file keeps the parameters')
    check(s.answer('setoption name ParamFile value') == [], 'an empty path')
    check(scored() == first, 'the built-in parameters come back')
    shutil.rmtree(folder)


CASES = {name[5:]: f for name, f in globals().items() if name.startswith('case_')}


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in CASES:
        sys.exit(f'usage: uci_session_test.py ENGINE {"|".join(CASES)}')
    session = Session(sys.argv[1])
    try:
        CASES[sys.argv[2]](session)
        if session.proc.poll() is None:
            session.close()
    except Failure as failure:
        print(f'FAIL: {failure}')
        print('\n'.join(session.transcript[-40:]))
        session.proc.kill()
        return 1
    print(f'{sys.argv[2]}: passed')
    return 0


if __name__ == '__main__':
    sys.exit(main())

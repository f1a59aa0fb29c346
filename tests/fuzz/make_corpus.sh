#!/usr/bin/env bash
# Makes the seed corpus of the restore fuzzer: games saved by the play tool, of both kinds, from
# the standard start and from edited positions, short and played out by the engine, and some of
# them in the older layout as well.
# usage: make_corpus.sh TARVEX_TOOL [OUT_DIR]   (OUT_DIR defaults to the corpus beside this file)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:?usage: make_corpus.sh TARVEX_TOOL [OUT_DIR]}")
out=$(realpath -m "${2:-$here/corpus}")
mkdir -p "$out"
cd "$out"

play() { "$tool" play >/dev/null; }

# 2D: castling, en passant, a capture; then a promotion after an edit.
play <<'END'
new 2
engine none
move e2 e4
move a7 a6
move e4 e5
move d7 d5
move e5 d6
move c7 d6
move g1 f3
move b8 c6
move f1 c4
move c8 g4
move e1 g1
save 2d_opening.sav
move d8 d7
edit remove b7
edit add wP b7
edit remove c8
move b7 a8 n
move c6 d4
save 2d_edited.sav
END

# 2D: the engine plays both sides to the end of the game.
play <<'END'
new 2
difficulty easy
engine both
go
save 2d_played_out.sav
END

# 3D: castling and a few moves of each side, both rule sets.
play <<'END'
new 3
engine none
move 16 24
move 39 45
move 33 35
move 38 37
move 35 36
save 3d_opening.sav
new 3
rules standard
engine none
setup .................................P....p.K......kN......n........ q1w,q6b,k3w,k6b b - -
move 55 45
move T116 k4
edit add wQ 50
go
go
save 3d_standard_edited.sav
END

# 3D: the engine plays forty plies.
{
    printf 'new 3\ndifficulty easy\nengine none\n'
    for _ in $(seq 40); do echo go; done
    echo 'save 3d_engine.sav'
} | play

for game in 2d_opening 3d_standard_edited; do
    python3 "$here/older_layout.py" "$game.sav" "${game}_older.sav"
done
ls -l "$out"

#!/usr/bin/env python3
"""Writes a saved game of the current layout (28760 bytes) in the older layout (49440 bytes).

The older layout holds the same fields at other offsets; the words it has besides them are 0,
except its notation and the word after it, which get values of their own (a restore takes
neither the notation nor a difficulty from that layout).
usage: older_layout.py CURRENT_FILE OLDER_FILE
"""
import struct
import sys

# (offset in the current layout, offset in the older layout, size)
FIELDS = [
    (0, 0, 4632),  # both Positions, the position-edited flag and the reserved word
    (4632, 4644, 4),  # game kind
    (4636, 4648, 4),  # selection
    (4640, 4652, 4),  # the first four highlights
    (4708, 4720, 4),  # spread
    (4712, 4724, 4),  # transparency
    (4716, 4728, 4),  # rules
    (4720, 4732, 4),  # engine side
    (4732, 4744, 4),  # scale
    (4736, 4748, 4),  # projection
    (4740, 4752, 4),  # x-angle
    (4744, 4756, 4),  # y-angle
    (4748, 4764, 4),  # stop request
    (4752, 4792, 4),  # hash-table size
    (4756, 4864, 20000),  # game record
    (24756, 44864, 4000),  # key history
    (28756, 48876, 4),  # plays-both flag
]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    current = open(sys.argv[1], "rb").read()
    if len(current) != 28760:
        sys.exit(f"{sys.argv[1]}: {len(current)} bytes, not a saved game of the current layout")
    older = bytearray(49440)
    for source, target, size in FIELDS:
        older[target:target + size] = current[source:source + size]
    older[4736:4744] = struct.pack("<ii", 1, 50)
    open(sys.argv[2], "wb").write(older)


if __name__ == "__main__":
    main()

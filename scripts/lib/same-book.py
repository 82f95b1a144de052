#!/usr/bin/env python3
"""Checks a book the program saved against pile_replay's book for the same steps.

    same-book.py REPLAY_OUTPUT MARKER SAVED_FILE [EXPECTED_OUT]

MARKER (TEXT or TABLE) names the book in pile_replay's output, where a line "MARKER n" is
followed by the book's n lines. The saved file must hold those lines in GBK joined with CR LF,
all but the last: the time line differs between two runs, so only its form is checked. The
expected bytes are written to EXPECTED_OUT when given, to look at after a failure.
"""
import re
import sys


def replay_book(replay_output, marker):
    lines = open(replay_output, encoding="utf-8").read().split("\n")
    for i, line in enumerate(lines):
        fields = line.split()
        if fields and fields[0] == marker:
            count = int(fields[1])
            return "\r\n".join(lines[i + 1:i + 1 + count]).encode("gbk")
    sys.exit(f"pile_replay printed no {marker} book")


def main():
    replay_output, marker, saved_file = sys.argv[1:4]
    expected = replay_book(replay_output, marker)
    if len(sys.argv) > 4:
        open(sys.argv[4], "wb").write(expected)
    saved = open(saved_file, "rb").read()
    cut_e, cut_s = expected.rfind(b"\r\n"), saved.rfind(b"\r\n")
    if cut_e < 0 or expected[:cut_e] != saved[:cut_s]:
        sys.exit(f"{marker}: the lines before the time line differ from pile_replay's")
    last = saved[cut_s + 2:].decode("gbk")
    if not re.fullmatch(r"计算时间：\d.*\d", last):
        sys.exit(f"{marker}: the book ends with {last!r}, not a time line")


main()

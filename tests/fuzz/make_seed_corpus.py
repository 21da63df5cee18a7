#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: the command lines of the rule tables, one file each.

A seed is the selector byte (bit 0: install; bits 1-2: the launch profile), the current
directory, a line feed and the command-line tail. Usage: make_seed_corpus.py DIRECTORY
"""

import pathlib
import sys

UPDATE, INSTALL = "0", "1"
PRE_SETUP_INSTALL = "3"  # install with a profile other than the plain one
CURRENT_DIRS = ["C:\\work", "C:\\", "", "\\\\srv\\share\\dir", "C:\\Program Files\\Mendora 7"]

# (selector, command-line tail)
CASES = [
    # Tokenizing.
    (UPDATE, ""),
    (UPDATE, "-silent -is:javaconsole"),
    (UPDATE, "a  b"),
    (UPDATE, "a   "),
    (UPDATE, '"a b" c'),
    (UPDATE, '"a b"c'),
    (UPDATE, '"a b" '),
    (UPDATE, '"" x'),
    (UPDATE, 'x "a b'),
    (UPDATE, 'a"b c"d'),
    (UPDATE, 'a"b"c d'),
    (UPDATE, 'a"b c'),
    (UPDATE, "a\tb c"),
    # Option extraction and the order of its steps.
    (UPDATE, "-silent -silent"),
    (UPDATE, "-SILENT x"),
    (UPDATE, "-Xms128m"),
    (UPDATE, "-Xmx 1024m -Xms 256m app.xml"),
    (UPDATE, "x -Xms"),
    (UPDATE, "-is:javahome"),
    (UPDATE, "-is:javahome -silent"),
    (UPDATE, '-is:javahome "C:\\Program Files\\Java" -is:javaconsole'),
    (UPDATE, "-is:tempdir -Xms 128m"),
    (UPDATE, "-options resp.txt -silent"),
    (UPDATE, "-options"),
    (UPDATE, "-is:log l.txt"),
    (UPDATE, "-is:log C:\\logs\\l.txt -is:log \\x"),
    (UPDATE, "-is:tempdir \\\\srv\\tmp -options \\rel x:y"),
    (UPDATE, "GALVORENT_JVM_PARAMS=\"-Xss2m -Dp='a b'\" -silent"),
    (UPDATE, 'GALVORENT_JVM_PARAMS=""'),
    (UPDATE, "GALVORENT_JVM_PARAMS=-Xss2m"),
    (UPDATE, "GALVORENT_JVM_PARAMS"),
    (UPDATE, "GALVORENT_JVM_PARAMS="),
    (UPDATE, 'GALVORENT_JVM_PARAMS="'),
    (UPDATE, 'GALVORENT_JVM_PARAMS"x"'),
    (UPDATE, 'GALVORENT_JVM_PARAMS="-Xa" GALVORENT_JVM_PARAMS="-Xb"'),
    (UPDATE, 'GALVORENT_JVM_PARAMS=x GALVORENT_JVM_PARAMS="-Xb"'),
    (UPDATE, '-Xms GALVORENT_JVM_PARAMS=bad GALVORENT_JVM_PARAMS="-Xc"'),
    (UPDATE, 'galvorent_jvm_params="-Xa"'),
    (UPDATE, "-noOutput"),
    (INSTALL, "-noOutput -noOutput x"),
    # The Java line.
    (UPDATE, "-options C:\\work\\resp.txt"),
    (PRE_SETUP_INSTALL,
     '-silent -is:tempdir "C:\\Temp Files" -Xmx 1024m -options "C:\\My Files\\resp.txt"'),
    (INSTALL, '-is:tempdir "C:\\Temp Files\\" "a b\\\\" last'),
    ("5", 'GALVORENT_JVM_PARAMS="" -Xms "" -silent'),
    ("7", '"a \\"b" x'),
]


def main() -> None:
    directory = pathlib.Path(sys.argv[1])
    directory.mkdir(parents=True, exist_ok=True)
    for number, (selector, tail) in enumerate(CASES):
        current_dir = CURRENT_DIRS[number % len(CURRENT_DIRS)]
        seed = f"{selector}{current_dir}\n{tail}".encode("latin-1")
        (directory / f"seed-{number:03d}").write_bytes(seed)


if __name__ == "__main__":
    main()

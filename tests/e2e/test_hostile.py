"""Hostile input end to end: huge command lines, odd names, a java.exe that cannot run.

Each case must give the launcher's ordinary result, or a clear message and exit status 1: never
a crash, a hang, a cut line or path used as if it were whole, or status 0 for a failure.
"""

import os
import re
import unittest

import harness
from harness import split_java_call

HEAD = "-Xms256m -Xmx512m  -cp update.jar run  "
HEAD_ARGUMENTS = 6  # java.exe, -Xms256m, -Xmx512m, -cp, update.jar, run
ERROR_NUMBER_LINE = re.compile(rb"\d+\r\n")
ERROR_FILENAME_EXCED_RANGE = b"206\r\n"
ERROR_ACCESS_DENIED = b"5\r\n"
ERROR_INVALID_HANDLE = b"6\r\n"

# A directory or value name with every character that a shell or a parser might act on, and
# characters outside code page 1252. %NAME% of a defined variable is left out of paths: Wine's
# shell expands it in the program's path (Windows' does not without SEE_MASK_DOENVSUBST).
ODD = "50% & more ^ 'x' (y) !b! ;,= \u65e5\u672c"
ODD_NARROW = "50% & more ^ 'x' (y) !b! ;,= ??"


def typed_and_received(count):
    """|count| arguments as typed on the command line, and as java.exe must receive them."""
    patterns = [
        ("plain{0}", "plain{0}"),
        ('"with blank {0}"', "with blank {0}"),
        ('"ends in a backslash {0}\\"', "ends in a backslash {0}\\"),
        ("odd&^%PATH%!{0}", "odd&^%PATH%!{0}"),
    ]
    typed, received = [], []
    for i in range(count):
        form, value = patterns[i % len(patterns)]
        typed.append(form.format("%05d" % i))
        received.append(value.format("%05d" % i))
    return typed, received


class HostileInputTest(harness.LauncherTestCase):
    def assertRefused(self, result, console):
        """The launcher stopped by itself with status 1 and said why, without starting Java."""
        self.assertFalse(result.timed_out, "the launcher hung")
        self.assertEqual(result.exit_code, 1)
        self.assertEqual(result.all_calls, [])
        self.assertRegex(result.stdout, ERROR_NUMBER_LINE)
        if console is not None:
            self.assertEqual(result.stdout, console)

    def test_huge_command_lines_reach_java_whole(self):
        cases = [
            ("about 32,000 characters", *typed_and_received(1650)),
            ("12,000 one-letter arguments", ["abcdefghij"[i % 10] for i in range(12000)],
             ["abcdefghij"[i % 10] for i in range(12000)]),
        ]
        app = self.launcher()
        app.add_java(exit_code=3)
        for name, typed, received in cases:
            with self.subTest(name):
                tail = " ".join(typed)
                self.assertLess(len(app.command_line(tail)), 32767)
                result = app.run(tail)
                self.assertLaunched(result, exit_code=3)
                self.assertEqual(result.call["argv"][HEAD_ARGUMENTS:], received)
        self.assertGreater(len(" ".join(cases[0][1])), 31000)

    def test_java_line_at_and_past_the_system_limit(self):
        # The shell would cut a longer line and start Java with the rest, so the launcher refuses
        # it the way the system refuses an over-long command line.
        app = self.launcher()
        app.add_java()
        java = app.win("java\\bin\\java.exe")
        room = 32766 - len('"%s" ' % java) - len(HEAD) - len("END")
        with self.subTest("exactly at the limit"):
            result = app.run("x" * room + "END")
            self.assertLaunched(result)
            self.assertEqual(len(result.call["commandLine"]), 32766)
            self.assertEqual(result.call["argv"][-1], "x" * room + "END")
        with self.subTest("one character past it"):
            result = app.run("x" * (room + 1) + "END")
            self.assertRefused(result, ERROR_FILENAME_EXCED_RANGE)
            self.assertEqual(result.boxes, [])

    def test_odd_launcher_directory(self):
        app = self.launcher("install", "media\\" + ODD)
        app.add_java("java\\jre\\bin", exit_code=1000)
        result = app.run("-is:log l.txt a")  # in the tree's root: a log name holds no '?'
        self.assertLaunched(result, exit_code=1000)
        self.assertEqual(split_java_call(result.call)[0], app.win("java\\jre\\bin\\java.exe"))
        self.assertEqual(result.call["currentDirectory"], app.win().rstrip("\\"))
        narrow = app.win().replace(ODD, ODD_NARROW) + "java\\jre\\bin\\java.exe"
        self.assertEqual(result.read("..\\..\\l.txt"),
                         ("Looking for Java in: %s\nUsing java in %s" % (narrow, narrow)).encode())

    def test_odd_directory_on_both_roads_of_the_uninstall_copy(self):
        # The interpreter road hands these paths to cmd.exe, the silent road to xcopy directly.
        roads = [("interpreter", "", HEAD[:-1]), ("direct", "-silent", HEAD + " -silent")]
        for road, tail, line in roads:
            with self.subTest(road):
                app = self.launcher("update", ODD + "\\uninstall")
                app.add_java("..\\java\\jre\\bin", exit_code=7)
                result = app.run(tail)
                self.assertLaunched(result, exit_code=7)
                # The copy brings the record of the lookup along; the launch is the last line.
                launch = result.calls["java\\jre\\bin"][-1]
                self.assertEqual(split_java_call(launch),
                                 (app.win("java\\jre\\bin\\java.exe"), line))

    def test_odd_arguments_and_option_values(self):
        # Arguments travel as narrow text: what code page 1252 lacks arrives as '?'. The shell
        # passes the parameters as they are, %PATH% included.
        cases = [
            ("shell characters", "a&b c^d e|f <g> 100% %PATH% !x! 'q' (p)",
             ["a&b", "c^d", "e|f", "<g>", "100%", "%PATH%", "!x!", "'q'", "(p)"]),
            ("outside the code page", "\u65e5\u672c \u0416x", ["??", "?x"]),
            ("temporary directory", '-is:tempdir "C:\\T m p\\%s\\" z' % ODD,
             ["-Djava.io.tmpdir=C:\\T m p\\%s\\" % ODD_NARROW, "z"]),
        ]
        app = self.launcher()
        app.add_java()
        for name, tail, received in cases:
            with self.subTest(name):
                result = app.run(tail)
                self.assertLaunched(result)
                arguments = result.call["argv"][1:]
                self.assertEqual([a for a in arguments if a not in HEAD.split()], received)

    def test_look_alikes_of_quotes_and_blanks_stay_text(self):
        # One argument, quoted for the C run time, whose full-width quotation marks and
        # ideographic blank must not become quotes or blanks of the launcher's own syntax and so
        # an -is:javahome of the caller's data.
        app = self.launcher()
        app.add_java()
        app.add_java("evil\\bin", exit_code=66)
        evil = app.win("evil")
        cases = [
            ("full-width quotation marks", '"\uff02 -is:javahome %s \uff02"' % evil,
             ["? -is:javahome %s ?" % evil]),
            ("ideographic blank", "-is:tempdir\u3000%s" % evil, ["-is:tempdir?" + evil]),
            ("full-width letters", "\uff0dsilent", ["?silent"]),
        ]
        for name, tail, received in cases:
            with self.subTest(name):
                result = app.run(tail)
                self.assertLaunched(result)
                self.assertEqual(list(result.calls), ["java\\bin"])
                self.assertEqual(result.call["argv"][HEAD_ARGUMENTS:], received)

    def test_log_named_outside_the_code_page_is_not_written_elsewhere(self):
        # The narrow name holds '?', which no file name may hold: the log cannot be created, and
        # the launch goes on as without one.
        app = self.launcher()
        app.add_java(exit_code=9)
        before = sorted(os.listdir(app.dir))
        result = app.run("-is:log \u65e5\u672c.txt", cwd=app.dir)
        self.assertLaunched(result, exit_code=9)
        self.assertEqual(sorted(os.listdir(app.dir)), before)

    def test_java_that_cannot_be_started(self):
        # The missing case is covered with the exit statuses; these are the other ways a
        # java.exe may fail to start. Wine may show its own box for a failed start.
        cases = [
            ("not a program", lambda app: app.add_file("java\\bin\\java.exe", "not a program"),
             ERROR_INVALID_HANDLE),
            ("a directory", lambda app: app.add_dir("java\\bin\\java.exe"), ERROR_ACCESS_DENIED),
            ("a directory under -is:javahome", lambda app: app.add_dir("jh\\bin\\java.exe"),
             ERROR_ACCESS_DENIED),
        ]
        for name, make, console in cases:
            for executable in ("update", "install"):
                with self.subTest(name, executable=executable):
                    app = self.launcher(executable)
                    make(app)
                    tail = "-is:javahome jh" if "javahome" in name else ""
                    result = app.run(tail, cwd=app.dir, time_limit=30)
                    self.assertRefused(result, console)
                    self.assertNotIn("Java Not Found", [b.title for b in result.boxes])


if __name__ == "__main__":
    unittest.main()

"""The launcher's exit status, install's failure hint, and a java.exe that cannot be started."""

import unittest

import harness

HINT = (
    "Installation Wizard for Mendora 7.0",
    "Please check for log files in the \"mendlogs\" subdirectory of the current user's home "
    "directory.\nIf no logs have been produced there, please try running the install command "
    "again, with this additional parameter:   -is:javaconsole",
)


class ExitStatusTest(harness.LauncherTestCase):
    def test_java_exit_code_is_returned_with_the_hint_where_due(self):
        cases = [
            # (executable, Java's exit code, extra arguments, hint shown)
            ("update", 0, "", False),
            ("update", 7, "", False),
            ("update", 1000, "", False),
            ("update", 4294967295, "", False),
            ("update", 1, "-noOutput", False),
            ("install", 0, "", False),
            ("install", 1000, "", False),
            ("install", 2, "", False),
            ("install", 1, "", True),
            ("install", 3, "", True),
            ("install", 999, "", True),
            ("install", 4294967295, "", True),
            ("install", 1, "-noOutput", False),
            ("install", 4294967295, "-noOutput", False),
        ]
        for executable, code, extra, hint in cases:
            with self.subTest(executable=executable, code=code, extra=extra):
                app = self.launcher(executable)
                app.add_java(exit_code=code)
                result = app.run(extra)
                self.assertFalse(result.timed_out)
                self.assertEqual(result.exit_code, code)
                self.assertEqual([(b.title, b.text) for b in result.boxes], [HINT] if hint else [])
                self.assertEqual(harness.split_java_call(result.call)[0],
                                 app.win("java\\bin\\java.exe"))

    def test_profile_is_built_in_not_read_from_the_file_name(self):
        cases = [
            # (executable, saved as, Java line, boxes)
            ("update", "install.exe", "-Xms256m -Xmx512m  -cp update.jar run  -noOutput", []),
            ("install", "update.exe", "-Xms256m -Xmx512m  -cp setup.jar run ", []),
            ("install", "update.exe", None, [HINT]),
        ]
        for executable, file_name, line, boxes in cases:
            with self.subTest(executable=executable, saved_as=file_name, hint=bool(boxes)):
                app = self.launcher(executable, file_name=file_name)
                app.add_java(exit_code=1)
                result = app.run("" if boxes else "-noOutput")
                self.assertEqual(result.exit_code, 1)
                self.assertEqual([(b.title, b.text) for b in result.boxes], boxes)
                if line is not None:
                    self.assertEqual(harness.split_java_call(result.call)[1], line)

    def test_hint_never_reaches_the_log(self):
        app = self.launcher("install")
        app.add_java(exit_code=7)
        result = app.run("-is:log l.txt", cwd=app.dir)
        self.assertEqual(result.exit_code, 7)
        self.assertEqual([(b.title, b.text) for b in result.boxes], [HINT])
        java = app.win("java\\bin\\java.exe")
        self.assertEqual(
            result.read("l.txt"),
            ("Looking for Java in: %s\nLooking for Java in: %s\nUsing java in %s" % (
                app.win("java\\jre\\bin\\java.exe"), java, java)).encode())

    def test_java_that_cannot_be_started(self):
        # The start fails (Wine may show a box of its own, which the runner answers), the wait
        # on the missing process fails with ERROR_INVALID_HANDLE, and the launcher ends with 1.
        for executable in ("update", "install"):
            with self.subTest(executable):
                app = self.launcher(executable)
                app.add_dir("empty")
                result = app.run("-is:javahome empty -is:log l.txt", cwd=app.dir)
                self.assertFalse(result.timed_out)
                self.assertEqual(result.exit_code, 1)
                self.assertEqual(result.stdout, b"6\r\n")
                java = app.win("empty\\bin\\java.exe")
                self.assertEqual(result.read("l.txt"),
                                 ("Looking for Java in: %s\nUsing java in %s" % (java, java)).encode())
                texts = [(b.title, b.text) for b in result.boxes]
                self.assertNotIn("Java Not Found", [title for title, _ in texts])
                if executable == "install":
                    self.assertEqual(texts[-1], HINT)
                else:
                    self.assertNotIn(HINT, texts)


if __name__ == "__main__":
    unittest.main()

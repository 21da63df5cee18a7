"""What the launcher tells when it stops on its own: boxes, the launch log, console lines."""

import os
import unittest

import harness

PROBE = "Looking for Java in: "
NOT_FOUND_TITLE = "Java Not Found"
NOT_FOUND = "Java could not be found, please specify -is:javahome <java_home_dir>"
INVALID_JVM_PARAMS = b"Invalid GALVORENT_JVM_PARAMS argument\r\n"


def response_file_text(path):
    return ("The specified response file does not exist at " + path +
            " . Verify that the path is correct and that the file exists at that location.")


class DiagnosticsTest(harness.LauncherTestCase):
    def boxes(self, result):
        return [(b.title, b.text) for b in result.boxes]

    def test_java_not_found(self):
        app = self.launcher("install")
        result = app.run("-is:log l.txt", cwd=app.dir)
        self.assertEqual(result.exit_code, 1)
        self.assertEqual(self.boxes(result), [(NOT_FOUND_TITLE, NOT_FOUND)])
        probes = ["java\\jre\\bin\\java.exe", "java\\bin\\java.exe",
                  "..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe"]
        expected = "".join(PROBE + app.win() + p + "\n" for p in probes) + NOT_FOUND + "\n"
        self.assertEqual(result.read("l.txt"), expected.encode())
        self.assertEqual(result.stdout, b"")

    def test_response_file(self):
        cases = [
            # (name, -options value, what exists in the current directory, missing path)
            ("relative and missing", "resp.txt", None, "resp.txt"),
            ("absolute and missing", "ABS\\none.txt", None, "none.txt"),
            ("relative, present", "resp.txt", "resp.txt", None),
            ("a directory passes", "answers", "answers\\", None),
        ]
        for name, value, present, missing in cases:
            with self.subTest(name):
                app = self.launcher()
                app.add_java()
                if present and present.endswith("\\"):
                    app.add_dir("..\\" + present)
                elif present:
                    app.add_file("..\\" + present)
                value = value.replace("ABS\\", app.win("..") + "\\")
                result = app.run("-options %s -is:log %s" % (value, app.win("l.txt")))
                if missing is None:
                    self.assertLaunched(result)
                    self.assertEqual(harness.split_java_call(result.call)[1],
                                     "-Xms256m -Xmx512m  -cp update.jar run  -options " + value)
                    continue
                text = response_file_text(app.win("..\\" + missing))
                self.assertEqual(result.exit_code, 1)
                self.assertEqual(self.boxes(result), [("Responsefile not found", text)])
                self.assertEqual(result.read("l.txt"), (text + "\n").encode())
                self.assertEqual(result.all_calls, [])

    def test_existing_log_is_truncated(self):
        app = self.launcher()
        app.add_java("java\\jre\\bin")
        app.add_file("l.txt", b"x" * 4096 + b"\n")
        result = app.run("-is:log l.txt", cwd=app.dir)
        self.assertLaunched(result)
        java = app.win("java\\jre\\bin\\java.exe")
        self.assertEqual(result.read("l.txt"), (PROBE + java + "\nUsing java in " + java).encode())

    def test_log_that_cannot_be_written_changes_nothing(self):
        cases = [
            ("missing directory", "nowhere\\l.txt"),
            ("a directory", "logs"),
            ("an invalid name", "l?.txt"),
        ]
        for name, log in cases:
            with self.subTest(name):
                app = self.launcher()
                app.add_dir("logs")
                java = app.add_java()
                java.set_exit_code(7)
                result = app.run("-is:log %s a" % log, cwd=app.dir)
                self.assertLaunched(result, exit_code=7)
                self.assertEqual(harness.split_java_call(result.call)[1],
                                 "-Xms256m -Xmx512m  -cp update.jar run  a")
                self.assertEqual(sorted(os.listdir(app.dir)), ["java", "logs", "update.exe"])
                self.assertEqual(os.listdir(app.path("logs")), [])
        with self.subTest("no runtime"):
            app = self.launcher()
            result = app.run("-is:log nowhere\\l.txt", cwd=app.dir)
            self.assertEqual(result.exit_code, 1)
            self.assertEqual(self.boxes(result), [(NOT_FOUND_TITLE, NOT_FOUND)])

    def test_probe_lines_in_the_ansi_code_page(self):
        # The directory name reaches the log through code page 1252: what it lacks becomes '?'.
        cases = [
            ("Grüße", "Gr\xfc\xdfe"),
            ("app-Ж-€", "app-?-\x80"),
        ]
        for directory, narrow in cases:
            with self.subTest(directory):
                app = self.launcher("update", directory)
                app.add_java("java\\jre\\bin")
                result = app.run("-is:log " + app.win("..\\l.txt"))
                self.assertLaunched(result)
                java = harness.win_path(app.root) + "\\" + narrow + "\\java\\jre\\bin\\java.exe"
                self.assertEqual(result.read("..\\l.txt"),
                                 (PROBE + java + "\nUsing java in " + java).encode("latin-1"))
                self.assertEqual(result.call["currentDirectory"], app.win().rstrip("\\"))

    def test_invalid_jvm_params_stop_before_the_log(self):
        tails = [
            "GALVORENT_JVM_PARAMS",
            "GALVORENT_JVM_PARAMS=-Xss2m",
            '"GALVORENT_JVM_PARAMS=-Xss2m"',
            'GALVORENT_JVM_PARAMS=-Xss2m GALVORENT_JVM_PARAMS="-Da"',
            'x GALVORENT_JVM_PARAMSfoo',
        ]
        for tail in tails:
            with self.subTest(tail):
                app = self.launcher()
                app.add_java()
                result = app.run("-is:log l.txt " + tail, cwd=app.dir)
                self.assertEqual(result.exit_code, 1)
                self.assertEqual(result.stdout, INVALID_JVM_PARAMS)
                self.assertEqual(result.boxes, [])
                self.assertEqual(result.all_calls, [])
                self.assertIsNone(result.read("l.txt"))


if __name__ == "__main__":
    unittest.main()

"""Paths near and past the classic 260-character limit come through whole."""

import unittest

import harness

PROBE = "Looking for Java in: "
JDK_PROBE = "..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe"
NOT_FOUND = "Java could not be found, please specify -is:javahome <java_home_dir>"


def filler(length, letter):
    """A relative directory of |length| characters, in components short enough for Linux."""
    parts = []
    while length > 0:
        size = min(length, 120)
        parts.append(letter * (size - 1) if length > size else letter * size)
        length -= size
    return "\\".join(parts)


class LongPathTest(harness.LauncherTestCase):
    def long_launcher(self, length):
        """A launcher whose directory, trailing backslash included, has |length| characters."""
        first = self.launcher("update", "short")
        root = len(harness.win_path(first.root)) + 1
        return self.launcher("update", filler(length - root - 1, "d"), base=first.base)

    def test_launcher_directory_of_240_characters(self):
        for runtime in ("java\\bin", None):
            with self.subTest(runtime=runtime):
                app = self.long_launcher(240)
                self.assertEqual(len(app.win()), 240)
                self.assertLess(len(app.win("update.exe")), 260)
                self.assertGreater(len(app.win() + JDK_PROBE), 265)
                if runtime:
                    app.add_java(runtime)
                result = app.run("-is:log " + harness.win_path(app.root + "/l.txt"))
                probes = ["java\\jre\\bin\\java.exe", "java\\bin\\java.exe"]
                with open(app.root + "/l.txt", "rb") as f:
                    log = f.read()
                if runtime:
                    java = app.win("java\\bin\\java.exe")
                    expected = "".join(PROBE + app.win() + p + "\n" for p in probes)
                    self.assertEqual(log, (expected + "Using java in " + java).encode())
                    self.assertLaunched(result)
                    self.assertEqual(harness.split_java_call(result.call)[0], java)
                    self.assertEqual(result.call["currentDirectory"], app.win().rstrip("\\"))
                else:
                    probes.append(JDK_PROBE)
                    expected = "".join(PROBE + app.win() + p + "\n" for p in probes)
                    self.assertEqual(log, (expected + NOT_FOUND + "\n").encode())
                    self.assertEqual(result.exit_code, 1)
                    self.assertEqual([b.title for b in result.boxes], ["Java Not Found"])

    def test_option_values_of_several_hundred_characters(self):
        deep = filler(400, "p")

        with self.subTest("-is:javahome"):
            # The shell cannot start a program that deep (Wine shows "Path not found"); what the
            # launcher itself does with the value is in the log.
            app = self.launcher()
            home = app.win(deep)
            self.assertGreater(len(home), 400)
            result = app.run("-is:javahome %s -is:log l.txt" % home, cwd=app.dir)
            java = home + "\\bin\\java.exe"
            self.assertEqual(result.read("l.txt"),
                             (PROBE + java + "\nUsing java in " + java).encode())
            self.assertNotIn("Java Not Found", [b.title for b in result.boxes])

        with self.subTest("-is:log"):
            app = self.launcher()
            app.add_java("java\\jre\\bin")
            app.add_dir(deep)
            result = app.run("-is:log %s\\l.txt" % app.win(deep))
            self.assertLaunched(result)
            java = app.win("java\\jre\\bin\\java.exe")
            self.assertEqual(result.read(deep + "\\l.txt"),
                             (PROBE + java + "\nUsing java in " + java).encode())

        with self.subTest("-options, missing"):
            app = self.launcher()
            app.add_java()
            response = app.win(deep + "\\resp.txt")
            result = app.run("-options %s -is:log l.txt" % response, cwd=app.dir)
            text = ("The specified response file does not exist at " + response +
                    " . Verify that the path is correct and that the file exists at that location.")
            self.assertEqual(result.exit_code, 1)
            self.assertEqual([(b.title, b.text) for b in result.boxes],
                             [("Responsefile not found", text)])
            self.assertEqual(result.read("l.txt"), (text + "\n").encode())

        with self.subTest("-options, present"):
            app = self.launcher()
            app.add_java()
            app.add_file(deep + "\\resp.txt")
            response = app.win(deep + "\\resp.txt")
            result = app.run("-options " + response)
            self.assertLaunched(result)
            self.assertEqual(harness.split_java_call(result.call)[1],
                             "-Xms256m -Xmx512m  -cp update.jar run  -options " + response)


if __name__ == "__main__":
    unittest.main()

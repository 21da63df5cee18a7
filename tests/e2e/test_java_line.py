"""The parameter string that java.exe receives: launch profiles, options, quoting, blanks."""

import os
import shutil
import unittest

import harness
from harness import SW_HIDE, split_java_call

UPDATE_FRAGMENTS = {
    "Qarn7PreSetup": "-cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;"
                     "preSetup.jar;update.jar PreInstallSetup -qarn7qot ",
    "Qarn7Run": "-cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;"
                "update.jar run -qarn7qot ",
    "PreSetup": "-cp preSetup.jar;update.jar PreInstallSetup ",
    "PlainRun": " -cp update.jar run ",
}


def fragment(profile, executable):
    text = UPDATE_FRAGMENTS[profile]
    return text if executable == "update" else text.replace("update.jar", "setup.jar")


class JavaLineTest(harness.LauncherTestCase):
    def launch(self, tail, executable="update", files=(), cwd_files=()):
        """Runs |executable| with a runtime at java\\bin; returns (jvmLine, call)."""
        app = self.launcher(executable)
        app.add_java()
        for name in files:
            app.add_file(name)
        for name in cwd_files:
            open(os.path.join(app.root, name), "wb").close()
        result = app.run(tail)
        self.assertLaunched(result)
        program, parameters = split_java_call(result.call)
        self.assertEqual(program, app.win("java\\bin\\java.exe"))
        return parameters, result.call

    def test_launch_profile_follows_the_files_beside_the_launcher(self):
        host_jar = "lib\\qarn7LogServiceOverride.jar"
        cases = [
            ("nothing beside", [], "PlainRun"),
            ("host-system jar", [host_jar], "Qarn7Run"),
            ("host-system jar and media span", [host_jar, "mediaSpanInfo.xml"], "Qarn7PreSetup"),
            ("media span", ["mediaSpanInfo.xml"], "PreSetup"),
            ("host-system jar only in FEP\\lib", ["FEP\\" + host_jar], "Qarn7Run"),
            ("FEP\\lib jar and media span", ["FEP\\" + host_jar, "mediaSpanInfo.xml"],
             "Qarn7PreSetup"),
            ("media span only in FEP", ["FEP\\mediaSpanInfo.xml"], "PlainRun"),
        ]
        for executable in ("update", "install"):
            for name, files, profile in cases:
                with self.subTest(executable=executable, case=name):
                    line, _ = self.launch("", executable, files)
                    self.assertEqual(line, "-Xms256m -Xmx512m " + fragment(profile, executable))

    def test_worked_examples(self):
        # The response files sit on C: so that the lines read exactly as typed.
        for directory in ("work", "My Files"):
            os.makedirs(harness.drive_c(directory), exist_ok=True)
            open(harness.drive_c(directory + "\\resp.txt"), "wb").close()
            self.addCleanup(shutil.rmtree, harness.drive_c(directory), True)
        cases = [
            ("-options C:\\work\\resp.txt", [],
             "-Xms256m -Xmx512m  -cp update.jar run  -options C:\\work\\resp.txt"),
            ('-silent -is:tempdir "C:\\Temp Files" -Xmx 1024m -options "C:\\My Files\\resp.txt"',
             ["mediaSpanInfo.xml"],
             '-Xms256m -Xmx1024m -Djava.io.tmpdir="C:\\Temp Files" -cp preSetup.jar;update.jar '
             'PreInstallSetup  -options "C:\\My Files\\resp.txt"  -silent'),
        ]
        for tail, files, expected in cases:
            with self.subTest(tail=tail):
                self.assertEqual(self.launch(tail, files=files)[0], expected)

    def test_options_taken_or_passed_on(self):
        head = "-Xms256m -Xmx512m  -cp update.jar run "
        cases = [
            # (tail, executable, expected line)
            ("", "update", head),
            ("-silent", "update", head + "  -silent"),
            ("-silent -silent", "update", head + " -silent  -silent"),
            ("-SILENT", "update", head + " -SILENT"),
            ('"" x ""', "update", head + " x"),
            ('x "a b" "c\td"', "update", head + ' x "a b" c\td'),
            ('a"b c"d', "update", head + ' a"b c" d'),
            ("-noOutput", "update", head + " -noOutput"),
            ("-noOutput", "install", head.replace("update", "setup")),
            ("-noOutput -noOutput", "install", head.replace("update", "setup") + " -noOutput"),
            ("-options resp.txt a", "update", head + " -options resp.txt a"),
            ("-Xms128m", "update", head + " -Xms128m"),
            ("-Xmx 1024m -Xms 128m app.xml", "update",
             "-Xms128m -Xmx1024m  -cp update.jar run  app.xml"),
            ("x -Xms", "update", "-Xms -Xmx512m  -cp update.jar run  x"),
            ('GALVORENT_JVM_PARAMS=""', "update", "-Xms256m -Xmx512m   -cp update.jar run "),
            ("GALVORENT_JVM_PARAMS=\"-Xss2m -Dp='a b'\" -is:tempdir C:\\t", "update",
             '-Xms256m -Xmx512m -Xss2m -Dp="a b" -Djava.io.tmpdir=C:\\t  -cp update.jar run '),
            ('GALVORENT_JVM_PARAMS="-Da" GALVORENT_JVM_PARAMS="-Db"', "update",
             '-Xms256m -Xmx512m -Da  -cp update.jar run  GALVORENT_JVM_PARAMS="-Db"'),
            ('galvorent_jvm_params="-Xa"', "update", head + ' galvorent_jvm_params="-Xa"'),
        ]
        for tail, executable, expected in cases:
            with self.subTest(executable=executable, tail=tail):
                line, _ = self.launch(tail, executable, cwd_files=["resp.txt"])
                self.assertEqual(line, expected)

    def test_values_that_end_in_a_backslash_reach_java_intact(self):
        # Java's own parser reads a backslash before a quote as an escape; the launcher doubles
        # the trailing backslash so that argv holds the value as typed.
        head = ["-Xms256m", "-Xmx512m"]
        tail_argv = ["-cp", "update.jar", "run"]
        cases = [
            ('-is:tempdir "C:\\Temp Files\\" a b',
             '-Xms256m -Xmx512m -Djava.io.tmpdir="C:\\Temp Files\\\\"  -cp update.jar run  a b',
             head + ["-Djava.io.tmpdir=C:\\Temp Files\\"] + tail_argv + ["a", "b"]),
            ('"C:\\My Dir\\" next',
             '-Xms256m -Xmx512m  -cp update.jar run  "C:\\My Dir\\\\" next',
             head + tail_argv + ["C:\\My Dir\\", "next"]),
            ('-is:tempdir C:\\Temp\\ a',
             "-Xms256m -Xmx512m -Djava.io.tmpdir=C:\\Temp\\  -cp update.jar run  a",
             head + ["-Djava.io.tmpdir=C:\\Temp\\"] + tail_argv + ["a"]),
        ]
        for tail, expected_line, expected_argv in cases:
            with self.subTest(tail=tail):
                line, call = self.launch(tail)
                self.assertEqual(line, expected_line)
                self.assertEqual(call["argv"][1:], expected_argv)

    def test_java_runs_hidden_unless_the_console_is_asked_for(self):
        for tail, show in (("", SW_HIDE), ("-is:javaconsole", harness.SW_SHOWNORMAL)):
            for executable in ("update", "install"):
                with self.subTest(executable=executable, tail=tail):
                    _, call = self.launch(tail, executable)
                    self.assertEqual(call["showWindow"], show)


if __name__ == "__main__":
    unittest.main()

"""Which java.exe the launcher finds, what it logs on the way, and where Java runs."""

import unittest

import harness

PROBE = "Looking for Java in: "
NOT_FOUND = "Java could not be found, please specify -is:javahome <java_home_dir>"


def probe_log(directory, probes, using=None):
    """The expected log: one probe line per candidate under |directory| (Windows, ending in a
    backslash), then "Using java in" |using| (no line end) or the not-found text."""
    lines = "".join(PROBE + directory + p + "\n" for p in probes)
    closing = "Using java in " + directory + using if using else NOT_FOUND + "\n"
    return (lines + closing).encode("cp1252")


class DiscoveryTest(harness.LauncherTestCase):
    def run_discovery(self, executable, subdir, javas, files, probes, found, work_dir=""):
        """Runs with runtimes at |javas| and |files| beside the launcher; expects the probes
        |probes| (relative to the launcher directory + |work_dir|), then |found| (relative to
        the same), started in that directory; |found| None expects "Java Not Found"."""
        app = self.launcher(executable, subdir)
        for directory in javas:
            app.add_java(directory)
        for name in files:
            app.add_file(name)
        result = app.run("-is:log " + app.win("l.txt"))
        base = app.win(work_dir) + "\\" if work_dir else app.win()
        self.assertEqual(result.read("l.txt"), probe_log(base, probes, found))
        if found is None:
            self.assertEqual(result.exit_code, 1)
            self.assertEqual([(b.title, b.text) for b in result.boxes],
                             [("Java Not Found", NOT_FOUND)])
            self.assertEqual(result.all_calls, [])
            return
        self.assertLaunched(result)
        program, _ = harness.split_java_call(result.call)
        self.assertEqual(program, base + found)
        self.assertEqual(result.call["currentDirectory"], base.rstrip("\\"))

    def test_install_mode_probes(self):
        jdk = harness.INSTALL_PROBES[2]
        cases = [
            # (name, executable, runtimes, other files, probes tried, found, FEP extension);
            # the launcher lies in media\app
            ("first probe wins", "update", ["java\\jre\\bin", "java\\bin"], [],
             harness.INSTALL_PROBES[:1], harness.INSTALL_PROBES[0], ""),
            ("second probe", "install", ["java\\bin"], [], harness.INSTALL_PROBES[:2], harness.INSTALL_PROBES[1],
             ""),
            ("JDK beside the parent", "update", [jdk[:-len("\\java.exe")]], [], harness.INSTALL_PROBES,
             jdk, ""),
            ("runtime only in jre\\bin", "update", ["jre\\bin"], [], harness.INSTALL_PROBES, None, ""),
            ("nothing", "install", [], [], harness.INSTALL_PROBES, None, ""),
            ("FEP marker moves the probes", "update", ["java\\bin", "FEP\\java\\bin"],
             ["FEP\\update.jar"], harness.INSTALL_PROBES[:2], harness.INSTALL_PROBES[1], "FEP"),
            ("FEP marker of install", "install", ["java\\bin", "FEP\\java\\jre\\bin"],
             ["FEP\\setup.jar"], harness.INSTALL_PROBES[:1], harness.INSTALL_PROBES[0], "FEP"),
            ("JDK probe under FEP leaves FEP", "update",
             ["JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin"], ["FEP\\update.jar"],
             harness.INSTALL_PROBES, jdk, "FEP"),
            ("runtime beside a FEP marker is not seen", "update", ["java\\bin"],
             ["FEP\\update.jar"], harness.INSTALL_PROBES, None, "FEP"),
            ("update ignores the install marker", "update", ["java\\bin", "FEP\\java\\bin"],
             ["FEP\\setup.jar"], harness.INSTALL_PROBES[:2], harness.INSTALL_PROBES[1], ""),
            ("install ignores the update marker", "install", ["java\\bin", "FEP\\java\\bin"],
             ["FEP\\update.jar"], harness.INSTALL_PROBES[:2], harness.INSTALL_PROBES[1], ""),
        ]
        for name, executable, javas, files, probes, found, fep in cases:
            with self.subTest(name):
                self.run_discovery(executable, "media\\app", javas, files, probes, found, fep)

    def test_uninstall_mode_probes_beside_the_launcher(self):
        # A runtime in the parent directory would be copied first: other tests cover that.
        cases = [
            # (name, launcher directory, runtimes, other files, probes tried, found)
            ("first probe", "uninstall", ["java\\jre\\bin", "jre\\bin"], [], harness.UNINSTALL_PROBES[:1],
             harness.UNINSTALL_PROBES[0]),
            ("second probe", "uninstall2", ["java\\bin", "jre\\bin"], [], harness.UNINSTALL_PROBES[:2],
             harness.UNINSTALL_PROBES[1]),
            ("jre\\bin counts here", "uninstall_old\\tools", ["jre\\bin"], [],
             harness.UNINSTALL_PROBES[:3], harness.UNINSTALL_PROBES[2]),
            ("FEP marker ignored", "uninstall", ["java\\bin", "FEP\\java\\jre\\bin"],
             ["FEP\\update.jar"], harness.UNINSTALL_PROBES[:2], harness.UNINSTALL_PROBES[1]),
            ("nothing anywhere", "uninstall", [], [], harness.UNINSTALL_PROBES, None),
            ("Uninstall in another case is install mode", "Uninstall", ["jre\\bin"], [],
             harness.INSTALL_PROBES, None),
        ]
        for name, subdir, javas, files, probes, found in cases:
            with self.subTest(name):
                self.run_discovery("update", "media\\" + subdir, javas, files, probes, found)

    def test_javahome_replaces_discovery(self):
        # A runtime and a FEP marker beside the launcher must not matter: one probe line for
        # the home's java.exe, and Java runs in the plain launcher directory.
        for executable in ("update", "install"):
            for trailing in ("", "\\"):
                with self.subTest(executable=executable, trailing_backslash=bool(trailing)):
                    app = self.launcher(executable)
                    app.add_java("..\\home\\bin")
                    app.add_java("FEP\\java\\bin")
                    app.add_file("FEP\\" + ("update" if executable == "update" else "setup") +
                                 ".jar")
                    java = app.win("..\\home\\bin\\java.exe")
                    result = app.run("-is:javahome %s%s -is:log l.txt" % (
                        app.win("..\\home"), trailing), cwd=app.dir)
                    self.assertLaunched(result)
                    self.assertEqual(list(result.calls), ["..\\home\\bin"])
                    self.assertEqual(harness.split_java_call(result.call)[0], java)
                    self.assertEqual(result.call["currentDirectory"], app.win().rstrip("\\"))
                    self.assertEqual(result.read("l.txt"),
                                     (PROBE + java + "\nUsing java in " + java).encode())

    def test_relative_javahome_is_taken_from_the_current_directory(self):
        app = self.launcher()
        app.add_java("..\\home\\bin")
        result = app.run("-is:javahome home", cwd=app.root)
        self.assertLaunched(result)
        self.assertEqual(harness.split_java_call(result.call)[0],
                         app.win("..\\home\\bin\\java.exe"))


if __name__ == "__main__":
    unittest.main()

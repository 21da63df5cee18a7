"""Uninstall mode: the runtime in the parent directory is weighed, copied beside the launcher with
the system's xcopy, and the copy runs; the texts around it come from the resource-bundle class.

Real cmd.exe and xcopy.exe of the prefix do the copying. The stand-in java.exe of the parent's
runtime answers the text lookups (JavaStandIn.set_output, by key); since the whole runtime is
copied, the copy's stand-in is the Java that finally runs. The space cases put the launcher's
directory on a small tmpfs volume, which needs root; they are skipped where mounting is refused.

One module on purpose: some cases take the prefix's temporary directory or its xcopy.exe away
for a moment, and the check for left-over "QOT" capture files must not see another run's.
"""

import contextlib
import json
import os
import pwd
import shutil
import subprocess
import tempfile
import unittest

import harness
from harness import split_java_call

MB = 1048576
BUNDLE_CLASS = "com.orvel.gv.install.ni.framework.resourcebundle.ExternalNIFResourceBundleUtils"
WAIT_KEY = "uninstall.initializingUninstall"
TITLE_KEY = "Title.error"
ENGLISH_WAIT = b"Initializing Uninstaller, Please Wait ...."
ENGLISH_TITLE = "Error, Insufficient Space "
LAUNCHER_SUBDIR = "media\\uninstall"



class StagedRoad:
    """A runtime found only under the parent directory (uninstall probes 4 to 6)."""

    def __init__(self, probe, java_dir, source, target):
        self.probe = probe        # 1-based number of the probe that finds it
        self.java_dir = java_dir  # the parent's java.exe directory, relative to the launcher
        self.source = source      # the runtime directory that is copied
        self.target = target      # where the copy goes
        self.staged_java = harness.UNINSTALL_PROBES[probe - 4]  # the copy's java.exe


STAGED_ROADS = {
    "java\\jre": StagedRoad(4, "..\\java\\jre\\bin", "..\\java", "java"),
    "java": StagedRoad(5, "..\\java\\bin", "..\\java", "java"),
    "jre": StagedRoad(6, "..\\jre\\bin", "..\\jre", "jre"),
}


def lookup_line(app, jar, key):
    return ' -classpath "%s%s" %s %s' % (app.win(), jar, BUNDLE_CLASS, key)


def probe_lines(app, count):
    return b"".join(b"Looking for Java in: " + (app.win() + p).encode() + b"\n"
                    for p in harness.UNINSTALL_PROBES[:count])


def tree_files(path):
    """{relative path: bytes} of every file under |path|, and the set of its directories; the
    stand-in's record of calls is left out, since runs after the copy add to it."""
    files, dirs = {}, set()
    for directory, dirnames, filenames in os.walk(path):
        relative = os.path.relpath(directory, path)
        dirs.update(os.path.join(relative, d) for d in dirnames)
        for name in filenames:
            if name != harness.CALLS_FILE:
                with open(os.path.join(directory, name), "rb") as f:
                    files[os.path.join(relative, name)] = f.read()
    return files, dirs


def tree_bytes(path):
    """The sizes of all files under |path| without following links, as the launcher counts."""
    total = 0
    for directory, _, filenames in os.walk(path):
        total += sum(os.lstat(os.path.join(directory, n)).st_size for n in filenames)
    return total


def sparse_file(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.truncate(size)


def prefix_temp_dir():
    return harness.drive_c("users/%s/Temp" % pwd.getpwuid(os.getuid()).pw_name)


def capture_files():
    return sorted(n for n in os.listdir(prefix_temp_dir()) if n.upper().startswith("QOT"))


@contextlib.contextmanager
def temp_dir_replaced_by_file():
    """The prefix's temporary directory turned into a file: no temporary file can be made."""
    temp = prefix_temp_dir()
    os.rename(temp, temp + ".e2e-away")
    try:
        with open(temp, "wb"):
            pass
        yield
    finally:
        if os.path.isfile(temp):
            os.remove(temp)
        os.rename(temp + ".e2e-away", temp)


class StagingTestCase(harness.LauncherTestCase):
    def setUp(self):
        # A run that left capture files fails itself (run_launcher); the next starts clean.
        os.makedirs(prefix_temp_dir(), exist_ok=True)
        for name in capture_files():
            os.remove(os.path.join(prefix_temp_dir(), name))

    def staged(self, road, executable="update", exit_code=None, base=None):
        """A launcher in media\\uninstall with a stand-in runtime only under the parent, holding
        a hidden file and an empty directory that the copy must carry too."""
        if base is None:
            app = self.launcher(executable, LAUNCHER_SUBDIR)
        else:
            app = harness.LauncherDir(executable, LAUNCHER_SUBDIR, base=base)
            self.addCleanup(app.remove)
        java = app.add_java(road.java_dir, exit_code=exit_code)
        app.add_file(road.source + "\\lib\\rt.jar", bytes(range(256)) * 41)
        app.add_file(road.source + "\\lib\\.hidden", b"hidden and copied")
        app.add_dir(road.source + "\\lib\\empty")
        return app, java

    def run_launcher(self, app, tail=""):
        """Runs with a launch log beside the launcher's directory; checks that no capture file
        outlives the run."""
        log = os.path.join(os.path.dirname(app.dir), "uninstall.log")
        result = app.run(("-is:log %s %s" % (harness.win_path(log), tail)).strip())
        self.assertFalse(result.timed_out, "the launcher had to be terminated")
        self.assertEqual(capture_files(), [])
        with open(log, "rb") as f:
            result.log = f.read()
        return result

    def assertCopied(self, app, road):
        self.assertEqual(tree_files(app.path(road.target)), tree_files(app.path(road.source)))

    def without(self, path):
        """Moves |path| of the prefix aside for the test."""
        os.rename(path, path + ".e2e-away")
        self.addCleanup(os.rename, path + ".e2e-away", path)


class StagedRoadsTest(StagingTestCase):
    def test_each_staged_road_weighs_copies_and_runs_the_copy(self):
        cases = [
            # road, command line, executable, xcopy started directly and hidden
            ("java\\jre", "a b", "update", False),
            ("java", "-silent", "update", True),
            ("jre", "-silent -is:javaconsole", "install", False),
            ("java\\jre", "-is:javaconsole", "install", False),
        ]
        for name, tail, executable, direct in cases:
            with self.subTest(road=name, tail=tail, executable=executable):
                road = STAGED_ROADS[name]
                app, java = self.staged(road, executable, exit_code=1000)
                java.set_output(WAIT_KEY, stdout=b"Bitte  warten\r\n....\r\n")
                result = self.run_launcher(app, tail)

                self.assertEqual(result.boxes, [])
                self.assertEqual(result.exit_code, 1000)
                jar = executable.replace("install", "setup") + ".jar"
                lookup = result.calls[road.java_dir]
                self.assertEqual([c["commandLine"] for c in lookup],
                                 [lookup_line(app, jar, WAIT_KEY)])
                self.assertEqual(lookup[0]["currentDirectory"], harness.win_path(app.root))
                self.assertIsNone(lookup[0]["showWindow"])
                self.assertCopied(app, road)
                copied_lookup, main = result.calls[road.staged_java.rsplit("\\", 1)[0]]
                self.assertEqual(copied_lookup, lookup[0])
                self.assertEqual(split_java_call(main)[0], app.win() + road.staged_java)
                self.assertEqual(result.log, probe_lines(app, road.probe) + b"Using java in " +
                                 (app.win() + road.staged_java).encode())
                if direct:
                    self.assertEqual(result.stdout, b"")  # looked up, not shown
                else:
                    self.assertTrue(result.stdout.startswith(b"Bitte warten ....  \r\n"),
                                    result.stdout)

    def test_a_second_run_finds_the_copy_and_copies_nothing(self):
        road = STAGED_ROADS["java\\jre"]
        app, _ = self.staged(road)
        self.run_launcher(app)
        app.add_file(road.source + "\\lib\\added-later.jar", b"new")
        result = self.run_launcher(app)
        self.assertLaunched(result)
        self.assertEqual(list(result.calls), ["java\\jre\\bin"])  # no lookup in the parent
        self.assertIsNone(result.read("java\\lib\\added-later.jar"))
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.log, probe_lines(app, 1) + b"Using java in " +
                         (app.win() + "java\\jre\\bin\\java.exe").encode())

    def test_an_earlier_partial_copy_gets_only_what_is_newer_in_the_runtime(self):
        road = STAGED_ROADS["java\\jre"]
        app, _ = self.staged(road)
        older = app.add_file("java\\lib\\rt.jar", b"older copy")
        newer = app.add_file("java\\lib\\.hidden", b"newer copy")
        source_time = os.stat(app.path(road.source + "\\lib\\rt.jar")).st_mtime
        os.utime(older, (source_time - 3600, source_time - 3600))
        os.utime(newer, (source_time + 3600, source_time + 3600))
        result = self.run_launcher(app)
        self.assertLaunched(result)
        self.assertEqual(result.read("java\\lib\\rt.jar"), result.read("..\\java\\lib\\rt.jar"))
        self.assertEqual(result.read("java\\lib\\.hidden"), b"newer copy")
        self.assertIsNotNone(result.read("java\\jre\\bin\\java.exe"))

    def test_runtimes_beside_the_launcher_and_none_at_all(self):
        for probe in (1, 2, 3):
            with self.subTest(probe=probe):
                app = self.launcher("update", LAUNCHER_SUBDIR)
                app.add_java(harness.UNINSTALL_PROBES[probe - 1].rsplit("\\", 1)[0])
                app.add_java("..\\java\\jre\\bin")  # never weighed, looked up or copied
                result = self.run_launcher(app)
                self.assertLaunched(result)
                self.assertEqual(list(result.calls), [harness.UNINSTALL_PROBES[probe - 1][:-9]])
                self.assertEqual(result.log, probe_lines(app, probe) + b"Using java in " +
                                 (app.win() + harness.UNINSTALL_PROBES[probe - 1]).encode())
        with self.subTest(probe=None):
            app = self.launcher("update", LAUNCHER_SUBDIR)
            result = self.run_launcher(app)
            message = "Java could not be found, please specify -is:javahome <java_home_dir>"
            self.assertEqual(result.boxes, [harness.Box("Java Not Found", message)])
            self.assertEqual(result.exit_code, 1)
            self.assertEqual(result.log, probe_lines(app, 6) + message.encode() + b"\n")


class WaitTextTest(StagingTestCase):
    def test_texts_the_interpreter_would_act_on_are_shown_as_written(self):
        # Each would run a command, redirect, pipe, or swallow the copy if it reached the
        # interpreter unescaped. %NAME% of a defined variable is left out: Wine's cmd expands it
        # before it looks at carets, which no escaping can stop (Windows' cmd keeps it as typed).
        texts = [
            b"Bitte warten & echo INJECTED> injected.txt",
            b"a | find \"b\"",
            b"<nul > injected.txt",
            b"2>injected.txt 1>&2",
            b"^ caret ^^ and (parens) ( ) ))",
            b"\"unbalanced quote & echo INJECTED> injected.txt",
            b"\"a & b\" & \"c\" ^",
            b"100% done, %NO_SUCH_VARIABLE% and %%",
            b"%",
            b"^",
        ]
        road = STAGED_ROADS["java\\jre"]
        for text in texts:
            with self.subTest(text=text):
                app, java = self.staged(road)
                java.set_output(WAIT_KEY, stdout=text + b"\r\n")
                result = self.run_launcher(app)
                self.assertLaunched(result)
                self.assertTrue(result.stdout.startswith(text + b"  \r\n"), result.stdout)
                self.assertCopied(app, road)
                leftovers = [n for d in (app.root, app.dir) for n in os.listdir(d)
                             if n.startswith("injected")]
                self.assertEqual(leftovers, [])

    def test_what_the_lookup_reads_back(self):
        cases = [
            ("words of several lines", b"Bitte  warten\r\n\r\n  ....\r\n", None,
             b"Bitte warten .... "),
            ("standard error only", None, b"Veuillez patienter\n", b"Veuillez patienter "),
            ("standard output, then standard error", b"eins\r\n", b"zwei\r\n", b"eins zwei "),
            ("-1 printed by Java is a text", b"-1\r\n", None, b"-1 "),
        ]
        road = STAGED_ROADS["java"]
        for name, stdout, stderr, shown in cases:
            with self.subTest(name):
                app, java = self.staged(road)
                java.set_output(WAIT_KEY, stdout=stdout, stderr=stderr)
                result = self.run_launcher(app)
                self.assertLaunched(result)
                self.assertTrue(result.stdout.startswith(shown + b" \r\n"), result.stdout)

    def test_nothing_printed_is_an_empty_text_not_a_failure(self):
        road = STAGED_ROADS["java"]
        app, _ = self.staged(road)
        result = self.run_launcher(app)
        self.assertLaunched(result)
        self.assertNotIn(ENGLISH_WAIT, result.stdout)
        self.assertCopied(app, road)

    def test_failed_lookups_say_why_and_fall_back_to_english(self):
        road = STAGED_ROADS["java\\jre"]
        with self.subTest("no temporary file can be made"):
            app, java = self.staged(road)
            java.set_output(WAIT_KEY, stdout=b"never read\r\n")
            with temp_dir_replaced_by_file():
                result = app.run()
            self.assertLaunched(result)
            self.assertTrue(result.stdout.startswith(
                b"GetTempFileName failed\r\n" + ENGLISH_WAIT + b" \r\n"), result.stdout)
            self.assertEqual(list(result.calls), ["java\\jre\\bin"])  # Java never ran for it
            self.assertCopied(app, road)
        with self.subTest("java.exe is not a program"):
            app = self.launcher("update", LAUNCHER_SUBDIR)
            app.add_file(road.java_dir + "\\java.exe", b"not a program")
            result = self.run_launcher(app)
            self.assertTrue(result.stdout.startswith(
                b"createprocess failed\r\n" + ENGLISH_WAIT + b" \r\n"), result.stdout)
            self.assertEqual(result.read("java\\jre\\bin\\java.exe"), b"not a program")
            self.assertEqual(result.exit_code, 1)  # the copy cannot start either


class CopyToolTest(StagingTestCase):
    """Without xcopy.exe in the system directory the bare name XCOPY is started, found through
    the search path: here a recording stand-in in C:\\windows, which shows how it was started."""

    def setUp(self):
        super().setUp()
        self.without(harness.drive_c("windows/system32/xcopy.exe"))
        stand_in = harness.drive_c("windows/xcopy.exe")
        shutil.copyfile(harness.program("fake_java"), stand_in)
        self.addCleanup(os.remove, stand_in)
        self.calls_file = harness.drive_c("windows/" + harness.CALLS_FILE)
        self.addCleanup(lambda: os.path.exists(self.calls_file) and os.remove(self.calls_file))

    def copy_call(self):
        with open(self.calls_file, encoding="utf-8") as f:
            calls = [json.loads(line) for line in f]
        os.remove(self.calls_file)
        self.assertEqual(len(calls), 1)
        return calls[0]

    def test_bare_name_on_both_ways_with_exact_arguments(self):
        road = STAGED_ROADS["java"]
        for tail, direct in (("-silent", True), ("", False)):
            with self.subTest(tail=tail):
                app, java = self.staged(road)
                java.set_output(WAIT_KEY, stdout=b"a & b ^ \"c\" (d) 100%\r\n")
                self.run_launcher(app, tail)  # the stand-in copies nothing: Java cannot start
                call = self.copy_call()
                source, target = app.win() + road.source, app.win() + road.target
                self.assertEqual(call["argv"], ["XCOPY", "/E", "/Q", "/H", "/I", "/Y", "/D",
                                                source, target])
                if direct:
                    self.assertTrue(call["commandLine"].endswith(
                        ' /E /Q /H /I /Y /D "%s" "%s"' % (source, target)), call["commandLine"])
                    self.assertEqual(call["currentDirectory"] + "\\", app.win())
                    self.assertEqual(call["showWindow"], harness.SW_HIDE)
                else:
                    self.assertEqual(call["commandLine"],
                                     '"XCOPY" /E /Q /H /I /Y /D "%s" "%s"' % (source, target))
                    self.assertEqual(call["currentDirectory"], harness.win_path(app.root))


def mount_tmpfs(directory, size):
    return subprocess.run(["mount", "-t", "tmpfs", "-o", "size=" + size, "tmpfs", directory],
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT)


def unmount(directory):
    subprocess.run(["umount", directory], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


class SpaceCheckTest(StagingTestCase):
    """The launcher's directory is a tmpfs mount point of its own; the runtime beside it, on the
    ordinary disk, is padded with sparse files to the sizes a case needs."""

    @classmethod
    def setUpClass(cls):
        probe = tempfile.mkdtemp(prefix="e2e-mount-")
        try:
            mounted = mount_tmpfs(probe, "1m")
            if mounted.returncode != 0:
                raise unittest.SkipTest("cannot mount a tmpfs volume here (it needs root): %s"
                                        % mounted.stdout.decode(errors="replace").strip())
            unmount(probe)
        finally:
            os.rmdir(probe)

    def small_volume(self, size, road, executable="update"):
        base = tempfile.mkdtemp(prefix="e2e-")
        self.addCleanup(shutil.rmtree, base, True)
        volume = os.path.join(base, "t", *LAUNCHER_SUBDIR.split("\\"))
        os.makedirs(volume)
        mounted = mount_tmpfs(volume, size)
        self.assertEqual(mounted.returncode, 0, mounted.stdout)
        self.addCleanup(unmount, volume)
        app, java = self.staged(road, executable, base=base)
        return app, java

    def free_megabytes(self, app):
        volume = os.statvfs(app.dir)
        return volume.f_bfree * volume.f_frsize // MB

    def pad_runtime(self, app, road, size):
        """Adds a sparse file that brings the runtime to exactly |size| bytes."""
        sparse_file(app.path(road.source + "\\lib\\padding.bin"),
                    size - tree_bytes(app.path(road.source)))

    def assertRefused(self, result, app, road, title, text, exit_code=1):
        self.assertEqual(result.boxes, [harness.Box(title, text)])
        self.assertEqual(result.exit_code, exit_code)
        self.assertEqual(result.log, probe_lines(app, road.probe) + text.encode() + b"\n")
        self.assertFalse(os.path.exists(app.path(road.target)), "copied despite the shortage")

    def test_shortage_is_refused_with_the_localized_texts(self):
        road = STAGED_ROADS["java\\jre"]

        def deep_file(app):
            deep = "\\".join(["level-%02d-%s" % (i, "d" * 40) for i in range(7)])
            sparse_file(app.path(road.source + "\\lib\\" + deep + "\\big.bin"), 150 * MB)

        def link_back_up(app):
            os.symlink("../..", app.path(road.java_dir + "\\up"))
            sparse_file(app.path(road.source + "\\lib\\big.bin"), 150 * MB)

        cases = [
            ("150 MB over several depths",
             lambda app: (sparse_file(app.path(road.source + "\\lib\\rt.bin"), 100 * MB),
                          sparse_file(app.path(road.source + "\\jre\\lib\\a\\b\\c.bin"),
                                      50 * MB))),
            ("a path beyond 260 characters", deep_file),
            ("a link back up the tree counts as nothing", link_back_up),
            ("a file of 5 GiB", lambda app: sparse_file(app.path(road.source + "\\x.bin"),
                                                       5 << 30)),
        ]
        for name, build in cases:
            with self.subTest(name):
                app, java = self.small_volume("8m", road)
                build(app)
                java.set_output(TITLE_KEY, stderr=b"Erreur\r\n")
                required = tree_bytes(app.path(road.source)) // MB
                key = "uninstall.insufficientSpace%d" % required
                java.set_output(key, stdout=b"Espace insuffisant :  %d Mo\r\n" % required)
                self.assertEqual(tree_bytes(app.path(road.source)) // MB, required)
                result = self.run_launcher(app)
                self.assertRefused(result, app, road, "Erreur ",
                                   "Espace insuffisant : %d Mo " % required)
                self.assertEqual([c["commandLine"] for c in result.calls[road.java_dir]],
                                 [lookup_line(app, "update.jar", key),
                                  lookup_line(app, "update.jar", TITLE_KEY)])

    def test_english_texts_when_java_cannot_run(self):
        road = STAGED_ROADS["jre"]
        app, _ = self.small_volume("8m", road, "install")
        with open(app.path(road.java_dir + "\\java.exe"), "wb") as f:
            f.write(b"not a program")
        self.pad_runtime(app, road, 150 * MB)
        result = self.run_launcher(app)
        self.assertRefused(result, app, road, ENGLISH_TITLE,
                           "Insufficient Space to initialize uninstall.  Required space : 150 MB")
        self.assertEqual(result.stdout, b"createprocess failed\r\n" * 2)

    def test_free_megabytes_against_required_megabytes(self):
        road = STAGED_ROADS["java"]
        english = "Insufficient Space to initialize uninstall.  Required space : %d MB"
        cases = [
            # name, volume size, runtime bytes for the free megabytes (None: as built), and
            # the megabytes shown for them (None: the copy goes ahead)
            ("a tie: one more than free is shown", "8m", lambda free: free * MB, lambda f: f + 1),
            ("a tie just under the next megabyte", "8m", lambda free: free * MB + MB - 1,
             lambda f: f + 1),
            ("under 1 MB free, under 1 MB required", "1m", None, lambda f: 1),
            ("one megabyte less than free", "8m", lambda free: (free - 1) * MB, None),
            ("more than 2^31 MB free", "3P", lambda free: 2 * MB, None),
        ]
        for name, size, required, shown in cases:
            with self.subTest(name):
                app, java = self.small_volume(size, road)
                free = self.free_megabytes(app)
                if shown is None:
                    java.set_exit_code(5)
                else:
                    with open(app.path(road.java_dir + "\\java.exe"), "wb") as f:
                        f.write(b"not a program")
                if required is not None:
                    self.pad_runtime(app, road, required(free))
                if shown is None:
                    result = self.run_launcher(app)
                    self.assertLaunched(result, 5)
                    self.assertCopied(app, road)
                else:
                    self.assertEqual(tree_bytes(app.path(road.source)) // MB, shown(free) - 1)
                    result = self.run_launcher(app)
                    self.assertRefused(result, app, road, ENGLISH_TITLE, english % shown(free))


if __name__ == "__main__":
    unittest.main()

"""Runs the x64 launchers under Wine in small directory trees and reports what they did.

A test builds a launcher directory, puts the stand-in java.exe where discovery should (or should
not) find it, runs the launcher with an exact command line and compares bytes:

    class ExampleTest(harness.LauncherTestCase):
        def test_plain_run(self):
            app = self.launcher("update")              # <tmp>/t/app/update.exe
            app.add_java("java\\bin", exit_code=7)     # <tmp>/t/app/java/bin/java.exe
            result = app.run("-is:log l.txt a")
            self.assertEqual(result.exit_code, 7)
            self.assertEqual(result.call["argv"][-1], "a")
            self.assertEqual(result.read("l.txt"), b"Looking for Java in: ...")

Relative paths are written the Windows way (backslashes, ".." allowed) and are relative to the
launcher's directory. Linux /tmp/x is Z:\\tmp\\x under Wine; win_path() converts.

What a run gives (LaunchResult): the full 32-bit exit code, the message boxes in order (each
pressed OK by the runner), the launcher's standard output and error as bytes, every call that any
stand-in java.exe in the tree recorded, and files of the tree as bytes.

The stand-in java.exe (tests/e2e/windows/fake_java.cpp) records its raw command line, current
directory, show state and C run-time argv; exits with the code in java-exit-code.txt beside it;
and writes java-output/<last argument>.stdout / .stderr, when present, to its standard output /
error (JavaStandIn.set_output).

Also at hand: run(command_line=...) for a whole command line of the test's own making (the
system takes up to 32,767 characters), LauncherDir(base=...) for several launchers in one tree,
run_program() for any Windows program through the runner (boxes answered, output captured),
drive_c() for files on the prefix's C: drive (cmd.exe and xcopy.exe are in windows\system32).

The Wine session (prefix, display, wineserver) comes from the file named by E2E_STATE, which
wine_session.py writes; ctest sets it up once per run. E2E_KEEP=1 keeps the trees of a run.
"""

import atexit
import json
import os
import select
import shutil
import subprocess
import tempfile
import time
import unittest
from dataclasses import dataclass, field

import wine_session

CALLS_FILE = "java-calls.jsonl"
EXIT_CODE_FILE = "java-exit-code.txt"
OUTPUT_DIR = "java-output"

# The java.exe locations a launcher tries, relative to its directory, in the order it tries them.
INSTALL_PROBES = [
    "java\\jre\\bin\\java.exe",
    "java\\bin\\java.exe",
    "..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe",
]
UNINSTALL_PROBES = [
    "java\\jre\\bin\\java.exe",
    "java\\bin\\java.exe",
    "jre\\bin\\java.exe",
    "..\\java\\jre\\bin\\java.exe",
    "..\\java\\bin\\java.exe",
    "..\\jre\\bin\\java.exe",
]

SW_HIDE = 0
SW_SHOWNORMAL = 1


def win_path(linux_path):
    """Returns the Windows form of an absolute Linux path: /tmp/x is Z:\\tmp\\x."""
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def _linux_relative(relative):
    return relative.replace("\\", "/")


_state = None


def session():
    """Returns the Wine session's state: prefix, display and the x64 build directory."""
    global _state
    if _state is None:
        path = os.environ.get("E2E_STATE")
        if not path or not os.path.isfile(path):
            raise RuntimeError(
                "No Wine session: run through ctest, or set E2E_STATE to the state file of "
                "`python3 wine_session.py setup` (see wine_session.py)")
        with open(path) as f:
            _state = json.load(f)
    return _state


def program(name):
    """Returns the Linux path of a Windows-side program of the build (wine_session.PROGRAMS)."""
    return os.path.join(session()["windows_build"], wine_session.PROGRAMS[name])


def wine_environment():
    state = session()
    return wine_session.wine_environment(state["prefix"], state["display"])


def drive_c(relative):
    """Linux path of C:\\<relative> in the session's prefix (shared by the run: tests that put
    files there remove them again)."""
    return os.path.join(session()["prefix"], "drive_c", _linux_relative(relative))


def split_java_call(call):
    """Returns (program, parameters) of a stand-in call's raw command line, which the shell
    builds as the quoted program, one blank and the parameter string."""
    line = call["commandLine"]
    end = line.find('"', 1)
    if not line.startswith('"') or end < 0 or line[end + 1:end + 2] != " ":
        raise AssertionError("unexpected command line: %r" % line)
    return line[1:end], line[end + 2:]


@dataclass
class Box:
    title: str
    text: str


@dataclass
class RunResult:
    """What one program run through the runner did."""

    exit_code: int
    timed_out: bool
    boxes: list
    stdout: bytes
    stderr: bytes


class _Runner:
    """One e2e_runner.exe in serve mode for the whole test process: starting a Windows process
    costs more than most of the runs it would make."""

    def __init__(self):
        self.process = None
        self.errors = None
        atexit.register(self.close)

    def run(self, request, time_limit):
        if self.process is None or self.process.poll() is not None:
            self.errors = tempfile.TemporaryFile()
            self.process = subprocess.Popen(
                [wine_session.WINE, program("runner"), "--serve"], env=wine_environment(),
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.errors)
        self.process.stdin.write(request.encode("utf-8") + b"\n")
        self.process.stdin.flush()
        answer = b""
        deadline = time.monotonic() + time_limit
        while not answer.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            ready = remaining > 0 and select.select([self.process.stdout], [], [], remaining)[0]
            chunk = os.read(self.process.stdout.fileno(), 64) if ready else b""
            if not chunk:
                self.close()
                raise RuntimeError("e2e_runner did not answer %s in time" % request)
            answer += chunk
        if answer.strip() != b"done":
            self.errors.seek(0)
            raise RuntimeError("e2e_runner could not run %s: %s" % (
                request, self.errors.read()[-2000:].decode("utf-8", "replace")))

    def close(self):
        if self.process is not None:
            self.process.stdin.close()
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
            self.process = None


_runner_instance = None


def _runner():
    global _runner_instance
    if _runner_instance is None:
        _runner_instance = _Runner()
    return _runner_instance


def run_program(program_path, command_line, cwd, work_dir, time_limit=60):
    """Starts the Windows program at Linux path |program_path| with the exact |command_line|
    (program name included; the text reaches CreateProcessW unchanged) in the Linux directory
    |cwd|, with standard output and error on files, and answers its message boxes with OK.
    |work_dir| holds the runner's files. A program still running after |time_limit| seconds is
    terminated (RunResult.timed_out)."""
    os.makedirs(work_dir, exist_ok=True)
    files = {k: os.path.join(work_dir, k) for k in ("request", "stdout", "stderr", "result")}
    for path in files.values():
        if os.path.exists(path):
            os.remove(path)
    header = [win_path(program_path), win_path(cwd), win_path(files["stdout"]),
              win_path(files["stderr"]), win_path(files["result"]), str(int(time_limit * 1000))]
    with open(files["request"], "wb") as f:
        f.write(("\n".join(header) + "\n" + command_line).encode("utf-8"))
    _runner().run(win_path(files["request"]), time_limit + 60)
    with open(files["result"], encoding="utf-8") as f:
        result = json.load(f)

    def read(path):
        with open(path, "rb") as f:
            return f.read()

    return RunResult(
        exit_code=result["exitCode"],
        timed_out=result["timedOut"],
        boxes=[Box(b["title"], b["text"]) for b in result["boxes"]],
        stdout=read(files["stdout"]),
        stderr=read(files["stderr"]),
    )


@dataclass
class LaunchResult(RunResult):
    """A launcher run, with what the stand-ins recorded and access to the tree's files."""

    calls: dict = field(default_factory=dict)  # stand-in directory (relative, Windows) -> calls
    launcher_dir: str = ""

    @property
    def all_calls(self):
        return [c for calls in self.calls.values() for c in calls]

    @property
    def call(self):
        """The one stand-in call of the run; fails when there were none or several."""
        calls = self.all_calls
        if len(calls) != 1:
            raise AssertionError("expected one java.exe call, got %d: %r" % (len(calls), self.calls))
        return calls[0]

    def read(self, relative):
        """Returns the bytes of a file relative to the launcher directory, or None."""
        path = os.path.join(self.launcher_dir, _linux_relative(relative))
        if not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()


class JavaStandIn:
    """A stand-in java.exe placed in a launcher tree."""

    def __init__(self, directory):
        self.directory = directory  # Linux path of the directory that holds java.exe

    def set_exit_code(self, code):
        """Makes the stand-in exit with |code| (0..4294967295); None restores 0."""
        path = os.path.join(self.directory, EXIT_CODE_FILE)
        if code is None:
            if os.path.exists(path):
                os.remove(path)
        else:
            with open(path, "w") as f:
                f.write(str(code))

    def set_output(self, last_argument, stdout=None, stderr=None):
        """Makes the stand-in write these bytes to its standard output / error whenever its last
        argument is |last_argument|."""
        out_dir = os.path.join(self.directory, OUTPUT_DIR)
        os.makedirs(out_dir, exist_ok=True)
        for suffix, data in ((".stdout", stdout), (".stderr", stderr)):
            if data is not None:
                with open(os.path.join(out_dir, last_argument + suffix), "wb") as f:
                    f.write(data)


class LauncherDir:
    """A temporary tree with one launcher in it.

    The tree's root is <tmp>/t; the launcher lies in <root>/<subdir> (subdir may be nested, e.g.
    "media\\uninstall", or "" for the root itself). The runner's own files live outside the tree.
    """

    def __init__(self, executable="update", subdir="app", file_name=None, base=None):
        self.base = base or tempfile.mkdtemp(prefix="e2e-")
        self.root = os.path.join(self.base, "t")
        self.dir = os.path.normpath(os.path.join(self.root, _linux_relative(subdir)))
        os.makedirs(self.dir, exist_ok=True)
        self.exe = os.path.join(self.dir, file_name or executable + ".exe")
        shutil.copyfile(program(executable), self.exe)

    # Paths -------------------------------------------------------------------------------------

    def path(self, relative=""):
        """Linux path of |relative| (Windows form, relative to the launcher directory)."""
        return os.path.normpath(os.path.join(self.dir, _linux_relative(relative)))

    def win(self, relative=""):
        """Windows path of |relative|; the launcher directory itself ends with a backslash."""
        if relative == "":
            return win_path(self.dir) + "\\"
        return win_path(self.path(relative))

    # Building the tree -------------------------------------------------------------------------

    def add_file(self, relative, content=b""):
        """Creates a file (and its directories); |content| is bytes or text (UTF-8)."""
        path = self.path(relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content.encode() if isinstance(content, str) else content)
        return path

    def add_dir(self, relative):
        path = self.path(relative)
        os.makedirs(path, exist_ok=True)
        return path

    def add_java(self, directory="java\\bin", exit_code=None):
        """Puts a stand-in java.exe into |directory| and returns it (JavaStandIn)."""
        target = self.add_dir(directory)
        shutil.copyfile(program("fake_java"), os.path.join(target, "java.exe"))
        java = JavaStandIn(target)
        java.set_exit_code(exit_code)
        return java

    # Running -----------------------------------------------------------------------------------

    def command_line(self, tail):
        """The full command line for |tail|: the quoted launcher path, a blank and the tail."""
        return '"%s" %s' % (win_path(self.exe), tail) if tail else '"%s"' % win_path(self.exe)

    def run(self, tail="", command_line=None, cwd=None, time_limit=60):
        """Runs the launcher with |tail| after its quoted path (or the whole |command_line|) in
        |cwd| (Linux path; default the tree's root) and returns a LaunchResult. Stand-in calls
        recorded by earlier runs are cleared first."""
        for directory, _, files in os.walk(self.root):
            if CALLS_FILE in files:
                os.remove(os.path.join(directory, CALLS_FILE))
        result = run_program(
            self.exe, self.command_line(tail) if command_line is None else command_line,
            cwd or self.root, os.path.join(self.base, "runner"), time_limit)
        calls = {}
        for directory, _, files in os.walk(self.root):
            if CALLS_FILE in files:
                with open(os.path.join(directory, CALLS_FILE), encoding="utf-8") as f:
                    relative = os.path.relpath(directory, self.dir).replace("/", "\\")
                    calls[relative] = [json.loads(line) for line in f if line.strip()]
        return LaunchResult(**vars(result), calls=calls, launcher_dir=self.dir)

    def remove(self):
        if not os.environ.get("E2E_KEEP"):
            shutil.rmtree(self.base, ignore_errors=True)


class LauncherTestCase(unittest.TestCase):
    """A TestCase whose launcher trees are removed after each test."""

    maxDiff = None

    def launcher(self, executable="update", subdir="app", file_name=None, base=None):
        """A new launcher tree (see LauncherDir); |base| puts it into the tree of another."""
        tree = LauncherDir(executable, subdir, file_name, base)
        self.addCleanup(tree.remove)
        return tree

    def assertLaunched(self, result, exit_code=0):
        """The run ended by itself with |exit_code| and showed no box."""
        self.assertFalse(result.timed_out, "the launcher had to be terminated")
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.exit_code, exit_code)

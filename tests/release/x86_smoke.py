#!/usr/bin/env python3
"""Runs the shipped 32-bit x86 launchers under Wine with user-mode emulation.

This machine's kernel cannot run 32-bit code, so the 32-bit Wine loader runs under
qemu-i386-static, registered for 32-bit ELF files in binfmt_misc. Every 32-bit program start
takes about a minute there, so the set is small and its cases run side by side: a plain launch
with runtime discovery and the launch log, a fatal error box, and a Java exit code above 255
(with the install failure hint). Only the launchers are 32-bit: the end-to-end tests' stand-in
java.exe and runner (which starts a launcher, presses OK on its boxes and reads its full exit
code) are x64 programs in a 64-bit prefix, so they run at native speed. They come from the x64
build directory, and are built there when missing.

As root on Debian it installs what it needs (the i386 architecture, wine32:i386,
qemu-user-static). When the kernel allows it, the emulator is registered in a private
binfmt_misc instance of a user namespace of its own, so that nothing else on the machine starts
running 32-bit programs under emulation; otherwise it registers it machine-wide and removes the
registration when done. Exit status 77 means the run was skipped (not root, packages missing).

Usage: x86_smoke.py [--exe-dir DIR] [--windows-build DIR]
  --exe-dir        the launchers (default: dist/x86, built by ./build.sh when missing)
  --windows-build  the x64 build directory with the test helpers (default: build/x64)
Set X86_SMOKE_PREFIX to a directory to keep the Wine prefix between runs (it takes minutes to
initialise); by default each run makes a new one and removes it.
"""

import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
# The end-to-end tests' helpers: where they lie in the x64 build, how to build them, their files.
import harness  # noqa: E402
import wine_session  # noqa: E402

SKIP = 77
# A 32-bit program start takes about a minute under emulation; a hanging launcher fails the case.
TIME_LIMIT_MS = 30 * 60 * 1000

WINE64 = "/usr/lib/wine/wine64"
WINE32 = "/usr/lib/wine/wine"
WINESERVER = "/usr/lib/wine/wineserver"
QEMU = "/usr/bin/qemu-i386-static"
BINFMT = Path("/proc/sys/fs/binfmt_misc")
BINFMT_NAME = "launcher-x86-smoke"
# 32-bit x86 ELF executables and shared objects (e_machine 3), as the emulator's own rules say.
BINFMT_RULE = (
    f":{BINFMT_NAME}:M::"
    r"\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:"
    r"\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:"
    f"{QEMU}:F"
)
PACKAGES = ["wine32:i386", "qemu-user-static"]

HINT_TITLE = "Installation Wizard for Mendora 7.0"
HINT_TEXT = (
    'Please check for log files in the "mendlogs" subdirectory of the current user\'s home '
    "directory.\nIf no logs have been produced there, please try running the install command "
    "again, with this additional parameter:   -is:javaconsole"
)


def log(message):
    print(f"[x86-smoke {time.strftime('%H:%M:%S')}] {message}", flush=True)


# --- preparing the machine ---------------------------------------------------------------------


def packages_missing():
    return not (Path(WINE32).exists() and Path(QEMU).exists())


def install_packages():
    if not packages_missing():
        return True
    if os.geteuid() != 0 or not shutil.which("apt-get"):
        print("x86 smoke skipped: needs " + " ".join(PACKAGES) + " (run as root to install them)")
        return False
    log("installing " + " ".join(PACKAGES))
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    arches = subprocess.run(["dpkg", "--print-foreign-architectures"], capture_output=True,
                            text=True, check=True).stdout.split()
    if "i386" not in arches:
        subprocess.run(["dpkg", "--add-architecture", "i386"], check=True)
    subprocess.run(["apt-get", "update", "-qq"], check=True, env=env)
    subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", *PACKAGES],
                   check=True, env=env, stdout=subprocess.DEVNULL)
    return True


def register_emulator():
    """Registers qemu for 32-bit ELF files; returns a function that undoes what it did."""
    # In a namespace of its own a fresh instance goes on top of whatever the machine has.
    if in_private_namespace() or not (BINFMT / "register").exists():
        subprocess.run(["mount", "-t", "binfmt_misc", "binfmt_misc", str(BINFMT)], check=True)
    entry = BINFMT / BINFMT_NAME
    if entry.exists():
        return lambda: None
    (BINFMT / "register").write_text(BINFMT_RULE)

    def unregister():
        if entry.exists():
            entry.write_text("-1")

    return unregister


def in_private_namespace():
    return os.environ.get("X86_SMOKE_NAMESPACE") == "1"


def reexec_in_private_namespace():
    """Runs this script again in a user and mount namespace with a binfmt_misc of its own.
    Returns its exit status, or None when the kernel does not offer that."""
    probe = subprocess.run(
        ["unshare", "--user", "--map-root-user", "--mount", "sh", "-c",
         f"mount -t binfmt_misc binfmt_misc {BINFMT} && test -e {BINFMT}/register"],
        capture_output=True)
    if probe.returncode != 0:
        return None
    env = dict(os.environ, X86_SMOKE_NAMESPACE="1")
    command = ["unshare", "--user", "--map-root-user", "--mount", "--", sys.executable,
               *sys.argv]
    child = subprocess.Popen(command, env=env)
    # A time-out of the test runner must reach the run inside, so that it ends its Wine.
    signal.signal(signal.SIGTERM, lambda *_: child.send_signal(signal.SIGTERM))
    return child.wait()


# --- the Windows side --------------------------------------------------------------------------


def find_helpers(windows_build):
    """The x64 stand-in java.exe and runner of the end-to-end tests, built when missing; None
    when they cannot be had."""
    helpers = [windows_build / wine_session.PROGRAMS[name] for name in ("fake_java", "runner")]
    if not all(helper.exists() for helper in helpers):
        log(f"building the test helpers in {windows_build}")
        wine_session.build_helpers(str(windows_build), subprocess.DEVNULL)
    if not all(helper.exists() for helper in helpers):
        print(f"no {' and '.join(map(str, helpers))}: build the x64 preset first (./build.sh)")
        return None
    return helpers


class Wine:
    def __init__(self, prefix, display):
        self.env = wine_session.wine_environment(str(prefix), display)

    def init_prefix(self):
        subprocess.run([WINE64, "wineboot", "-i"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=self.env, check=True)

    def run(self, argv):
        return subprocess.run([WINE64, *argv], env=self.env, capture_output=True, text=True,
                              encoding="utf-8", errors="replace")

    def stop(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL)
        # A 32-bit program still loading under emulation has not met the server yet, so the
        # server cannot end it: find every process of this prefix by its environment.
        marker = f"WINEPREFIX={self.env['WINEPREFIX']}".encode()
        for entry in Path("/proc").iterdir():
            try:
                if entry.name.isdigit() and marker in (entry / "environ").read_bytes().split(b"\0"):
                    os.kill(int(entry.name), signal.SIGKILL)
            except OSError:
                pass


# --- the cases ---------------------------------------------------------------------------------
#
# Each case lays out a directory (the launcher, and the stand-in at a runtime location when
# given, with the exit code it is to return), starts the launcher with its quoted path and the
# arguments in that directory, and compares what the runner saw (boxes, exit code), what the
# stand-in received (command line, working directory) and the launch log with the table.
# In the expected texts, {dir} is the case directory as Windows sees it.


def probe_lines(*relative):
    return "".join(f"Looking for Java in: {{dir}}\\{path}\n" for path in relative)


JRE, BIN, JDK = (r"java\jre\bin\java.exe", r"java\bin\java.exe",
                 r"..\JDK\jre.pak\repository\package.java.jre\java\jre\bin\java.exe")

CASES = [
    {
        "name": "plain launch: discovery, launch log, arguments for Java",
        "exe": "update.exe",
        "java_at": BIN,
        "java_exit": None,
        "args": '-is:log launch.log plain "two words" -Xmx 1g',
        "boxes": [],
        "exit": 0,
        "received": [
            '"{dir}\\' + BIN + '" -Xms256m -Xmx1g  -cp update.jar run  plain "two words"',
            "{dir}",
        ],
        "log": probe_lines(JRE, BIN) + "Using java in {dir}\\" + BIN,
    },
    {
        "name": "fatal error: no runtime",
        "exe": "update.exe",
        "java_at": None,
        "java_exit": None,
        "args": "-is:log launch.log",
        "boxes": [("Java Not Found", "Java could not be found, please specify -is:javahome "
                   "<java_home_dir>")],
        "exit": 1,
        "received": None,
        "log": probe_lines(JRE, BIN, JDK)
        + "Java could not be found, please specify -is:javahome <java_home_dir>\n",
    },
    {
        "name": "exit code above 255 and the install failure hint",
        "exe": "install.exe",
        "java_at": JRE,
        "java_exit": 70000,
        "args": "fails",
        "boxes": [(HINT_TITLE, HINT_TEXT)],
        "exit": 70000,
        "received": ['"{dir}\\' + JRE + '" -Xms256m -Xmx512m  -cp setup.jar run  fails', "{dir}"],
        "log": None,
    },
]


def run_launcher(wine, runner, launcher, arguments, work):
    """Runs |launcher| in its own directory with the command line of its quoted path and
    |arguments|, through the runner's request file in |work|. Returns the runner's result
    (exitCode, timedOut, boxes), or None, and what the runner wrote to its standard error."""
    work.mkdir()
    request, result = work / "request", work / "result.json"
    header = [harness.win_path(launcher), harness.win_path(launcher.parent),
              harness.win_path(work / "stdout"), harness.win_path(work / "stderr"),
              harness.win_path(result), str(TIME_LIMIT_MS)]
    command_line = f'"{harness.win_path(launcher)}" {arguments}'
    request.write_bytes(("\n".join(header) + "\n" + command_line).encode("utf-8"))
    run = wine.run([harness.win_path(runner), harness.win_path(request)])
    errors = run.stderr.strip()
    if run.returncode != 0:
        errors = f"runner exit status {run.returncode}: {errors}"
    return (json.loads(result.read_text(encoding="utf-8")) if result.exists() else None), errors


def run_case(wine, case, root, exe_dir, stand_in, runner):
    case_root = root / case["exe"].replace(".exe", "") / str(CASES.index(case))
    directory = case_root / "tree"
    directory.mkdir(parents=True)
    shutil.copy(exe_dir / case["exe"], directory / case["exe"])
    calls_file = None
    if case["java_at"]:
        java = directory / Path(case["java_at"].replace("\\", "/"))
        java.parent.mkdir(parents=True)
        shutil.copy(stand_in, java)
        if case["java_exit"] is not None:
            (java.parent / harness.EXIT_CODE_FILE).write_text(str(case["java_exit"]))
        calls_file = java.parent / harness.CALLS_FILE
    started = time.monotonic()
    result, errors = run_launcher(wine, runner, directory / case["exe"], case["args"],
                                  case_root / "runner")
    seconds = time.monotonic() - started

    def fill(text):
        return text.replace("{dir}", harness.win_path(directory))

    calls = ([json.loads(line) for line in calls_file.read_text(encoding="utf-8").splitlines()]
             if calls_file and calls_file.exists() else [])
    expected = {
        "runner": {"boxes": case["boxes"], "exit": case["exit"], "timed out": False},
        "received": [[fill(line) for line in case["received"]]] if case["received"] else [],
        "log": fill(case["log"]) if case["log"] is not None else None,
    }
    log_file = directory / "launch.log"
    actual = {
        "runner": result and {"boxes": [(box["title"], box["text"]) for box in result["boxes"]],
                              "exit": result["exitCode"], "timed out": result["timedOut"]},
        "received": [[call["commandLine"], call["currentDirectory"]] for call in calls],
        "log": (log_file.read_bytes().decode("cp1252") if log_file.exists() else None),
    }
    failures = [f"  {key}:\n    expected {expected[key]!r}\n    actual   {actual[key]!r}"
                for key in expected if expected[key] != actual[key]]
    if errors:
        failures.append("  runner: " + errors)
    return case["name"], seconds, failures


# --- main --------------------------------------------------------------------------------------


def start_display():
    read_fd, write_fd = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                               "1024x768x24", "-nolisten", "tcp"],
                              pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    return server, f":{number}"


def smoke(exe_dir, stand_in, runner):
    started = time.monotonic()
    root = Path(tempfile.mkdtemp(prefix="x86-smoke-"))
    display_server, display = start_display()
    kept_prefix = os.environ.get("X86_SMOKE_PREFIX")
    prefix = Path(kept_prefix) if kept_prefix else root / "prefix"
    wine = Wine(prefix, display)
    undo_registration = register_emulator()
    try:
        if not (prefix / "system.reg").exists():
            # The prefix's 32-bit half is set up under emulation too: minutes, but without it
            # no 32-bit program loads.
            log(f"initialising the Wine prefix {prefix}")
            phase = time.monotonic()
            wine.init_prefix()
            log(f"prefix ready after {time.monotonic() - phase:.0f} s")
        log(f"running {len(CASES)} cases side by side")
        with ThreadPoolExecutor(max_workers=len(CASES)) as pool:
            outcomes = list(pool.map(
                lambda case: run_case(wine, case, root, exe_dir, stand_in, runner), CASES))
        failed = 0
        for name, seconds, failures in outcomes:
            print(f"{'FAIL' if failures else 'ok  '} {name} ({seconds:.0f} s)")
            for failure in failures:
                print(failure)
            failed += bool(failures)
        print(f"{len(CASES) - failed} passed, {failed} failed")
        log(f"whole smoke inside the namespace: {time.monotonic() - started:.0f} s")
        return 1 if failed else 0
    finally:
        wine.stop()
        display_server.terminate()
        display_server.wait()
        undo_registration()
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe-dir", type=Path, default=REPO / "dist" / "x86")
    parser.add_argument("--windows-build", type=Path, default=REPO / "build" / "x64")
    args = parser.parse_args()
    exe_dir = args.exe_dir.resolve()
    if in_private_namespace():
        # Ended from outside: clean up (Wine, the display, the registration) on the way out.
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        return smoke(exe_dir, *find_helpers(args.windows_build.resolve()))

    started = time.monotonic()
    if not all((exe_dir / exe).exists() for exe in ("update.exe", "install.exe")):
        if args.exe_dir.resolve() != (REPO / "dist" / "x86").resolve():
            print(f"no update.exe and install.exe in {exe_dir}")
            return 1
        subprocess.run([REPO / "build.sh"], check=True)
    helpers = find_helpers(args.windows_build.resolve())
    if helpers is None:
        return 1
    if not install_packages():
        return SKIP
    log(f"packages ready after {time.monotonic() - started:.0f} s")
    status = reexec_in_private_namespace()
    if status is None:
        if os.geteuid() != 0:
            print("x86 smoke skipped: registering the emulator needs root")
            return SKIP
        log("no private binfmt_misc here: registering the emulator machine-wide for this run")
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        status = smoke(exe_dir, *helpers)
    log(f"whole smoke, package installs included: {time.monotonic() - started:.0f} s")
    return status


if __name__ == "__main__":
    sys.exit(main())

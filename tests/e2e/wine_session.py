"""One Wine session for a whole end-to-end run: a prefix, an X display and a running wineserver.

Starting them costs seconds, so a run sets them up once and every test module reuses them:

    python3 wine_session.py setup   --state STATE.json --prefix DIR --windows-build BUILD/x64
    E2E_STATE=STATE.json python3 -m unittest test_launch_profiles
    python3 wine_session.py cleanup --state STATE.json

ctest does this through fixtures (tests/e2e/CMakeLists.txt). The prefix is created on first use
and kept between runs; the display and the wineserver belong to one run.

Every process started here has its standard streams on files or /dev/null: a daemon that inherits
ctest's output pipe would keep ctest waiting after the test has ended.
"""

import argparse
import json
import os
import signal
import subprocess
import sys

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"


def wine_environment(prefix, display):
    """Returns the environment for every Wine process of a session."""
    env = dict(os.environ)
    env.pop("LC_ALL", None)
    env.update(
        {
            "WINEPREFIX": prefix,
            "WINEDEBUG": "-all",
            # No Mono or Gecko installer prompt, no desktop menu entries.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            "DISPLAY": display,
            # Unix file names in UTF-8; the Windows side keeps the ANSI code page 1252.
            "LANG": "C.UTF-8",
        }
    )
    return env


def start_xvfb(log):
    """Starts Xvfb on a free display; returns (display, pid)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=[write_end],
        stdin=subprocess.DEVNULL,
        stdout=log,
        stderr=log,
        start_new_session=True,
    )
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        xvfb.kill()
        raise RuntimeError("Xvfb did not report a display")
    return ":" + number.decode().strip(), xvfb.pid


# The Windows-side programs that the tests need, relative to the x64 build directory.
PROGRAMS = {
    "update": "update/update.exe",
    "install": "install/install.exe",
    "fake_java": "tests/e2e/windows/fake_java.exe",
    "runner": "tests/e2e/windows/e2e_runner.exe",
}


def missing_programs(windows_build):
    return [p for p in PROGRAMS.values() if not os.path.isfile(os.path.join(windows_build, p))]


def build_helpers(windows_build, log):
    """Builds the test helpers in an x64 build directory that was configured before they
    existed: its build files do not know them until CMake runs again."""
    if not os.path.isfile(os.path.join(windows_build, "CMakeCache.txt")):
        return
    for command in (["cmake", windows_build],
                    ["cmake", "--build", windows_build, "--target", "fake_java", "e2e_runner"]):
        subprocess.run(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log)


def setup(state_path, prefix, windows_build):
    if missing_programs(windows_build):
        with open(state_path + ".build.log", "wb") as log:
            build_helpers(windows_build, log)
    missing = missing_programs(windows_build)
    if missing:
        raise SystemExit(
            "Missing in %s: %s. Build the x64 preset first (./build.sh); see %s.build.log"
            % (windows_build, ", ".join(missing), state_path))
    if os.path.exists(state_path):
        cleanup(state_path)  # left over from a run that did not finish
    os.makedirs(prefix, exist_ok=True)
    log_path = state_path + ".log"
    with open(log_path, "wb") as log:
        display, xvfb_pid = start_xvfb(log)
        env = wine_environment(prefix, display)
        try:
            # Persistent until `wineserver -k`; a server that still runs for this prefix stays.
            subprocess.run([WINESERVER, "-p"], env=env, stdin=subprocess.DEVNULL, stdout=log,
                           stderr=log, start_new_session=True)
            # wineboot also starts the prefix's services and the desktop process, with streams
            # that lead nowhere; tests that come later find them running.
            subprocess.run([WINE, "wineboot", "-i"], env=env, stdin=subprocess.DEVNULL,
                           stdout=log, stderr=log, check=True, timeout=600)
        except BaseException:
            os.kill(xvfb_pid, signal.SIGTERM)
            raise
    state = {
        "prefix": prefix,
        "display": display,
        "xvfb_pid": xvfb_pid,
        "windows_build": os.path.abspath(windows_build),
    }
    with open(state_path, "w") as f:
        json.dump(state, f)
    print("Wine session ready: prefix %s, display %s" % (prefix, display))


def cleanup(state_path):
    try:
        with open(state_path) as f:
            state = json.load(f)
    except FileNotFoundError:
        print("No Wine session to end")
        return
    env = wine_environment(state["prefix"], state["display"])
    subprocess.run([WINESERVER, "-k"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        os.kill(state["xvfb_pid"], signal.SIGTERM)
    except ProcessLookupError:
        pass
    os.remove(state_path)
    print("Wine session ended")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("action", choices=["setup", "cleanup"])
    parser.add_argument("--state", required=True, help="file that holds the session's state")
    parser.add_argument("--prefix", help="WINEPREFIX, created when missing (setup)")
    parser.add_argument("--windows-build", help="build directory of the x64 executables (setup)")
    args = parser.parse_args()
    if args.action == "setup":
        if not args.prefix or not args.windows_build:
            parser.error("setup needs --prefix and --windows-build")
        setup(os.path.abspath(args.state), os.path.abspath(args.prefix), args.windows_build)
    else:
        cleanup(os.path.abspath(args.state))


if __name__ == "__main__":
    sys.exit(main())

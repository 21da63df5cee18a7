#!/usr/bin/env python3
"""The launchers' benchmarks: every figure is measured side by side in one run and reported as a
ratio against its reference, with the target it should meet. Run through bench/run.sh.

- Start-up: the x64 launcher starting a java.exe that exits at once, against the floor (a minimal
  program that starts the same java.exe with ShellExecuteExW and waits) and against a .cmd file
  that starts it with the same arguments. Under Wine, timed by a Windows-side runner.
- Command-line work at 10, 1,000 and 10,000 arguments, natively: instruction counts (callgrind),
  which a busy machine does not change, and CPU times (Google Benchmark) beside them.
- The uninstall tree walk on 20,000 generated files, against a minimal walker. Under Wine.
- Footprint: the size of each executable and the DLLs that it imports.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
JAVA_TAIL = ["first", "second", "third"]
JAVA_LINE = "-Xms256m -Xmx512m  -cp update.jar run  " + " ".join(JAVA_TAIL)
ARGUMENT_COUNTS = (10, 1000, 10000)
TREE_SHAPE = (20, 10, 100)  # top directories x subdirectories x files: 20,000 files
# DLLs that every Windows installation has: the launchers may import these and nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "shell32.dll", "shlwapi.dll", "msvcrt.dll",
               "advapi32.dll", "gdi32.dll", "ole32.dll", "ntdll.dll"}


def say(text):
    print(text, file=sys.stderr, flush=True)


def run(command, **kwargs):
    return subprocess.run([str(part) for part in command], check=True, **kwargs)


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def spread(samples):
    samples = [sample for sample in samples if sample is not None]
    return statistics.median(samples), min(samples), max(samples)


def paired_ratio(samples, name, reference):
    """The median of the ratios of runs made in the same round: a load that comes and goes on a
    shared machine then weighs on both sides of each ratio alike. Rounds in which either run
    failed (None) are left out."""
    return statistics.median(a / b for a, b in zip(samples[name], samples[reference])
                             if a is not None and b is not None)


# --- building ----------------------------------------------------------------------------------


def quietly(command):
    """Runs a build step; its output is shown only when it fails."""
    result = subprocess.run([str(part) for part in command], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        raise SystemExit(f"{result.stdout}\nfailed: {' '.join(map(str, command))}")


def build(native_dir, windows_dir):
    say("building: dist/ (./build.sh), the native and the Windows benchmark programs")
    quietly([REPO / "build.sh"])
    if not (native_dir / "build.ninja").exists():
        quietly(["cmake", "-S", REPO, "-B", native_dir, "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=Release", "-DLAUNCHER_SANITIZE=OFF"])
    quietly(["cmake", "--build", native_dir, "--target", "command_line_bench"])
    if not (windows_dir / "build.ninja").exists():
        quietly(["cmake", "-S", REPO / "bench" / "windows", "-B", windows_dir, "-G", "Ninja",
                 f"-DCMAKE_TOOLCHAIN_FILE={REPO / 'cmake' / 'mingw-x86_64.cmake'}",
                 "-DCMAKE_BUILD_TYPE=MinSizeRel"])
    quietly(["cmake", "--build", windows_dir])


# --- the measurements --------------------------------------------------------------------------


class Wine:
    def __init__(self, prefix):
        self.env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        self.env.update(WINEPREFIX=str(prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        # One server for the whole run, so that no measurement pays for starting it.
        prefix.mkdir()
        run([WINESERVER, "-p"], env=self.env)
        run([WINE64, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)

    def output(self, command, cwd):
        result = subprocess.run([WINE64, *map(str, command)], env=self.env, cwd=cwd,
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise SystemExit(f"{Path(command[0]).name} failed: {result.stderr.strip()}")
        return result.stdout

    def stop(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL)


def samples_by_name(output):
    samples = {}
    for line in output.splitlines():
        name, value = line.split()
        samples.setdefault(name, []).append(float(value))
    return samples


def startup(wine, work, windows_dir, rounds):
    app = work / "app"
    (app / "java" / "jre" / "bin").mkdir(parents=True)
    shutil.copy(windows_dir / "bench_java.exe", app / "java" / "jre" / "bin" / "java.exe")
    shutil.copy(REPO / "dist" / "x64" / "update.exe", app / "update.exe")
    shutil.copy(windows_dir / "floor.exe", app / "floor.exe")
    shutil.copy(windows_dir / "floor_createprocess.exe", app / "floor_createprocess.exe")
    (app / "launch.cmd").write_bytes(
        b'@"%~dp0java\\jre\\bin\\java.exe" -Xms256m -Xmx512m  -cp update.jar run  %*\r\n')
    tail = " ".join(JAVA_TAIL)
    programs = {
        "launcher": f'"{windows_path(app / "update.exe")}" {tail}',
        "floor": f'"{windows_path(app / "floor.exe")}" {JAVA_LINE}',
        "batch": f'C:\\windows\\system32\\cmd.exe /c {windows_path(app / "launch.cmd")} {tail}',
        # For reference: the launcher without the runtime search, and the floor started with
        # CreateProcessW, as cmd.exe starts the programs of a batch file.
        "javahome": f'"{windows_path(app / "update.exe")}" -is:javahome '
                    f'{windows_path(app / "java" / "jre")} {tail}',
        "floor_cp": f'"{windows_path(app / "floor_createprocess.exe")}" {JAVA_LINE}',
    }
    spec = work / "startup.txt"
    spec.write_text("".join(f"{name}\t{line}\n" for name, line in programs.items()))
    say(f"start-up: {rounds} rounds of the launcher, the floor, the batch file and two "
        "references under Wine")
    output = wine.output([windows_dir / "startup_bench.exe", windows_path(spec), rounds, 5],
                         cwd=app)
    # name -> one time per round, None where the run failed
    samples = {name: [None] * rounds for name in programs}
    for line in output.splitlines():
        round_number, name, value = line.split()
        if value != "failed":
            samples[name][int(round_number)] = float(value)
    return samples


def make_tree(root):
    top, middle, files = TREE_SHAPE
    total = 0
    for i in range(top):
        for j in range(middle):
            directory = root / f"dir{i:02}" / f"sub{j:02}"
            directory.mkdir(parents=True)
            for k in range(files):
                size = (i * 7919 + j * 104729 + k * 31) % 2048
                (directory / f"file{k:03}.dat").write_bytes(b"x" * size)
                total += size
    return total


def tree_walk(wine, work, windows_dir, rounds):
    tree = work / "volume" / "runtime"
    say(f"tree walk: generating {TREE_SHAPE[0] * TREE_SHAPE[1] * TREE_SHAPE[2]:,} files")
    expected_bytes = make_tree(tree)
    say(f"tree walk: {rounds} rounds of the launcher's walk and the minimal walker under Wine")
    output = wine.output([windows_dir / "tree_walk_bench.exe", windows_path(tree), rounds],
                         cwd=work)
    samples = samples_by_name(output)
    walked = int(samples.pop("bytes")[0])
    if walked != expected_bytes:
        raise SystemExit(f"the minimal walker counted {walked} bytes, the tree holds "
                         f"{expected_bytes}")
    return samples


def command_line(native_dir, min_time, repetitions):
    say("command-line work: 10, 1,000 and 10,000 arguments, natively")
    output = run([native_dir / "bench" / "command_line_bench", "--benchmark_format=json",
                  f"--benchmark_min_time={min_time}", f"--benchmark_repetitions={repetitions}"],
                 capture_output=True, text=True).stdout
    # The fastest repetition: what other work on the machine adds only ever slows a run down.
    times = {}
    for entry in json.loads(output)["benchmarks"]:
        if entry.get("run_type") != "iteration":
            continue
        name, arguments = entry["name"].split("/")[:2]
        by_count = times.setdefault(name, {})
        by_count[int(arguments)] = min(by_count.get(int(arguments), float("inf")),
                                       entry["cpu_time"])  # nanoseconds
    return times


def instruction_counts(native_dir):
    """Instructions of one run of each stage, counted by callgrind: unlike times, the same on a
    busy machine as on an idle one."""
    if not shutil.which("valgrind"):
        raise SystemExit("valgrind is needed for the instruction counts: "
                         "apt-get install -y --no-install-recommends valgrind")
    say("command-line work: instruction counts under callgrind")
    counts = {}
    for stage in ("tokenize", "tokenizeUnquoted", "extractOptions", "buildJvmLine",
                  "wholeCommandLine"):
        for arguments in ARGUMENT_COUNTS:
            result = run(["valgrind", "--tool=callgrind", "--instr-atstart=no",
                          "--callgrind-out-file=/dev/null",
                          native_dir / "bench" / "command_line_bench", "--count", stage,
                          arguments], capture_output=True, text=True)
            collected = [line for line in result.stderr.splitlines() if "Collected :" in line]
            counts.setdefault(stage, {})[arguments] = int(collected[0].split(":")[1])
    return counts


def footprint():
    rows = []
    for arch, objdump in (("x86", "i686-w64-mingw32-objdump"),
                          ("x64", "x86_64-w64-mingw32-objdump")):
        for exe in ("update.exe", "install.exe"):
            path = REPO / "dist" / arch / exe
            dump = run([objdump, "-p", path], capture_output=True, text=True).stdout
            dlls = sorted({line.split(":", 1)[1].strip() for line in dump.splitlines()
                           if "DLL Name:" in line}, key=str.lower)
            rows.append((arch, exe, path.stat().st_size, dlls))
    return rows


# --- the report --------------------------------------------------------------------------------


def verdict(met):
    return "met" if met else "MISSED"


def report(startup_samples, walk_samples, counts, times, sizes):
    lines = ["| Figure | Measured (median, min, max) | Ratio | Target | |",
             "|---|---|---|---|---|"]

    def milliseconds(name, samples):
        median, low, high = spread(samples[name])
        failed = samples[name].count(None)
        return (f"{name} {median:.1f} ms (min {low:.1f}, max {high:.1f}, "
                f"n={len(samples[name]) - failed}{f', {failed} FAILED' if failed else ''})")

    if startup_samples:
        floor = paired_ratio(startup_samples, "launcher", "floor")
        batch = paired_ratio(startup_samples, "launcher", "batch")
        lines.append(f"| Start-up: launcher / floor | {milliseconds('launcher', startup_samples)}"
                     f"; {milliseconds('floor', startup_samples)} | {floor:.3f} | "
                     f"<= 1.05 | {verdict(floor <= 1.05)} |")
        lines.append(f"| Start-up: launcher / batch file | "
                     f"{milliseconds('batch', startup_samples)} | {batch:.3f} | "
                     f"<= 1.00 | {verdict(batch <= 1.0)} |")
        # What stands between the launcher and the batch file: the start call itself, and the
        # launcher's own work before it.
        for name, reference, label in (
                ("floor", "batch", "floor / batch file"),
                ("floor_cp", "floor", "floor with CreateProcessW / floor"),
                ("javahome", "floor", "launcher with -is:javahome (no search) / floor")):
            lines.append(f"| Start-up, for reference: {label} | "
                         f"{milliseconds(name, startup_samples)} | "
                         f"{paired_ratio(startup_samples, name, reference):.3f} | | |")
    for name, by_count in counts.items():
        ratio = by_count[10000] / by_count[1000]
        figures = ", ".join(f"{count:,}: {by_count[count]:,}" for count in ARGUMENT_COUNTS)
        cpu = times.get(name, {})
        if cpu:
            figures += ("; CPU time " + ", ".join(f"{cpu[count] / 1000:.1f}" for count in
                                                   ARGUMENT_COUNTS)
                        + f" us (ratio {cpu[10000] / cpu[1000]:.2f})")
        lines.append(f"| Command line, {name}: 10,000 / 1,000 arguments | instructions {figures}"
                     f" | {ratio:.2f} | < 12 | {verdict(ratio < 12)} |")
    if walk_samples:
        walk = paired_ratio(walk_samples, "launcher", "minimal")
        lines.append(f"| Tree walk, 20,000 files: launcher / minimal walker | "
                     f"{milliseconds('launcher', walk_samples)}; "
                     f"{milliseconds('minimal', walk_samples)} | {walk:.3f} | "
                     f"<= 1.20 | {verdict(walk <= 1.2)} |")
    for arch, exe, size, dlls in sizes:
        foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
        target = "< 300 KiB, system DLLs only" if arch == "x86" else "system DLLs only"
        met = not foreign and (arch != "x86" or size < 300 * 1024)
        lines.append(f"| Footprint {arch}/{exe} | {size:,} bytes ({size / 1024:.1f} KiB); "
                     f"imports {', '.join(dlls)} | | {target} | {verdict(met)} |")
    lines.append("")
    lines.append("Timed ratios are medians of per-round ratios (the programs run in turn in each "
                 "round); command-line ratios are of instruction counts, CPU times are the fastest of "
                 "repetitions.")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description="Runs the benchmarks and prints the table.")
    parser.add_argument("--quick", action="store_true", help="fewer rounds: a rough table fast")
    parser.add_argument("--only", choices=["startup", "command-line", "tree-walk", "footprint"],
                        action="append", help="run only these parts (repeatable)")
    args = parser.parse_args()
    parts = set(args.only or ["startup", "command-line", "tree-walk", "footprint"])
    startup_rounds, walk_rounds, min_time, repetitions = (
        (10, 3, 0.05, 1) if args.quick else (120, 15, 0.2, 5))

    native_dir, windows_dir = REPO / "build" / "bench-native", REPO / "build" / "bench-x64"
    build(native_dir, windows_dir)
    startup_samples = walk_samples = counts = times = None
    sizes = []
    work = Path(tempfile.mkdtemp(prefix="launcher-bench-"))
    wine = None
    try:
        if parts & {"startup", "tree-walk"}:
            say("starting a Wine prefix of its own")
            wine = Wine(work / "prefix")
        if "startup" in parts:
            startup_samples = startup(wine, work, windows_dir, startup_rounds)
        if "tree-walk" in parts:
            walk_samples = tree_walk(wine, work, windows_dir, walk_rounds)
    finally:
        if wine:
            wine.stop()
        shutil.rmtree(work, ignore_errors=True)
    if "command-line" in parts:
        counts = instruction_counts(native_dir)
        times = command_line(native_dir, min_time, repetitions)
    if "footprint" in parts:
        sizes = footprint()
    print(report(startup_samples, walk_samples, counts or {}, times or {}, sizes))


if __name__ == "__main__":
    main()

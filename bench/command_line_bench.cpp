// How the command-line work grows with the number of arguments: tokenizing, taking the options
// and building the Java line, each alone and all three as the launcher runs them. bench/run.sh
// compares 10,000 arguments with 1,000; linear work gives a ratio near 10.
//
//   command_line_bench [Google Benchmark options]   times every stage at 10, 1,000 and 10,000
//   command_line_bench --count STAGE ARGUMENTS      runs STAGE once, counted under
//       valgrind --tool=callgrind --instr-atstart=no (only the stage itself is instrumented)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

#include "command_line.h"
#include "jvm_line.h"

namespace {

constexpr std::string_view kFragment = " -cp update.jar run ";
constexpr std::string_view kCurrentDir = "C:\\Users\\someone\\Downloads";

// A realistic mix: plain words, quoted values with blanks, a word with an inner quote, and the
// options scattered so that every take has to scan far into the table. The last options sit at
// the very end.
std::string commandLine(int arguments) {
  std::string line;
  for (int i = 0; i < arguments; ++i) {
    switch (i % 5) {
      case 0:
        line += "plain" + std::to_string(i);
        break;
      case 1:
        line += "\"C:\\Program Files\\App " + std::to_string(i) + "\"";
        break;
      case 2:
        line += "key=\"a b\"" + std::to_string(i);
        break;
      case 3:
        line += "-D" + std::to_string(i) + "=x";
        break;
      default:
        line += "--flag" + std::to_string(i);
        break;
    }
    line += ' ';
  }
  line +=
      "-silent -is:tempdir \"C:\\Temp Files\" -Xmx 1024m -options resp.txt "
      "GALVORENT_JVM_PARAMS=\"-Xss2m -Dp='a b'\" -is:log launch.log";
  return line;
}

// Nothing but unquoted words: a search for the next double quote that is not bounded by the
// token runs to the end of the line for every token here.
std::string unquotedLine(int arguments) {
  std::string line;
  for (int i = 0; i < arguments; ++i) line += "word" + std::to_string(i) + ' ';
  return line + "-silent -Xmx 1024m -is:log launch.log";
}

void tokenizeUnquoted(benchmark::State& state) {
  const std::string line = unquotedLine(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    launcher::ArgumentTable table = launcher::tokenizeCommandLine(line);
    benchmark::DoNotOptimize(table);
  }
}

void tokenize(benchmark::State& state) {
  const std::string line = commandLine(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    launcher::ArgumentTable table = launcher::tokenizeCommandLine(line);
    benchmark::DoNotOptimize(table);
  }
}

void extractOptions(benchmark::State& state) {
  const std::string line = commandLine(static_cast<int>(state.range(0)));
  const launcher::ArgumentTable tokens = launcher::tokenizeCommandLine(line);
  for (auto _ : state) {
    state.PauseTiming();
    launcher::ArgumentTable table = tokens;
    state.ResumeTiming();
    launcher::ExtractedOptions options =
        launcher::extractOptions(table, line, kCurrentDir, /*acceptsNoOutput=*/false);
    benchmark::DoNotOptimize(options);
  }
}

void buildJvmLine(benchmark::State& state) {
  const std::string line = commandLine(static_cast<int>(state.range(0)));
  launcher::ArgumentTable table = launcher::tokenizeCommandLine(line);
  const launcher::OptionSet options =
      launcher::extractOptions(table, line, kCurrentDir, false).options;
  for (auto _ : state) {
    std::string jvmLine = launcher::buildJvmLine(kFragment, options, table);
    benchmark::DoNotOptimize(jvmLine);
  }
}

void wholeCommandLine(benchmark::State& state) {
  const std::string line = commandLine(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    launcher::ArgumentTable table = launcher::tokenizeCommandLine(line);
    const launcher::ExtractedOptions extracted =
        launcher::extractOptions(table, line, kCurrentDir, false);
    std::string jvmLine = launcher::buildJvmLine(kFragment, extracted.options, table);
    benchmark::DoNotOptimize(jvmLine);
  }
}

BENCHMARK(tokenize)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(tokenizeUnquoted)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(extractOptions)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(buildJvmLine)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(wholeCommandLine)->Arg(10)->Arg(1000)->Arg(10000);

// One run of `stage`, with only the stage's own work instrumented. False for an unknown stage.
bool countOnce(std::string_view stage, int arguments) {
  const std::string line = commandLine(arguments);
  launcher::ArgumentTable table = launcher::tokenizeCommandLine(line);
  launcher::ArgumentTable taken = table;
  const launcher::OptionSet options =
      launcher::extractOptions(taken, line, kCurrentDir, false).options;
  std::string result;
  if (stage == "tokenize") {
    CALLGRIND_START_INSTRUMENTATION;
    table = launcher::tokenizeCommandLine(line);
    CALLGRIND_STOP_INSTRUMENTATION;
  } else if (stage == "tokenizeUnquoted") {
    const std::string unquoted = unquotedLine(arguments);
    CALLGRIND_START_INSTRUMENTATION;
    table = launcher::tokenizeCommandLine(unquoted);
    CALLGRIND_STOP_INSTRUMENTATION;
  } else if (stage == "extractOptions") {
    CALLGRIND_START_INSTRUMENTATION;
    const launcher::ExtractedOptions extracted =
        launcher::extractOptions(table, line, kCurrentDir, false);
    CALLGRIND_STOP_INSTRUMENTATION;
    benchmark::DoNotOptimize(extracted);
  } else if (stage == "buildJvmLine") {
    CALLGRIND_START_INSTRUMENTATION;
    result = launcher::buildJvmLine(kFragment, options, taken);
    CALLGRIND_STOP_INSTRUMENTATION;
  } else if (stage == "wholeCommandLine") {
    CALLGRIND_START_INSTRUMENTATION;
    launcher::ArgumentTable fresh = launcher::tokenizeCommandLine(line);
    const launcher::ExtractedOptions extracted =
        launcher::extractOptions(fresh, line, kCurrentDir, false);
    result = launcher::buildJvmLine(kFragment, extracted.options, fresh);
    CALLGRIND_STOP_INSTRUMENTATION;
  } else {
    return false;
  }
  benchmark::DoNotOptimize(table);
  benchmark::DoNotOptimize(result);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--count") == 0) {
    return countOnce(argv[2], std::atoi(argv[3])) ? 0 : 2;
  }
#if defined(__GLIBC__)
  // glibc hands large blocks back to the system at once and maps blocks above 128 KiB afresh, so
  // from a few thousand arguments on every iteration pays page faults that smaller runs never
  // see. That is the allocator's policy, not the work measured here (the launcher runs once, on
  // Windows' heap): keep freed memory, as the smaller runs do.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

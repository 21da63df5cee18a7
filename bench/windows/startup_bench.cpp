// startup_bench SPEC ROUNDS WARMUP: SPEC holds one program to time per line, "name<TAB>command
// line" (UTF-8). Every round runs each program once, in an order that turns by one each round, so
// that no program always follows the same one; the first WARMUP rounds are not reported. Prints
// "round name milliseconds" per timed run, or "round name failed" for a run that could not start
// or did not end with exit code 0.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Program {
  std::string name;
  std::wstring commandLine;
};

std::wstring fromUtf8(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  }
  return wide;
}

// Milliseconds for one run, or a negative value when it could not start or did not end with 0.
double timeOneRun(const Program& program) {
  std::wstring commandLine = program.commandLine;  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER frequency, begin, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&begin);
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  QueryPerformanceCounter(&end);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (exitCode != 0) return -1;
  return 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_bench SPEC ROUNDS WARMUP\n");
    return 2;
  }
  std::vector<Program> programs;
  std::ifstream spec(argv[1]);
  for (std::string line; std::getline(spec, line);) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos)
      programs.push_back({line.substr(0, tab), fromUtf8(line.substr(tab + 1))});
  }
  const int rounds = _wtoi(argv[2]);
  const int warmup = _wtoi(argv[3]);
  if (programs.empty() || rounds <= 0) return 2;
  for (int round = 0; round < warmup + rounds; ++round) {
    for (size_t i = 0; i < programs.size(); ++i) {
      const Program& program = programs[(i + static_cast<size_t>(round)) % programs.size()];
      const double milliseconds = timeOneRun(program);
      if (round < warmup) continue;
      if (milliseconds < 0) {
        std::printf("%d %s failed\n", round - warmup, program.name.c_str());
      } else {
        std::printf("%d %s %.3f\n", round - warmup, program.name.c_str(), milliseconds);
      }
    }
  }
  return 0;
}

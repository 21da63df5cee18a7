// A stand-in for java.exe: records how it was started, optionally prints prepared output, and
// exits with a prepared code. It is a GUI program like the launchers, so that starting it hidden
// or shown behaves as for a real Java and no console host holds the files it inherits.
//
// Beside its own file it reads:
//   java-exit-code.txt          the exit code in decimal (all 32 bits); 0 when absent
//   java-output/<last arg>.stdout, .stderr   bytes to write to its standard output / error
// and appends one JSON line per run to java-calls.jsonl:
//   {"commandLine": ..., "currentDirectory": ..., "showWindow": n or null, "argv": [...]}

#include <windows.h>

#include <cstdlib>
#include <string>

#include "json_text.h"

namespace {

std::wstring currentDirectory() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  while (size != 0) {
    std::wstring directory(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, directory.data());
    if (length < size) {
      directory.resize(length);
      return directory;
    }
    size = length;
  }
  return {};
}

std::string showWindowJson() {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0) return "null";
  return std::to_string(startup.wShowWindow);
}

std::string argvJson() {
  std::string json = "[";
  for (int i = 0; i < __argc; ++i) {
    if (i > 0) json.push_back(',');
    json.append(e2e::jsonString(__wargv[i] != nullptr ? __wargv[i] : L""));
  }
  json.push_back(']');
  return json;
}

void recordCall(const std::wstring& directory) {
  std::string line = "{\"commandLine\":" + e2e::jsonString(GetCommandLineW()) +
                     ",\"currentDirectory\":" + e2e::jsonString(currentDirectory()) +
                     ",\"showWindow\":" + showWindowJson() + ",\"argv\":" + argvJson() + "}\n";
  const std::wstring path = directory + L"java-calls.jsonl";
  const HANDLE file =
      CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  e2e::writeAll(file, line);
  CloseHandle(file);
}

void writePreparedOutput(const std::wstring& directory, const wchar_t* suffix, DWORD handleId) {
  if (__argc < 2) return;
  std::string bytes;
  const std::wstring path = directory + L"java-output\\" + __wargv[__argc - 1] + suffix;
  if (!e2e::readFile(path, bytes)) return;
  const HANDLE out = GetStdHandle(handleId);
  if (out != nullptr && out != INVALID_HANDLE_VALUE) e2e::writeAll(out, bytes);
}

UINT preparedExitCode(const std::wstring& directory) {
  std::string text;
  if (!e2e::readFile(directory + L"java-exit-code.txt", text)) return 0;
  return static_cast<UINT>(std::strtoull(text.c_str(), nullptr, 10));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring directory = e2e::ownModulePath();
  directory.resize(directory.rfind(L'\\') + 1);
  recordCall(directory);
  writePreparedOutput(directory, L".stdout", STD_OUTPUT_HANDLE);
  writePreparedOutput(directory, L".stderr", STD_ERROR_HANDLE);
  ExitProcess(preparedExitCode(directory));
}

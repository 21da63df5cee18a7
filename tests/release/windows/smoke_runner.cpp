// Starts the command line that follows its own name, presses OK on every message box that the
// started process shows, and prints what it saw on standard output, one line each:
//   box: <caption>|<text, line feeds shown as \n>
//   exit: <the full 32-bit exit code>
// A Windows-side program is needed because Wine hands Linux only the exit status modulo 256.
// It gives up after a time limit, so that a launcher that hangs fails the run instead of blocking
// it.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kPollMilliseconds = 250;
constexpr ULONGLONG kTimeLimitMilliseconds = 30ull * 60 * 1000;

std::string toUtf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
  }
  return utf8;
}

// The command line without this program's own name and the blanks after it.
std::wstring commandLineTail() {
  const wchar_t* line = GetCommandLineW();
  if (*line == L'"') {
    line = std::wcschr(line + 1, L'"');
    line = line != nullptr ? line + 1 : L"";
  } else {
    while (*line != L'\0' && *line != L' ') ++line;
  }
  while (*line == L' ') ++line;
  return line;
}

struct BoxSearch {
  DWORD processId;
  HWND box;
};

BOOL CALLBACK findBoxOf(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<BoxSearch*>(search);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  // A box is read once it is visible: only then have its caption and text been set.
  if (owner != wanted->processId || std::wstring(className) != L"#32770" ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  wanted->box = window;
  return FALSE;
}

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring boxText(HWND box) {
  std::wstring text(65536, L'\0');
  text.resize(GetDlgItemTextW(box, 0xFFFF, text.data(), static_cast<int>(text.size())));
  return text;
}

std::string oneLine(std::string text) {
  std::string shown;
  for (const char c : text) {
    if (c == '\n') {
      shown += "\\n";
    } else if (c != '\r') {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

int wmain() {
  std::wstring commandLine = commandLineTail();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("start failed: %lu\n", GetLastError());
    return 2;
  }
  const ULONGLONG started = GetTickCount64();
  HWND lastBox = nullptr;
  while (WaitForSingleObject(process.hProcess, kPollMilliseconds) == WAIT_TIMEOUT) {
    if (GetTickCount64() - started > kTimeLimitMilliseconds) {
      std::printf("timeout\n");
      TerminateProcess(process.hProcess, 3);
      return 3;
    }
    BoxSearch search{process.dwProcessId, nullptr};
    EnumWindows(findBoxOf, reinterpret_cast<LPARAM>(&search));
    if (search.box == nullptr || search.box == lastBox) continue;
    lastBox = search.box;
    std::printf("box: %s|%s\n", oneLine(toUtf8(windowText(search.box))).c_str(),
                oneLine(toUtf8(boxText(search.box))).c_str());
    std::fflush(stdout);
    PostMessageW(search.box, WM_COMMAND, IDOK, 0);
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  std::printf("exit: %lu\n", exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

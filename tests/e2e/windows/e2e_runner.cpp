// Starts one program the way a test describes it and reports what happened, so that a test sees
// exactly what a user or a script would: the full 32-bit exit code, and every message box that
// the program showed, each dismissed with OK so that no test waits on a box.
//
// Usage: e2e_runner.exe REQUEST-FILE, or e2e_runner.exe --serve (see serve() below).
// The request file is UTF-8; its first six lines are the program to start, its working
// directory, the file that receives its standard output, the file that receives its standard
// error, the file for the JSON result and the time limit in milliseconds. Every byte after the
// sixth line feed is the exact command line, quotes and blanks as the test wrote them.
//
// The result: {"exitCode": n, "timedOut": bool, "boxes": [{"title": ..., "text": ...}, ...]}
// with the boxes in the order they appeared. A program that outlives the time limit is
// terminated. Exit status 0 when the result was written, 2 otherwise (reason on stderr). The
// program's standard input is NUL.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "json_text.h"

namespace {

constexpr UINT kDialogClassTextId = 0xFFFF;  // the static control that holds a box's text
constexpr DWORD kPollMilliseconds = 15;

struct Request {
  std::wstring program;
  std::wstring workingDirectory;
  std::wstring stdoutPath;
  std::wstring stderrPath;
  std::wstring resultPath;
  DWORD timeLimit = 60000;
  std::wstring commandLine;
};

struct Box {
  std::wstring title;
  std::wstring text;
};

bool complain(const char* what, DWORD error) {
  std::fprintf(stderr, "e2e_runner: %s (error %lu)\n", what, error);
  std::fflush(stderr);
  return false;
}

bool readRequest(const wchar_t* path, Request& request) {
  std::string content;
  if (!e2e::readFile(path, content)) return complain("cannot read the request", GetLastError());
  std::vector<std::string> lines;
  size_t position = 0;
  while (lines.size() < 6) {
    const size_t end = content.find('\n', position);
    if (end == std::string::npos) return complain("the request has fewer than six lines", 0);
    lines.push_back(content.substr(position, end - position));
    position = end + 1;
  }
  request.program = e2e::fromUtf8(lines[0]);
  request.workingDirectory = e2e::fromUtf8(lines[1]);
  request.stdoutPath = e2e::fromUtf8(lines[2]);
  request.stderrPath = e2e::fromUtf8(lines[3]);
  request.resultPath = e2e::fromUtf8(lines[4]);
  request.timeLimit = static_cast<DWORD>(std::strtoul(lines[5].c_str(), nullptr, 10));
  request.commandLine = e2e::fromUtf8(std::string_view(content).substr(position));
  return true;
}

HANDLE openInheritable(const std::wstring& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inheritable, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::wstring windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

struct BoxSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK collectBox(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring_view(className) == L"#32770") search.found.push_back(window);
  return TRUE;
}

// Reads and presses OK on every box of |processId| not yet handled. A handled box that is still
// there keeps its entry, so it is neither recorded twice nor pressed again; entries of boxes that
// are gone are dropped, so that a later box under a reused handle is seen as new.
void dismissBoxes(DWORD processId, std::set<HWND>& handled, std::vector<Box>& boxes) {
  BoxSearch search{processId, {}};
  EnumWindows(collectBox, reinterpret_cast<LPARAM>(&search));
  for (auto it = handled.begin(); it != handled.end();) {
    it = IsWindow(*it) ? std::next(it) : handled.erase(it);
  }
  for (const HWND box : search.found) {
    if (!handled.insert(box).second) continue;
    const HWND textControl = GetDlgItem(box, kDialogClassTextId);
    boxes.push_back({windowText(box), textControl != nullptr ? windowText(textControl) : L""});
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
}

bool writeResult(const Request& request, DWORD exitCode, bool timedOut,
                 const std::vector<Box>& boxes) {
  std::string json = "{\"exitCode\":" + std::to_string(exitCode) +
                     ",\"timedOut\":" + (timedOut ? "true" : "false") + ",\"boxes\":[";
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (i > 0) json.push_back(',');
    json += "{\"title\":" + e2e::jsonString(boxes[i].title) +
            ",\"text\":" + e2e::jsonString(boxes[i].text) + "}";
  }
  json += "]}\n";
  const HANDLE file = CreateFileW(request.resultPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return complain("cannot create the result", GetLastError());
  const bool written = e2e::writeAll(file, json);
  CloseHandle(file);
  return written || complain("cannot write the result", GetLastError());
}

// Runs one request; false (with the reason on stderr) when it could not be run.
bool runRequest(const wchar_t* requestPath) {
  Request request;
  if (!readRequest(requestPath, request)) return false;

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = openInheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = openInheritable(request.stdoutPath, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = openInheritable(request.stderrPath, GENERIC_WRITE, CREATE_ALWAYS);
  std::wstring commandLine = request.commandLine;  // the call may write into it
  PROCESS_INFORMATION process{};
  const bool started =
      startup.hStdInput != INVALID_HANDLE_VALUE && startup.hStdOutput != INVALID_HANDLE_VALUE &&
      startup.hStdError != INVALID_HANDLE_VALUE &&
      CreateProcessW(request.program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                     nullptr, request.workingDirectory.c_str(), &startup, &process);
  const DWORD startError = GetLastError();
  for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  if (!started) return complain("cannot start the program", startError);
  CloseHandle(process.hThread);

  std::set<HWND> handled;
  std::vector<Box> boxes;
  const ULONGLONG deadline = GetTickCount64() + request.timeLimit;
  bool timedOut = false;
  while (WaitForSingleObject(process.hProcess, kPollMilliseconds) == WAIT_TIMEOUT) {
    dismissBoxes(process.dwProcessId, handled, boxes);
    if (GetTickCount64() >= deadline) {
      timedOut = true;
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, INFINITE);
      break;
    }
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  return writeResult(request, exitCode, timedOut, boxes);
}

// Serves requests named on standard input, one UTF-8 path a line, answering each with a line
// "done" or "failed" on standard output; ends at the end of its input. One runner for many runs
// saves starting a Windows process per run.
int serve() {
  std::string line;
  for (int c; (c = std::getchar()) != EOF;) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool done = runRequest(e2e::fromUtf8(line).c_str());
    std::fputs(done ? "done\n" : "failed\n", stdout);
    std::fflush(stdout);
    line.clear();
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring_view(argv[1]) == L"--serve") return serve();
  if (argc == 2) return runRequest(argv[1]) ? 0 : 2;
  std::fprintf(stderr, "usage: e2e_runner.exe REQUEST-FILE | --serve\n");
  return 2;
}

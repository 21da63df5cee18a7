#include "java_process.h"

#include <shellapi.h>

#include "diagnostics.h"
#include "exit_status.h"
#include "file_system.h"

namespace launcher {

namespace {

// The longest command line a process can be given, terminator included; the shell makes it of the
// quoted program, one blank and the parameters.
constexpr size_t kCommandLineLimit = 32767;

// The system's own reason why `javaExe` cannot be started with `jvmLine` by the shell, or 0. The
// shell does not refuse these two cases itself: it cuts a line that is too long and starts Java
// with the rest as if it were whole, and it opens a directory in a folder window, on which the
// launcher would then wait.
DWORD unstartable(const std::wstring& javaExe, const std::wstring& jvmLine) {
  if (javaExe.size() + 3 + jvmLine.size() >= kCommandLineLimit) return ERROR_FILENAME_EXCED_RANGE;
  if (isDirectory(javaExe)) return ERROR_ACCESS_DENIED;
  return 0;
}

}  // namespace

DWORD runJava(const std::wstring& javaExe, const std::wstring& jvmLine,
              const std::wstring& workingDirectory, bool showConsole) {
  if (const DWORD reason = unstartable(javaExe, jvmLine)) {
    consoleMessage(reason);
    return kLauncherFailure;
  }

  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof(start);
  start.fMask = SEE_MASK_NOCLOSEPROCESS;
  start.lpFile = javaExe.c_str();
  start.lpParameters = jvmLine.c_str();
  start.lpDirectory = workingDirectory.c_str();
  start.nShow = showConsole ? SW_SHOWNORMAL : SW_HIDE;
  ShellExecuteExW(&start);

  // A start that failed leaves no process handle: the wait fails and says why on the console.
  if (WaitForSingleObject(start.hProcess, INFINITE) == WAIT_FAILED) {
    consoleMessage(GetLastError());
  }
  DWORD exitCode = 0;
  if (start.hProcess == nullptr || !GetExitCodeProcess(start.hProcess, &exitCode)) {
    exitCode = kLauncherFailure;
  }
  if (start.hProcess != nullptr) CloseHandle(start.hProcess);
  return exitCode;
}

}  // namespace launcher

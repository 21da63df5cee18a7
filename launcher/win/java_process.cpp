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

  return shellExecuteAndWait(javaExe, jvmLine, workingDirectory,
                             showConsole ? SW_SHOWNORMAL : SW_HIDE)
      .value_or(kLauncherFailure);
}

std::optional<DWORD> shellExecuteAndWait(const std::wstring& file, const std::wstring& parameters,
                                         const std::wstring& directory, int show) {
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof(start);
  start.fMask = SEE_MASK_NOCLOSEPROCESS;
  start.lpFile = file.c_str();
  start.lpParameters = parameters.c_str();
  start.lpDirectory = directory.c_str();
  start.nShow = show;
  ShellExecuteExW(&start);

  // A start that failed leaves no process handle: the wait fails and says why on the console.
  if (WaitForSingleObject(start.hProcess, INFINITE) == WAIT_FAILED) {
    consoleMessage(GetLastError());
  }
  if (start.hProcess == nullptr) return std::nullopt;
  DWORD exitCode = 0;
  const bool known = GetExitCodeProcess(start.hProcess, &exitCode) != FALSE;
  CloseHandle(start.hProcess);
  if (!known) return std::nullopt;
  return exitCode;
}

}  // namespace launcher

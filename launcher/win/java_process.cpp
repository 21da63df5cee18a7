#include "java_process.h"

#include <shellapi.h>

#include "diagnostics.h"
#include "exit_status.h"

namespace launcher {

DWORD runJava(const std::wstring& javaExe, const std::wstring& jvmLine,
              const std::wstring& workingDirectory, bool showConsole) {
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

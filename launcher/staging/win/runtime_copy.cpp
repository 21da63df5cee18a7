// The runtime copy: xcopy through the command interpreter, which shows the wait text in its
// console window, or, silent without the Java console, started directly and hidden.

#include "../runtime_copy.h"

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdlib>

#include "../../win/diagnostics.h"
#include "../../win/file_system.h"
#include "../../win/wide_text.h"
#include "../bundle_text.h"
#include "../staging.h"
#include "text_lookup.h"

namespace launcher {
namespace {

std::wstring systemDirectory() {
  DWORD size = MAX_PATH;
  for (;;) {
    std::wstring directory(size, L'\0');
    const DWORD length = GetSystemDirectoryW(directory.data(), size);
    if (length == 0) return {};
    if (length < size) {
      directory.resize(length);
      return directory;
    }
    size = length;
  }
}

std::wstring copyTool() {
  const std::wstring directory = systemDirectory();
  if (!directory.empty()) {
    std::wstring tool = copyToolIn(directory);
    if (pathExists(tool)) return tool;
  }
  return kBareCopyTool;
}

void copyDirectly(const std::wstring& tool, const std::wstring& sourceDir,
                  const std::wstring& targetDir, const std::wstring& launcherDir) {
  const std::wstring parameters = directCopyParameters(sourceDir, targetDir);
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof(start);
  start.fMask = SEE_MASK_NOCLOSEPROCESS;
  start.lpFile = tool.c_str();
  start.lpParameters = parameters.c_str();
  start.lpDirectory = launcherDir.c_str();
  start.nShow = SW_HIDE;
  ShellExecuteExW(&start);
  // A start that failed leaves no process handle: the failed wait's number is the only trace.
  if (WaitForSingleObject(start.hProcess, INFINITE) == WAIT_FAILED) {
    consoleMessage(GetLastError());
  }
  if (start.hProcess != nullptr) CloseHandle(start.hProcess);
}

}  // namespace

void stageRuntime(const std::wstring& targetDir, const std::wstring& foundJava,
                  const std::wstring& sourceDir, const std::wstring& launcherDir,
                  std::string_view mainJar, bool silent, bool javaConsole) {
  // Looked up on both roads, also when the hidden copy shows no text.
  std::string waitText = lookupBundleText(foundJava, launcherDir, mainJar, kWaitTextKey);
  if (waitText == kLookupFailed) waitText = kWaitTextFallback;
  const std::wstring tool = copyTool();

  if (copiesDirectly(silent, javaConsole)) {
    copyDirectly(tool, sourceDir, targetDir, launcherDir);
    return;
  }
  // Built in UTF-16 and run by the wide interpreter call, so that paths outside the ANSI code
  // page reach xcopy intact; the wait text is ANSI text from Java and is widened for it.
  const std::wstring command =
      interpreterCopyCommand(toWide(waitText).value_or(std::wstring()), tool, sourceDir, targetDir);
  _wsystem(command.c_str());
}

}  // namespace launcher

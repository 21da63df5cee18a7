// The runtime copy: xcopy through the command interpreter, which shows the wait text in its
// console window, or, silent without the Java console, started directly and hidden.

#include "../runtime_copy.h"

#include <windows.h>

#include <cstdlib>

#include "../../win/file_system.h"
#include "../../win/java_process.h"
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
  // The copy's outcome is not judged here: a failed copy shows when its java.exe is started.
  shellExecuteAndWait(tool, directCopyParameters(sourceDir, targetDir), launcherDir, SW_HIDE);
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

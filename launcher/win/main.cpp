// The entry point of both launchers; each executable links its own deliverable profile.

#include <windows.h>

#include <new>

#include "../deliverable_profile.h"
#include "../messages.h"
#include "diagnostics.h"
#include "exit_status.h"
#include "launch_sequence.h"

namespace {

// A launcher started from a download folder must not pick up DLLs planted beside it: from here on
// the system loads DLLs from the system directory only. Looked up at run time, since Windows
// versions without the update that brought this call must still start the launcher.
void restrictDllSearchToSystemDirectory() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return;
  const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories != nullptr) {
    setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    SetDllDirectoryW(L"");  // at least take the current directory out of the search
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLineTail, int) {
  restrictDllSearchToSystemDirectory();
  try {
    const DWORD exitCode = launcher::runLauncher(commandLineTail != nullptr ? commandLineTail : L"",
                                                 launcher::deliverableProfile);
    return static_cast<int>(exitCode);  // the process exit status keeps all 32 bits
  } catch (const std::bad_alloc&) {
    launcher::consoleMessage(launcher::messages::kOutOfMemory);
    return launcher::kLauncherFailure;
  }
}

#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace launcher {

/// Starts `javaExe` with `jvmLine` in `workingDirectory`, its window shown only for the Java
/// console, waits for it without a time limit and returns its exit code, all 32 bits of it.
/// When Java cannot be started or its code cannot be read, the launch has failed: the failed
/// wait's error number goes to the console and the result is the launcher's failure status. A
/// command line too long for the system and a `javaExe` that is a directory fail the same way,
/// with the system's error number for them, before the shell is asked.
DWORD runJava(const std::wstring& javaExe, const std::wstring& jvmLine,
              const std::wstring& workingDirectory, bool showConsole);

/// Starts `file` with `parameters` through the shell, in `directory` and with the window state
/// `show`, and waits for it without a time limit. Its exit code, or absent when it could not be
/// started or its code could not be read; a failed wait writes the system's error number to the
/// console.
std::optional<DWORD> shellExecuteAndWait(const std::wstring& file, const std::wstring& parameters,
                                         const std::wstring& directory, int show);

}  // namespace launcher

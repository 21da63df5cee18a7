#pragma once

#include <windows.h>

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

}  // namespace launcher

#pragma once

// Uninstall mode: a runtime found only in the launcher's parent directory is about to be removed
// by the uninstaller, so it is copied beside the launcher and the copy runs instead. The texts
// shown around the copy come from the Java program's resource-bundle class in `launcherDir` +
// `mainJar`, run with `foundJava`, the runtime's own java.exe.

#include <string>
#include <string_view>

#include "../win/diagnostics.h"

namespace launcher {

/// Returns only when the launcher's volume has strictly more whole megabytes free than
/// `sourceDir` holds, or when the free space cannot be read; otherwise shows the (localized)
/// shortage, logs it and exits with the failure status.
void checkStagingSpace(const std::wstring& launcherDir, const std::wstring& sourceDir,
                       const std::wstring& foundJava, std::string_view mainJar, LaunchLog log);

/// Copies `sourceDir` to `targetDir` with the system's xcopy, showing the (localized) wait text
/// unless the copy runs hidden (silent without the Java console). Its outcome is not judged: a
/// failed copy shows when the copied java.exe is started.
void stageRuntime(const std::wstring& targetDir, const std::wstring& foundJava,
                  const std::wstring& sourceDir, const std::wstring& launcherDir,
                  std::string_view mainJar, bool silent, bool javaConsole);

}  // namespace launcher

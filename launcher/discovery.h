#pragma once

// Where the launcher looks for java.exe when no -is:javahome is given. Paths are plain
// concatenations on the launcher's directory (which ends in a backslash); ".." stays unresolved.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace launcher {

/// One candidate location. Staged probes (uninstall mode, a runtime in the parent directory) name
/// the directory to copy beside the launcher, the copy's directory and the java.exe under it.
struct JavaProbe {
  std::wstring_view relativePath;
  std::wstring_view stagingSource;
  std::wstring_view stagingTarget;
  std::wstring_view stagedJava;

  bool isStaged() const { return !stagingSource.empty(); }
};

std::span<const JavaProbe> installModeProbes();
std::span<const JavaProbe> uninstallModeProbes();

inline constexpr wchar_t kFepExtension[] = L"FEP\\";

/// True when the last "uninstall" in `directory` is followed by at most two more characters, or
/// "uninstall_" occurs after the first position. Case-sensitive; `directory` is narrow text.
bool isUninstallMode(std::string_view directory);

std::wstring joinPath(std::wstring_view base, std::wstring_view relative);

/// java.exe under an -is:javahome directory, with one backslash between them.
std::wstring javaUnderHome(std::wstring_view javaHome);

/// What a hit on a staged probe asks of the uninstall staging, all full paths.
struct StagingPlan {
  std::wstring sourceDir;  // the runtime to copy, e.g. ...\uninstall\..\java
  std::wstring targetDir;  // where the copy goes, e.g. ...\uninstall\java
  std::wstring foundJava;  // the runtime's own java.exe, which runs before the copy exists
};

struct DiscoveredJava {
  std::optional<std::wstring> javaExe;  // absent: no probe of the mode exists
  std::optional<StagingPlan> staging;   // present: copy first, then javaExe is the copy's
};

using PathTest = std::function<bool(const std::wstring& path)>;
using ProbeLogger = std::function<void(const std::wstring& path)>;

/// Tries the probes of the mode in order, logging each before testing it. In install mode a FEP
/// marker (FEP\<mainJar>) moves `launcherDir`, in place, into its FEP subdirectory first.
DiscoveredJava discoverJava(std::wstring& launcherDir, bool uninstallMode, std::string_view mainJar,
                            const PathTest& exists, const ProbeLogger& logProbe);

}  // namespace launcher

#pragma once

// The few file-system facts a launch needs, for paths of any length.

#include <string>
#include <string_view>

namespace launcher {

/// Full path of the running executable.
std::wstring modulePath();

/// The directory that holds the running executable, ending with a backslash.
std::wstring launcherDirectory();

/// The process's current directory, empty when the system cannot tell it.
std::wstring currentDirectory();

/// `path` with ".." and "." resolved the way the system resolves them; empty when it cannot tell.
std::wstring fullPathName(const std::wstring& path);

/// `path` itself while it is shorter than the classic 260-unit limit; past it, the resolved
/// extended-length form, which the system takes literally and without that limit.
std::wstring longPathForm(const std::wstring& path);

/// True when a file or directory exists at `path`. Paths longer than the classic 260-unit limit
/// are resolved and tested in their extended-length form rather than reported missing.
bool pathExists(std::wstring_view path);

/// True when `path` names an existing directory; of any length, like pathExists.
bool isDirectory(std::wstring_view path);

}  // namespace launcher

#pragma once

// Path forms the launcher builds itself. Paths are otherwise plain concatenations, never
// normalised.

#include <string>
#include <string_view>

namespace launcher {

/// The extended-length form (\\?\C:\..., \\?\UNC\server\share\...) of a full path whose ".."
/// and "." have already been resolved; the system takes that form literally and without the
/// classic length limit. Paths already in a \\?\ or \\.\ form are returned as they are.
std::wstring extendedLengthPath(std::wstring_view fullPath);

}  // namespace launcher

#pragma once

#include <windows.h>

#include <string_view>

#include "../deliverable_profile.h"

namespace launcher {

/// One whole launch, from the command-line tail (the command line without the program name) to
/// Java's exit code. Stops the process itself, with status 1, when the launch cannot go on.
DWORD runLauncher(std::wstring_view commandLineTail, const DeliverableProfile& profile);

}  // namespace launcher

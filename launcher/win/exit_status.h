#pragma once

namespace launcher {

/// The status of every launch that the launcher itself stops; Java's own code otherwise.
inline constexpr int kLauncherFailure = 1;

}  // namespace launcher

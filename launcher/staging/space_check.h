#pragma once

// The rules of the uninstall space check: a runtime is copied beside the launcher only when the
// launcher's volume has strictly more whole megabytes free than the runtime occupies.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

inline constexpr char kErrorTitleFallback[] = "Error, Insufficient Space ";

/// Whole megabytes (2^20 bytes) in `bytes`, the remainder dropped. 64-bit throughout, so that a
/// volume with more than 2^31 free megabytes is not mistaken for a full one.
std::uint64_t wholeMegabytes(std::uint64_t bytes);

/// The megabytes to show the user when the copy must not go ahead, absent when it may. On a tie
/// the figure shown is one more than the free megabytes. When the free space could not be read,
/// the copy goes ahead: a volume that is really full makes the copy, and then Java, fail visibly.
std::optional<std::uint64_t> shortageMegabytes(std::uint64_t requiredBytes,
                                               std::optional<std::uint64_t> freeBytes);

/// The English shortage message, for when the Java program cannot give the localized one.
std::string insufficientSpaceFallback(std::uint64_t megabytes);

}  // namespace launcher

#pragma once

#include <cstdint>
#include <string>

namespace launcher {

/// `value` in decimal digits: no sign, no leading zeros, no grouping. Written by hand because the
/// run time's formatting pulls its whole printf machinery into the executables.
std::string decimal(std::uint64_t value);

}  // namespace launcher

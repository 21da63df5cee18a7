#pragma once

// Conversions between UTF-16 and narrow text in the thread's ANSI code page, the only code page
// the launchers use. A character that the code page lacks becomes its default character ('?'),
// never a look-alike. A text the system refuses to convert comes back absent.

#include <optional>
#include <string>
#include <string_view>

namespace launcher {

std::optional<std::wstring> toWide(std::string_view narrow);
std::optional<std::string> toNarrow(std::wstring_view wide);

}  // namespace launcher

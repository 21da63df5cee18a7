#pragma once

// The parameter string of java.exe:
//   -Xms<initial> -Xmx<max>[ <jvmParams>][ -Djava.io.tmpdir=<tempDir>] <fragment> <args...>[
//   -silent]
// built from pieces that each bring their own blanks; the doubled blanks that result are part of
// the format, and the last character of the whole is dropped.

#include <string>
#include <string_view>

#include "command_line.h"

namespace launcher {

/// `value` unchanged unless it holds a blank and no double quote; then `value` in double quotes,
/// with a run of backslashes at its end doubled so that java.exe's own argument parser, which reads
/// a backslash before a double quote as an escape, gets `value` back unchanged.
std::string quoteIfSpaced(std::string_view value);

/// Appends every non-empty entry of `table` (quoted as needed, each followed by a blank) and
/// " -silent " when `silent`, then drops the line's last character.
std::string finishJvmLine(std::string line, const ArgumentTable& table, bool silent);

/// The whole parameter string for `fragment` (the launch profile's classpath and main class).
std::string buildJvmLine(std::string_view fragment, const OptionSet& options,
                         const ArgumentTable& table);

}  // namespace launcher

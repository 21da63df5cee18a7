#pragma once

// The launcher's command-line model. All texts are narrow, in the thread's ANSI code page: the
// Windows layer converts the UTF-16 command-line tail before anything here sees it.
//
// Tokens are separated by spaces only (a tab is an ordinary character). There is no escape
// character. A token that starts with a double quote runs to the next double quote, both dropped;
// a token with a double quote inside keeps both quotes and the spaces between them; an unclosed
// quote makes the rest of the line one last token.
//
// Options the launcher takes are blanked in the table, never removed; everything left non-empty
// goes on to Java. Failures other than memory exhaustion (std::bad_alloc) are results, not
// exceptions.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

struct ArgumentTable {
  std::vector<std::string> entries;  // an empty entry is a taken option or an empty quoted token
};

struct OptionSet {
  std::optional<std::string> responseFile;  // -options, made absolute
  bool silent = false;                      // -silent
  bool javaConsole = false;                 // -is:javaconsole
  bool noOutput = false;                    // -noOutput, only where the profile accepts it
  std::optional<std::string> javaHome;      // -is:javahome, made absolute
  std::optional<std::string> tempDir;       // -is:tempdir, made absolute
  std::string initialHeap;                  // -Xms, "256m" when not given; may be empty
  std::string maxHeap;                      // -Xmx, "512m" when not given; may be empty
  std::optional<std::string> jvmParams;     // GALVORENT_JVM_PARAMS="...", apostrophes made quotes
  std::optional<std::string> logPath;       // -is:log, made absolute
  bool logEnabled = false;                  // exactly when logPath is present
};

enum class CommandLineError { none, invalidJvmParams };

/// Splits `commandLine` into entries by the rules above. Trailing spaces add no entry.
ArgumentTable tokenizeCommandLine(std::string_view commandLine);

/// Blanks the first entry equal to `name` (case-sensitive, whole text). True when one was taken.
bool takeFlag(ArgumentTable& table, std::string_view name);

/// Takes the first entry equal to `name` and the entry after it, whatever that holds.
/// Absent when no entry matches; present and empty when the match is the last entry.
std::optional<std::string> takeOption(ArgumentTable& table, std::string_view name);

struct JvmParamsTaken {
  CommandLineError error = CommandLineError::none;
  std::optional<std::string> value;
};

/// Takes the first entry that begins with "GALVORENT_JVM_PARAMS". Its value is what follows the
/// first double quote found from the second character after the name on, up to but not including
/// the entry's last character; apostrophes become double quotes. An entry without such a quote is
/// `invalidJvmParams`.
JvmParamsTaken takeJvmParams(ArgumentTable& table);

/// `path` unchanged when it holds a colon or begins with two backslashes, else
/// `currentDir` + "\" + `path`. Nothing is normalised.
std::string makeAbsolute(std::string_view path, std::string_view currentDir);

struct ExtractedOptions {
  CommandLineError error = CommandLineError::none;
  OptionSet options;
};

/// Fills the OptionSet from `table` (the tokens of `savedCommandLine`). "-options" is taken from
/// that first table; then `table` is rebuilt from `savedCommandLine`, so "-options" and its value
/// still reach Java, and the other options are taken from the rebuilt table.
ExtractedOptions extractOptions(ArgumentTable& table, std::string_view savedCommandLine,
                                std::string_view currentDir, bool acceptsNoOutput);

}  // namespace launcher

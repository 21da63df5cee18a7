#pragma once

// The localized texts of the uninstall staging belong to the Java program: its resource-bundle
// class, run with a key, prints the text. These are the rules for the run's command line and for
// reading back what it printed; the process and the capture file are the Windows layer's.

#include <cstdint>
#include <string>
#include <string_view>

namespace launcher {

/// What a lookup yields when the launcher itself could not run Java or capture its output.
/// Captured output never equals it: every captured word is followed by a blank.
inline constexpr char kLookupFailed[] = "-1";

inline constexpr wchar_t kWaitTextKey[] = L"uninstall.initializingUninstall";
inline constexpr wchar_t kErrorTitleKey[] = L"Title.error";

/// "uninstall.insufficientSpace" with the megabytes joined to it, one argument for the class:
/// 150 gives uninstall.insufficientSpace150.
std::wstring insufficientSpaceKey(std::uint64_t megabytes);

/// The parameter string of the java.exe that runs the resource-bundle class for `key`, with the
/// main jar in `launcherDir` (which ends with a backslash) as its classpath. It does not start
/// with the program's name: ` -classpath "<launcherDir><mainJar>" <class> <key>`.
std::wstring bundleCommandLine(std::wstring_view launcherDir, std::wstring_view mainJar,
                               std::wstring_view key);

/// The captured bytes read as a text stream and joined as words: every run of white space
/// (blank, tab, line feed, vertical tab, form feed, carriage return) separates words, and each
/// word is followed by exactly one blank. Like any text stream on Windows, the stream ends at
/// the first Ctrl-Z (0x1A). Bytes are kept as they are, in whatever code page Java wrote them.
std::string capturedWords(std::string_view captured);

}  // namespace launcher

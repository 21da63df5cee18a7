#pragma once

// The three ways a launcher tells what happened:
//  - fatalExit / reportError: a message box (and a line in the launch log), for failures the user
//    can act on;
//  - the launch log (-is:log): one line per java.exe location tried, then the java.exe used or
//    the error that stopped the launch; its write failures are never reported;
//  - consoleMessage: one line on standard output, for failures of the launcher's own machinery.

#include <windows.h>

#include <string_view>

namespace launcher {

/// An open launch log, or null when logging is off or the file could not be created: a log that
/// cannot be written changes nothing, so both are treated alike.
using LaunchLog = HANDLE;

LaunchLog openLaunchLog(std::string_view logPath);
void logProbe(LaunchLog log, std::wstring_view candidate);
/// Writes "Using java in <javaExe>" with no line end, flushes the file to disk and closes it.
void finishLaunchLog(LaunchLog log, std::wstring_view javaExe);

/// Shows a modal box with `text` and the caption `title`; with a log, appends `text` and a line
/// feed to it and closes it.
void reportError(std::string_view title, std::string_view text, LaunchLog log);
[[noreturn]] void fatalExit(std::string_view title, std::string_view text, LaunchLog log);

void consoleMessage(std::string_view text);
void consoleMessage(DWORD errorNumber);

/// A console message, then the orderly exit with status 1.
[[noreturn]] void consoleExit(std::string_view text);

}  // namespace launcher

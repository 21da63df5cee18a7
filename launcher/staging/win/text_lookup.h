#pragma once

// Localized texts from the Java program: its resource-bundle class runs under a java.exe with
// its standard output and standard error captured through a temporary file ("QOT" prefix).

#include <string>
#include <string_view>

namespace launcher {

/// Runs `javaProgram` with the parameter string `commandLine`, waits for it without a time limit
/// and returns everything it wrote to standard output and standard error, as blank-joined words
/// (see capturedWords). Returns kLookupFailed ("-1") after a console message when the capture
/// file cannot be made or opened, Java cannot be started or the file cannot be flushed. The
/// capture file is deleted on every path once it exists.
std::string captureJavaOutput(const std::wstring& javaProgram, const std::wstring& commandLine);

/// The text of `key` from the resource-bundle class in `launcherDir` + `mainJar`, run with
/// `foundJava`; kLookupFailed when the launcher could not run it. Java's own failures (no class,
/// no key) are texts like any other.
std::string lookupBundleText(const std::wstring& foundJava, const std::wstring& launcherDir,
                             std::string_view mainJar, std::wstring_view key);

}  // namespace launcher

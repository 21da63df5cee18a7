#pragma once

// The classpath and main class handed to Java, chosen by what lies beside the launcher.

#include <string>
#include <string_view>

namespace launcher {

enum class LaunchProfile { Qarn7PreSetup, Qarn7Run, PreSetup, PlainRun };

// Tested relative to the launcher's directory; the host-system jar in FEP\lib counts too.
inline constexpr wchar_t kHostSystemJar[] = L"lib\\qarn7LogServiceOverride.jar";
inline constexpr wchar_t kFepHostSystemJar[] = L"FEP\\lib\\qarn7LogServiceOverride.jar";
inline constexpr wchar_t kMediaSpanInfo[] = L"mediaSpanInfo.xml";

LaunchProfile chooseLaunchProfile(bool hostSystemJarFound, bool mediaSpanInfoFound);

/// The profile's fragment of the Java line, naming `mainJar`, with the blanks it carries at its
/// ends (every fragment ends with one; PlainRun's also begins with one).
std::string launchFragment(LaunchProfile profile, std::string_view mainJar);

}  // namespace launcher

#include "launch_profile.h"

namespace launcher {

LaunchProfile chooseLaunchProfile(bool hostSystemJarFound, bool mediaSpanInfoFound) {
  if (hostSystemJarFound) {
    return mediaSpanInfoFound ? LaunchProfile::Qarn7PreSetup : LaunchProfile::Qarn7Run;
  }
  return mediaSpanInfoFound ? LaunchProfile::PreSetup : LaunchProfile::PlainRun;
}

std::string launchFragment(LaunchProfile profile, std::string_view mainJar) {
  constexpr std::string_view hostSystemClasspath =
      "-cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;";
  std::string fragment;
  switch (profile) {
    case LaunchProfile::Qarn7PreSetup:
      fragment.append(hostSystemClasspath).append("preSetup.jar;").append(mainJar);
      fragment.append(" PreInstallSetup -qarn7qot ");
      break;
    case LaunchProfile::Qarn7Run:
      fragment.append(hostSystemClasspath).append(mainJar).append(" run -qarn7qot ");
      break;
    case LaunchProfile::PreSetup:
      fragment.append("-cp preSetup.jar;").append(mainJar).append(" PreInstallSetup ");
      break;
    case LaunchProfile::PlainRun:
      fragment.append(" -cp ").append(mainJar).append(" run ");
      break;
  }
  return fragment;
}

}  // namespace launcher

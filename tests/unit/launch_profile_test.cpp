#include "launch_profile.h"

#include <gtest/gtest.h>

#include <string>

namespace launcher {
namespace {

TEST(ChooseLaunchProfile, ByWhatLiesBesideTheLauncher) {
  struct Case {
    bool hostSystemJar;
    bool mediaSpanInfo;
    LaunchProfile expected;
  };
  const Case cases[] = {
      {true, true, LaunchProfile::Qarn7PreSetup},
      {true, false, LaunchProfile::Qarn7Run},
      {false, true, LaunchProfile::PreSetup},
      {false, false, LaunchProfile::PlainRun},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "host-system jar " << c.hostSystemJar << ", mediaSpanInfo " << c.mediaSpanInfo);
    EXPECT_EQ(chooseLaunchProfile(c.hostSystemJar, c.mediaSpanInfo), c.expected);
  }
}

TEST(LaunchFragment, NamesTheMainJarWithTheBlanksAtItsEnds) {
  struct Case {
    LaunchProfile profile;
    const char* mainJar;
    std::string expected;
  };
  const Case cases[] = {
      {LaunchProfile::Qarn7PreSetup, "update.jar",
       "-cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;preSetup.jar;"
       "update.jar PreInstallSetup -qarn7qot "},
      {LaunchProfile::Qarn7Run, "update.jar",
       "-cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;update.jar run "
       "-qarn7qot "},
      {LaunchProfile::PreSetup, "update.jar", "-cp preSetup.jar;update.jar PreInstallSetup "},
      {LaunchProfile::PlainRun, "update.jar", " -cp update.jar run "},
      {LaunchProfile::Qarn7PreSetup, "setup.jar",
       "-cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;preSetup.jar;"
       "setup.jar PreInstallSetup -qarn7qot "},
      {LaunchProfile::Qarn7Run, "setup.jar",
       "-cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;setup.jar run "
       "-qarn7qot "},
      {LaunchProfile::PreSetup, "setup.jar", "-cp preSetup.jar;setup.jar PreInstallSetup "},
      {LaunchProfile::PlainRun, "setup.jar", " -cp setup.jar run "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(launchFragment(c.profile, c.mainJar), c.expected);
  }
}

}  // namespace
}  // namespace launcher

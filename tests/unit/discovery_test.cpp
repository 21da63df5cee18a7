#include "discovery.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {
namespace {

TEST(IsUninstallMode, LastUninstallNearTheEndOrUninstallUnderscoreAfterTheStart) {
  struct Case {
    std::string_view directory;
    bool expected;
  };
  const Case cases[] = {
      {"C:\\Media\\uninstall\\", true},
      {"C:\\Media\\uninstall2\\", true},
      {"C:\\Media\\uninstall12\\", false},
      {"C:\\Media\\uninstaller\\", false},
      {"C:\\Media\\Uninstall\\", false},
      {"C:\\Media\\uninstall\\bin\\", false},
      {"C:\\Media\\uninstall_old\\tools\\", true},
      {"", false},
      {"uninstal", false},
      {"uninstall", true},                      // followed by nothing
      {"C:\\uninstall", true},                  // followed by nothing
      {"C:\\uninstallXY", true},                // followed by two characters
      {"C:\\uninstallXYZ", false},              // followed by three
      {"uninstall_old\\tools\\", false},        // "uninstall_" only at position 0
      {"xuninstall_old\\tools\\", true},        // "uninstall_" at position 1
      {"C:\\uninstaller\\uninstall\\", true},   // the last occurrence counts
      {"C:\\uninstall\\uninstaller\\", false},  // the last occurrence counts
      {"C:\\uninstall_a\\uninstall\\x\\y\\", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory);
    EXPECT_EQ(isUninstallMode(c.directory), c.expected);
  }
}

TEST(JoinPath, ConcatenatesWithoutSeparatorOrNormalising) {
  EXPECT_EQ(joinPath(L"C:\\m\\", L"..\\java"), L"C:\\m\\..\\java");
  EXPECT_EQ(joinPath(L"C:\\m", L"java"), L"C:\\mjava");
  EXPECT_EQ(joinPath(L"", L""), L"");
}

TEST(JavaUnderHome, OneBackslashBetweenHomeAndBin) {
  struct Case {
    std::wstring_view javaHome;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"C:\\jre", L"C:\\jre\\bin\\java.exe"},
      {L"C:\\jre\\", L"C:\\jre\\bin\\java.exe"},
      {L"C:\\", L"C:\\bin\\java.exe"},
      {L"D:\\cwd\\\\", L"D:\\cwd\\\\bin\\java.exe"},  // an empty value made absolute, no more
  };
  for (const Case& c : cases) {
    EXPECT_EQ(javaUnderHome(c.javaHome), c.expected);
  }
}

struct ExpectedProbe {
  std::wstring_view relativePath;
  std::wstring_view stagingSource;
  std::wstring_view stagingTarget;
  std::wstring_view stagedJava;
};

void expectProbes(std::span<const JavaProbe> probes, const std::vector<ExpectedProbe>& expected) {
  ASSERT_EQ(probes.size(), expected.size());
  for (size_t i = 0; i < probes.size(); ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(probes[i].relativePath, expected[i].relativePath);
    EXPECT_EQ(probes[i].stagingSource, expected[i].stagingSource);
    EXPECT_EQ(probes[i].stagingTarget, expected[i].stagingTarget);
    EXPECT_EQ(probes[i].stagedJava, expected[i].stagedJava);
    EXPECT_EQ(probes[i].isStaged(), !expected[i].stagingSource.empty());
  }
}

TEST(JavaProbes, InstallModeOrderAndTexts) {
  expectProbes(installModeProbes(),
               {
                   {L"java\\jre\\bin\\java.exe", L"", L"", L""},
                   {L"java\\bin\\java.exe", L"", L"", L""},
                   {L"..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe",
                    L"", L"", L""},
               });
}

TEST(JavaProbes, UninstallModeOrderAndTexts) {
  expectProbes(
      uninstallModeProbes(),
      {
          {L"java\\jre\\bin\\java.exe", L"", L"", L""},
          {L"java\\bin\\java.exe", L"", L"", L""},
          {L"jre\\bin\\java.exe", L"", L"", L""},
          {L"..\\java\\jre\\bin\\java.exe", L"..\\java", L"java", L"java\\jre\\bin\\java.exe"},
          {L"..\\java\\bin\\java.exe", L"..\\java", L"java", L"java\\bin\\java.exe"},
          {L"..\\jre\\bin\\java.exe", L"..\\jre", L"jre", L"jre\\bin\\java.exe"},
      });
}

// ---------------------------------------------------------------------------------------------
// discoverJava against a fake set of existing paths

using Paths = std::vector<std::wstring>;

// Records every existence test and every logged probe, in one sequence, so that the order of
// logging and testing shows.
struct FakeDisk {
  std::set<std::wstring> existing;
  Paths events;

  DiscoveredJava discover(std::wstring& launcherDir, bool uninstallMode, std::string_view mainJar) {
    return discoverJava(
        launcherDir, uninstallMode, mainJar,
        [this](const std::wstring& path) {
          events.push_back(L"test " + path);
          return existing.contains(path);
        },
        [this](const std::wstring& path) { events.push_back(L"log " + path); });
  }
};

constexpr std::wstring_view kInstallDir = L"D:\\m\\";
constexpr std::wstring_view kUninstallDir = L"D:\\m\\uninstall\\";

TEST(DiscoverJava, FirstExistingProbeWinsAndEveryProbeTriedIsLoggedFirst) {
  struct Case {
    const char* name;
    std::wstring_view launcherDir;
    bool uninstallMode;
    const char* mainJar;
    Paths existing;
    std::optional<std::wstring> javaExe;
    std::optional<StagingPlan> staging;
    std::wstring launcherDirAfter;
    Paths logged;  // every probe tried, in order
  };
  const Case cases[] = {
      {"install: first of two runtimes",
       kInstallDir,
       false,
       "update.jar",
       {L"D:\\m\\java\\jre\\bin\\java.exe", L"D:\\m\\java\\bin\\java.exe"},
       L"D:\\m\\java\\jre\\bin\\java.exe",
       std::nullopt,
       L"D:\\m\\",
       {L"D:\\m\\java\\jre\\bin\\java.exe"}},
      {"install: second probe",
       kInstallDir,
       false,
       "update.jar",
       {L"D:\\m\\java\\bin\\java.exe"},
       L"D:\\m\\java\\bin\\java.exe",
       std::nullopt,
       L"D:\\m\\",
       {L"D:\\m\\java\\jre\\bin\\java.exe", L"D:\\m\\java\\bin\\java.exe"}},
      {"install: JDK beside the parent, unresolved",
       kInstallDir,
       false,
       "update.jar",
       {L"D:\\m\\..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe"},
       L"D:\\m\\..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe",
       std::nullopt,
       L"D:\\m\\",
       {L"D:\\m\\java\\jre\\bin\\java.exe", L"D:\\m\\java\\bin\\java.exe",
        L"D:\\m\\..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe"}},
      {"install: a runtime only in jre is not looked for",
       kInstallDir,
       false,
       "update.jar",
       {L"D:\\m\\jre\\bin\\java.exe"},
       std::nullopt,
       std::nullopt,
       L"D:\\m\\",
       {L"D:\\m\\java\\jre\\bin\\java.exe", L"D:\\m\\java\\bin\\java.exe",
        L"D:\\m\\..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe"}},
      {"install: FEP marker moves the probes",
       kInstallDir,
       false,
       "update.jar",
       {L"D:\\m\\FEP\\update.jar", L"D:\\m\\FEP\\java\\bin\\java.exe",
        L"D:\\m\\java\\jre\\bin\\java.exe"},
       L"D:\\m\\FEP\\java\\bin\\java.exe",
       std::nullopt,
       L"D:\\m\\FEP\\",
       {L"D:\\m\\FEP\\java\\jre\\bin\\java.exe", L"D:\\m\\FEP\\java\\bin\\java.exe"}},
      // With the extension, the third probe's ".." leaves FEP and looks beside the launcher.
      {"install: FEP marker, runtime only beside the launcher",
       kInstallDir,
       false,
       "update.jar",
       {L"D:\\m\\FEP\\update.jar", L"D:\\m\\java\\jre\\bin\\java.exe"},
       std::nullopt,
       std::nullopt,
       L"D:\\m\\FEP\\",
       {L"D:\\m\\FEP\\java\\jre\\bin\\java.exe", L"D:\\m\\FEP\\java\\bin\\java.exe",
        L"D:\\m\\FEP\\..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe"}},
      {"install: FEP marker names the main jar",
       kInstallDir,
       false,
       "setup.jar",
       {L"D:\\m\\FEP\\update.jar", L"D:\\m\\java\\bin\\java.exe"},
       L"D:\\m\\java\\bin\\java.exe",
       std::nullopt,
       L"D:\\m\\",
       {L"D:\\m\\java\\jre\\bin\\java.exe", L"D:\\m\\java\\bin\\java.exe"}},
      {"install: FEP runtime without the marker is ignored",
       kInstallDir,
       false,
       "setup.jar",
       {L"D:\\m\\FEP\\java\\bin\\java.exe"},
       std::nullopt,
       std::nullopt,
       L"D:\\m\\",
       {L"D:\\m\\java\\jre\\bin\\java.exe", L"D:\\m\\java\\bin\\java.exe",
        L"D:\\m\\..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe"}},
      {"uninstall: runtime beside the launcher wins over the parent's",
       kUninstallDir,
       true,
       "update.jar",
       {L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe",
        L"D:\\m\\uninstall\\..\\java\\jre\\bin\\java.exe"},
       L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe",
       std::nullopt,
       L"D:\\m\\uninstall\\",
       {L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe"}},
      {"uninstall: jre beside the launcher",
       kUninstallDir,
       true,
       "update.jar",
       {L"D:\\m\\uninstall\\jre\\bin\\java.exe"},
       L"D:\\m\\uninstall\\jre\\bin\\java.exe",
       std::nullopt,
       L"D:\\m\\uninstall\\",
       {L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\java\\bin\\java.exe",
        L"D:\\m\\uninstall\\jre\\bin\\java.exe"}},
      {"uninstall: parent's java\\jre is staged",
       kUninstallDir,
       true,
       "update.jar",
       {L"D:\\m\\uninstall\\..\\java\\jre\\bin\\java.exe"},
       L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe",
       StagingPlan{L"D:\\m\\uninstall\\..\\java", L"D:\\m\\uninstall\\java",
                   L"D:\\m\\uninstall\\..\\java\\jre\\bin\\java.exe"},
       L"D:\\m\\uninstall\\",
       {L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\java\\bin\\java.exe",
        L"D:\\m\\uninstall\\jre\\bin\\java.exe",
        L"D:\\m\\uninstall\\..\\java\\jre\\bin\\java.exe"}},
      {"uninstall: parent's java\\bin is staged",
       kUninstallDir,
       true,
       "update.jar",
       {L"D:\\m\\uninstall\\..\\java\\bin\\java.exe"},
       L"D:\\m\\uninstall\\java\\bin\\java.exe",
       StagingPlan{L"D:\\m\\uninstall\\..\\java", L"D:\\m\\uninstall\\java",
                   L"D:\\m\\uninstall\\..\\java\\bin\\java.exe"},
       L"D:\\m\\uninstall\\",
       {L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\java\\bin\\java.exe",
        L"D:\\m\\uninstall\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\..\\java\\jre\\bin\\java.exe",
        L"D:\\m\\uninstall\\..\\java\\bin\\java.exe"}},
      {"uninstall: parent's jre is staged",
       kUninstallDir,
       true,
       "setup.jar",
       {L"D:\\m\\uninstall\\..\\jre\\bin\\java.exe"},
       L"D:\\m\\uninstall\\jre\\bin\\java.exe",
       StagingPlan{L"D:\\m\\uninstall\\..\\jre", L"D:\\m\\uninstall\\jre",
                   L"D:\\m\\uninstall\\..\\jre\\bin\\java.exe"},
       L"D:\\m\\uninstall\\",
       {L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\java\\bin\\java.exe",
        L"D:\\m\\uninstall\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\..\\java\\jre\\bin\\java.exe",
        L"D:\\m\\uninstall\\..\\java\\bin\\java.exe", L"D:\\m\\uninstall\\..\\jre\\bin\\java.exe"}},
      {"uninstall: FEP marker is ignored",
       kUninstallDir,
       true,
       "update.jar",
       {L"D:\\m\\uninstall\\FEP\\update.jar", L"D:\\m\\uninstall\\FEP\\java\\bin\\java.exe"},
       std::nullopt,
       std::nullopt,
       L"D:\\m\\uninstall\\",
       {L"D:\\m\\uninstall\\java\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\java\\bin\\java.exe",
        L"D:\\m\\uninstall\\jre\\bin\\java.exe", L"D:\\m\\uninstall\\..\\java\\jre\\bin\\java.exe",
        L"D:\\m\\uninstall\\..\\java\\bin\\java.exe", L"D:\\m\\uninstall\\..\\jre\\bin\\java.exe"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDisk disk{{c.existing.begin(), c.existing.end()}, {}};
    std::wstring launcherDir(c.launcherDir);
    const DiscoveredJava found = disk.discover(launcherDir, c.uninstallMode, c.mainJar);

    EXPECT_EQ(found.javaExe, c.javaExe);
    ASSERT_EQ(found.staging.has_value(), c.staging.has_value());
    if (c.staging) {
      EXPECT_EQ(found.staging->sourceDir, c.staging->sourceDir);
      EXPECT_EQ(found.staging->targetDir, c.staging->targetDir);
      EXPECT_EQ(found.staging->foundJava, c.staging->foundJava);
    }
    EXPECT_EQ(launcherDir, c.launcherDirAfter);

    // Install mode tests the FEP marker, unlogged, before anything else; then each probe is
    // logged and tested in turn, and nothing follows the hit.
    Paths events;
    if (!c.uninstallMode) {
      const std::string_view jar = c.mainJar;
      events.push_back(L"test " + std::wstring(c.launcherDir) + L"FEP\\" +
                       std::wstring(jar.begin(), jar.end()));
    }
    for (const std::wstring& probe : c.logged) {
      events.push_back(L"log " + probe);
      events.push_back(L"test " + probe);
    }
    EXPECT_EQ(disk.events, events);
  }
}

}  // namespace
}  // namespace launcher

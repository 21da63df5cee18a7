#include "launch_sequence.h"

#include <string>

#include "../command_line.h"
#include "../discovery.h"
#include "../jvm_line.h"
#include "../launch_profile.h"
#include "../messages.h"
#include "../staging/staging.h"
#include "diagnostics.h"
#include "exit_status.h"
#include "file_system.h"
#include "java_process.h"
#include "wide_text.h"

namespace launcher {
namespace {

// Every text of the command-line work must exist for the launch to go on; a conversion the
// system refuses leaves nothing sound to hand to Java.
template <typename Text>
Text required(std::optional<Text> text) {
  if (!text) consoleExit(messages::kOutOfMemory);
  return std::move(*text);
}

LaunchProfile chooseProfileBeside(const std::wstring& launcherDir) {
  const bool hostSystemJar = pathExists(joinPath(launcherDir, kHostSystemJar)) ||
                             pathExists(joinPath(launcherDir, kFepHostSystemJar));
  return chooseLaunchProfile(hostSystemJar, pathExists(joinPath(launcherDir, kMediaSpanInfo)));
}

void checkResponseFile(const OptionSet& options, LaunchLog log) {
  if (!options.responseFile) return;
  const std::optional<std::wstring> path = toWide(*options.responseFile);
  if (path && pathExists(*path)) return;
  std::string text(messages::kResponseFileNotFoundBefore);
  text.append(*options.responseFile).append(messages::kResponseFileNotFoundAfter);
  fatalExit(messages::kResponseFileNotFoundTitle, text, log);
}

std::wstring discoverJavaBeside(std::wstring& launcherDir, const DeliverableProfile& profile,
                                const OptionSet& options, LaunchLog log) {
  const bool uninstallMode = isUninstallMode(toNarrow(launcherDir).value_or(std::string()));
  DiscoveredJava found = discoverJava(
      launcherDir, uninstallMode, profile.mainJar,
      [](const std::wstring& path) { return pathExists(path); },
      [log](const std::wstring& path) { logProbe(log, path); });
  if (!found.javaExe) {
    fatalExit(messages::kJavaNotFoundTitle, messages::kJavaNotFoundText, log);
  }
  if (found.staging) {
    const StagingPlan& staging = *found.staging;
    checkStagingSpace(launcherDir, staging.sourceDir, staging.foundJava, profile.mainJar, log);
    stageRuntime(staging.targetDir, staging.foundJava, staging.sourceDir, launcherDir,
                 profile.mainJar, options.silent, options.javaConsole);
  }
  return std::move(*found.javaExe);
}

bool expectsFailureHint(const DeliverableProfile& profile, const OptionSet& options,
                        DWORD exitCode) {
  return profile.failureHint != nullptr && !options.noOutput && exitCode != 0 && exitCode != 1000 &&
         exitCode != 2;
}

}  // namespace

DWORD runLauncher(std::wstring_view commandLineTail, const DeliverableProfile& profile) {
  std::wstring launcherDir = launcherDirectory();
  const std::string currentDir = required(toNarrow(currentDirectory()));
  const LaunchProfile launchProfile = chooseProfileBeside(launcherDir);

  const std::string savedCommandLine = required(toNarrow(commandLineTail));
  ArgumentTable table = tokenizeCommandLine(savedCommandLine);
  const ExtractedOptions extracted =
      extractOptions(table, savedCommandLine, currentDir, profile.acceptsNoOutput);
  if (extracted.error == CommandLineError::invalidJvmParams) {
    consoleExit(messages::kInvalidJvmParams);
  }
  const OptionSet& options = extracted.options;
  const std::wstring jvmLine = required(
      toWide(buildJvmLine(launchFragment(launchProfile, profile.mainJar), options, table)));

  const LaunchLog log = options.logEnabled ? openLaunchLog(*options.logPath) : nullptr;
  checkResponseFile(options, log);

  std::wstring javaExe;
  if (options.javaHome) {
    javaExe = javaUnderHome(required(toWide(*options.javaHome)));
    logProbe(log, javaExe);
  } else {
    javaExe = discoverJavaBeside(launcherDir, profile, options, log);
  }
  finishLaunchLog(log, javaExe);

  const DWORD exitCode = runJava(javaExe, jvmLine, launcherDir, options.javaConsole);
  if (expectsFailureHint(profile, options, exitCode)) {
    reportError(profile.failureHint->title, profile.failureHint->text, nullptr);
  }
  return exitCode;
}

}  // namespace launcher

#include "discovery.h"

namespace launcher {
namespace {

constexpr JavaProbe kInstallModeProbes[] = {
    {L"java\\jre\\bin\\java.exe", {}, {}, {}},
    {L"java\\bin\\java.exe", {}, {}, {}},
    {L"..\\JDK\\jre.pak\\repository\\package.java.jre\\java\\jre\\bin\\java.exe", {}, {}, {}},
};

constexpr JavaProbe kUninstallModeProbes[] = {
    {L"java\\jre\\bin\\java.exe", {}, {}, {}},
    {L"java\\bin\\java.exe", {}, {}, {}},
    {L"jre\\bin\\java.exe", {}, {}, {}},
    {L"..\\java\\jre\\bin\\java.exe", L"..\\java", L"java", L"java\\jre\\bin\\java.exe"},
    {L"..\\java\\bin\\java.exe", L"..\\java", L"java", L"java\\bin\\java.exe"},
    {L"..\\jre\\bin\\java.exe", L"..\\jre", L"jre", L"jre\\bin\\java.exe"},
};

}  // namespace

std::span<const JavaProbe> installModeProbes() { return kInstallModeProbes; }
std::span<const JavaProbe> uninstallModeProbes() { return kUninstallModeProbes; }

bool isUninstallMode(std::string_view directory) {
  const size_t uninstall = directory.rfind("uninstall");
  if (uninstall == std::string_view::npos) return false;
  const size_t following = directory.size() - uninstall - 9;
  if (following <= 2) return true;
  const size_t uninstallUnderscore = directory.rfind("uninstall_");
  return uninstallUnderscore != std::string_view::npos && uninstallUnderscore > 0;
}

std::wstring joinPath(std::wstring_view base, std::wstring_view relative) {
  std::wstring joined;
  joined.reserve(base.size() + relative.size());
  joined.append(base).append(relative);
  return joined;
}

std::wstring javaUnderHome(std::wstring_view javaHome) {
  std::wstring javaExe(javaHome);
  if (javaExe.empty() || javaExe.back() != L'\\') javaExe.push_back(L'\\');
  javaExe.append(L"bin\\java.exe");
  return javaExe;
}

DiscoveredJava discoverJava(std::wstring& launcherDir, bool uninstallMode, std::string_view mainJar,
                            const PathTest& exists, const ProbeLogger& logProbe) {
  if (!uninstallMode) {
    std::wstring fepMarker = joinPath(launcherDir, kFepExtension);
    fepMarker.append(mainJar.begin(), mainJar.end());  // the jar names are plain ASCII
    if (exists(fepMarker)) launcherDir.append(kFepExtension);
  }

  for (const JavaProbe& probe : uninstallMode ? uninstallModeProbes() : installModeProbes()) {
    std::wstring candidate = joinPath(launcherDir, probe.relativePath);
    logProbe(candidate);
    if (!exists(candidate)) continue;
    if (!probe.isStaged()) return {std::move(candidate), std::nullopt};
    StagingPlan staging{joinPath(launcherDir, probe.stagingSource),
                        joinPath(launcherDir, probe.stagingTarget), std::move(candidate)};
    return {joinPath(launcherDir, probe.stagedJava), std::move(staging)};
  }
  return {};
}

}  // namespace launcher

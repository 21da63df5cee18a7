// The uninstall space check: the runtime's tree against the free space of the launcher's volume.

#include "../space_check.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "../../paths.h"
#include "../../win/diagnostics.h"
#include "../../win/file_system.h"
#include "../bundle_text.h"
#include "../staging.h"
#include "text_lookup.h"

namespace launcher {
namespace {

std::wstring childPath(const std::wstring& directory, const wchar_t* name) {
  std::wstring child = directory;
  if (child.empty() || child.back() != L'\\') child.push_back(L'\\');
  child.append(name);
  return child;
}

bool isDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

/// The bytes of all files under `directory`, at any depth; 0 for a directory that cannot be
/// listed. Directories that are reparse points (junctions, symbolic links) count as nothing and
/// are not entered, so a link back up the tree cannot make the walk loop. Directories wait on a
/// list of their own rather than on the call stack, and paths take the extended-length form, so
/// neither depth nor path length is limited.
std::uint64_t directorySize(const std::wstring& directory) {
  std::wstring root = fullPathName(directory);
  if (root.empty()) return 0;
  std::vector<std::wstring> pending{extendedLengthPath(root)};
  std::uint64_t size = 0;
  while (!pending.empty()) {
    const std::wstring current = std::move(pending.back());
    pending.pop_back();
    WIN32_FIND_DATAW entry;
    const HANDLE listing = FindFirstFileW(childPath(current, L"*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) continue;
    do {
      if (isDotOrDotDot(entry.cFileName)) continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
          pending.push_back(childPath(current, entry.cFileName));
        }
      } else {
        size += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
      }
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
  }
  return size;
}

// The volume's total free bytes (not only those the user may fill); absent when the system cannot
// tell, so that no decision rests on an undefined figure.
std::optional<std::uint64_t> freeBytesOnVolumeOf(const std::wstring& directory) {
  ULARGE_INTEGER totalFree{};
  if (!GetDiskFreeSpaceExW(longPathForm(directory).c_str(), nullptr, nullptr, &totalFree)) {
    return std::nullopt;
  }
  return totalFree.QuadPart;
}

}  // namespace

void checkStagingSpace(const std::wstring& launcherDir, const std::wstring& sourceDir,
                       const std::wstring& foundJava, std::string_view mainJar, LaunchLog log) {
  const std::optional<std::uint64_t> shortage =
      shortageMegabytes(directorySize(sourceDir), freeBytesOnVolumeOf(launcherDir));
  if (!shortage) return;

  std::string message =
      lookupBundleText(foundJava, launcherDir, mainJar, insufficientSpaceKey(*shortage));
  if (message == kLookupFailed) message = insufficientSpaceFallback(*shortage);
  std::string title = lookupBundleText(foundJava, launcherDir, mainJar, kErrorTitleKey);
  if (title == kLookupFailed) title = kErrorTitleFallback;
  fatalExit(title, message, log);
}

}  // namespace launcher

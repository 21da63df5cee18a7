// tree_walk_bench TREE ROUNDS: times the uninstall space check on TREE (the launcher's tree walk,
// through checkStagingSpace with TREE's parent as the launcher's directory, on a volume with room)
// against a minimal walker that makes the same system calls: FindFirstFileW, FindNextFileW and
// FindClose on every directory, and one GetDiskFreeSpaceExW. Alternates the two, ROUNDS times
// each after one warm-up of each, and prints "name milliseconds" per run, and the minimal
// walker's byte count.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "staging/staging.h"

namespace {

std::uint64_t minimalWalk(const std::wstring& directory) {
  std::uint64_t size = 0;
  WIN32_FIND_DATAW entry;
  const HANDLE listing = FindFirstFileW((directory + L"\\*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return 0;
  do {
    const wchar_t* name = entry.cFileName;
    if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      size += minimalWalk(directory + L"\\" + name);
    } else {
      size += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    }
  } while (FindNextFileW(listing, &entry));
  FindClose(listing);
  return size;
}

std::uint64_t minimalCheck(const std::wstring& launcherDir, const std::wstring& tree) {
  const std::uint64_t size = minimalWalk(tree);
  ULARGE_INTEGER totalFree{};
  GetDiskFreeSpaceExW(launcherDir.c_str(), nullptr, nullptr, &totalFree);
  return totalFree.QuadPart > size ? size : 0;
}

double milliseconds(LARGE_INTEGER begin, LARGE_INTEGER end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tree_walk_bench TREE ROUNDS\n");
    return 2;
  }
  const std::wstring tree = argv[1];
  const std::wstring launcherDir = tree.substr(0, tree.find_last_of(L'\\') + 1);
  const int rounds = _wtoi(argv[2]);
  std::uint64_t bytes = 0;
  for (int round = -1; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool launcherFirst = (round & 1) == 0;
      const bool launcherNow = (turn == 0) == launcherFirst;
      LARGE_INTEGER begin, end;
      QueryPerformanceCounter(&begin);
      if (launcherNow) {
        launcher::checkStagingSpace(launcherDir, tree, L"", "update.jar", nullptr);
      } else {
        bytes = minimalCheck(launcherDir, tree);
      }
      QueryPerformanceCounter(&end);
      if (round >= 0) {
        std::printf("%s %.3f\n", launcherNow ? "launcher" : "minimal", milliseconds(begin, end));
      }
    }
  }
  std::printf("bytes %llu\n", static_cast<unsigned long long>(bytes));
  return bytes == 0 ? 1 : 0;
}

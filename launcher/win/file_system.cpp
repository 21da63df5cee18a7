#include "file_system.h"

#include <shlwapi.h>
#include <windows.h>

#include "../paths.h"

namespace launcher {
namespace {

constexpr size_t kClassicPathLimit = MAX_PATH;

// Attributes of a path of any length.
DWORD fileAttributes(const std::wstring& path) {
  return GetFileAttributesW(longPathForm(path).c_str());
}

}  // namespace

std::wstring fullPathName(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  while (size != 0) {
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0) return {};
    if (length < size) {
      full.resize(length);
      return full;
    }
    size = length;
  }
  return {};
}

std::wstring longPathForm(const std::wstring& path) {
  if (path.size() < kClassicPathLimit) return path;
  const std::wstring full = fullPathName(path);
  return full.empty() ? path : extendedLengthPath(full);
}

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: the system filled the whole buffer
  }
}

std::wstring launcherDirectory() {
  std::wstring directory = modulePath();
  PathRemoveFileSpecW(directory.data());
  directory.resize(wcslen(directory.c_str()));
  directory.push_back(L'\\');
  return directory;
}

std::wstring currentDirectory() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  while (size != 0) {
    std::wstring directory(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, directory.data());
    if (length < size) {
      directory.resize(length);
      return directory;
    }
    size = length;
  }
  return {};
}

bool pathExists(std::wstring_view path) {
  const std::wstring text(path);
  if (text.size() < kClassicPathLimit) return PathFileExistsW(text.c_str()) != FALSE;
  return fileAttributes(text) != INVALID_FILE_ATTRIBUTES;
}

bool isDirectory(std::wstring_view path) {
  const DWORD attributes = fileAttributes(std::wstring(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace launcher

#include "paths.h"

namespace launcher {

std::wstring extendedLengthPath(std::wstring_view fullPath) {
  if (fullPath.starts_with(L"\\\\?\\") || fullPath.starts_with(L"\\\\.\\")) {
    return std::wstring(fullPath);
  }
  if (fullPath.starts_with(L"\\\\")) {
    std::wstring path = L"\\\\?\\UNC\\";
    path.append(fullPath.substr(2));
    return path;
  }
  std::wstring path = L"\\\\?\\";
  path.append(fullPath);
  return path;
}

}  // namespace launcher

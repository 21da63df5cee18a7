#include "space_check.h"

namespace launcher {

std::uint64_t wholeMegabytes(std::uint64_t bytes) { return bytes >> 20; }

std::optional<std::uint64_t> shortageMegabytes(std::uint64_t requiredBytes,
                                               std::optional<std::uint64_t> freeBytes) {
  if (!freeBytes) return std::nullopt;
  std::uint64_t requiredMB = wholeMegabytes(requiredBytes);
  const std::uint64_t freeMB = wholeMegabytes(*freeBytes);
  if (requiredMB == freeMB) ++requiredMB;  // cannot overflow: 2^64 bytes are 2^44 megabytes
  if (requiredMB < freeMB) return std::nullopt;
  return requiredMB;
}

std::string insufficientSpaceFallback(std::uint64_t megabytes) {
  std::string text = "Insufficient Space to initialize uninstall.  Required space : ";
  text.append(std::to_string(megabytes)).append(" MB");
  return text;
}

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

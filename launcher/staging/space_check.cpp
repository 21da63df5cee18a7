#include "space_check.h"

#include "../decimal.h"

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
  text.append(decimal(megabytes)).append(" MB");
  return text;
}

}  // namespace launcher

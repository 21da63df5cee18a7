#include "wide_text.h"

#include <windows.h>

#include <climits>

namespace launcher {
namespace {

// The system's conversions take int lengths.
constexpr size_t kLargestText = INT_MAX / 2;

}  // namespace

std::optional<std::wstring> toWide(std::string_view narrow) {
  if (narrow.size() >= kLargestText) return std::nullopt;
  if (narrow.empty()) return std::wstring();
  const int length = static_cast<int>(narrow.size());
  std::wstring wide(narrow.size(), L'\0');  // never more units than bytes
  const int written =
      MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), length, wide.data(), length);
  if (written <= 0) return std::nullopt;
  wide.resize(static_cast<size_t>(written));
  return wide;
}

std::optional<std::string> toNarrow(std::wstring_view wide) {
  if (wide.size() >= kLargestText) return std::nullopt;
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  // A character that the code page lacks becomes its default character, never a look-alike: the
  // best fit would turn a full-width quotation mark into '"', and the text of one quoted argument
  // into options of the launcher. Code pages that have no best fit (UTF-8 among them) refuse the
  // flag and need none.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int needed =
      WideCharToMultiByte(CP_THREAD_ACP, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    needed = WideCharToMultiByte(CP_THREAD_ACP, flags, wide.data(), length, nullptr, 0, nullptr,
                                 nullptr);
  }
  if (needed <= 0) return std::nullopt;
  std::string narrow(static_cast<size_t>(needed), '\0');
  const int written = WideCharToMultiByte(CP_THREAD_ACP, flags, wide.data(), length, narrow.data(),
                                          needed, nullptr, nullptr);
  if (written <= 0) return std::nullopt;
  narrow.resize(static_cast<size_t>(written));
  return narrow;
}

}  // namespace launcher

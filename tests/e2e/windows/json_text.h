#pragma once

// UTF-16 text as a JSON string, for the records that the end-to-end helpers write.

#include <windows.h>

#include <string>
#include <string_view>

namespace e2e {

/// Returns |text| in UTF-8; an unpaired surrogate becomes U+FFFD, as the system converts it.
inline std::string toUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

/// Returns |text| as a quoted JSON string in UTF-8, control characters escaped.
inline std::string jsonString(std::wstring_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string json = "\"";
  for (const char c : toUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json.push_back('\\');
      json.push_back(c);
    } else if (byte < 0x20) {
      json.append("\\u00");
      json.push_back(kHex[byte >> 4]);
      json.push_back(kHex[byte & 0xF]);
    } else {
      json.push_back(c);
    }
  }
  json.push_back('"');
  return json;
}

/// Returns the UTF-8 |text| as UTF-16.
inline std::wstring fromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed);
  return wide;
}

/// Returns the whole content of |path|, or nothing when it cannot be read.
inline bool readFile(const std::wstring& path, std::string& content) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  content.clear();
  char buffer[65536];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0) {
    content.append(buffer, read);
  }
  CloseHandle(file);
  return ok;
}

/// Writes |bytes| to |file| completely; false when a write fails.
inline bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

/// Returns the full path of this program's own file, however long.
inline std::wstring ownModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace e2e

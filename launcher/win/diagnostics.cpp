#include "diagnostics.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "../decimal.h"
#include "../messages.h"
#include "exit_status.h"
#include "wide_text.h"

namespace launcher {
namespace {

void writeBytes(HANDLE file, std::string_view bytes) {
  // Large texts go out in pieces that fit the call's 32-bit count; a failed write is dropped.
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return;
    bytes.remove_prefix(written);
  }
}

void writeLogText(LaunchLog log, std::wstring_view text) {
  if (const std::optional<std::string> narrow = toNarrow(text)) writeBytes(log, *narrow);
}

}  // namespace

LaunchLog openLaunchLog(std::string_view logPath) {
  const std::optional<std::wstring> path = toWide(logPath);
  if (!path) return nullptr;
  const HANDLE file = CreateFileW(path->c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

void logProbe(LaunchLog log, std::wstring_view candidate) {
  if (log == nullptr) return;
  writeBytes(log, messages::kLogProbePrefix);
  writeLogText(log, candidate);
  writeBytes(log, "\n");
}

void finishLaunchLog(LaunchLog log, std::wstring_view javaExe) {
  if (log == nullptr) return;
  writeBytes(log, messages::kLogUsingPrefix);
  writeLogText(log, javaExe);
  FlushFileBuffers(log);
  CloseHandle(log);
}

void reportError(std::string_view title, std::string_view text, LaunchLog log) {
  // Texts read back from a Java process may hold a NUL; like the box, the log stops there.
  title = title.substr(0, title.find('\0'));
  text = text.substr(0, text.find('\0'));
  const std::optional<std::wstring> wideTitle = toWide(title);
  const std::optional<std::wstring> wideText = toWide(text);
  MessageBoxW(nullptr, wideText ? wideText->c_str() : nullptr,
              wideTitle ? wideTitle->c_str() : nullptr, MB_OK);
  if (log == nullptr) return;
  writeBytes(log, text);
  writeBytes(log, "\n");
  CloseHandle(log);
}

void fatalExit(std::string_view title, std::string_view text, LaunchLog log) {
  reportError(title, text, log);
  std::exit(kLauncherFailure);
}

void consoleMessage(std::string_view text) {
  // Standard output is a text stream: its line end is a carriage return and a line feed. Written
  // straight to the handle, so nothing waits in a buffer when a child process writes there too.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  std::string line(text);
  line.append("\r\n");
  writeBytes(out, line);
}

void consoleMessage(DWORD errorNumber) { consoleMessage(decimal(errorNumber)); }

void consoleExit(std::string_view text) {
  consoleMessage(text);
  std::exit(kLauncherFailure);
}

}  // namespace launcher

#include "text_lookup.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "../../win/diagnostics.h"
#include "../../win/wide_text.h"
#include "../bundle_text.h"

namespace launcher {
namespace {

constexpr char kTempPathFailed[] = "GetTempPath failed";
constexpr char kTempFileNameFailed[] = "GetTempFileName failed";
constexpr char kCreateFileFailed[] = "CreateFile failed";
constexpr char kCreateProcessFailed[] = "createprocess failed";
constexpr char kFlushFailed[] = "flush failed";

std::wstring temporaryDirectory() {
  // Sized to what the system asks for, so a long temporary directory is not cut short; one that
  // is too long for a temporary file name then fails at GetTempFileNameW.
  DWORD size = MAX_PATH;
  for (;;) {
    std::wstring directory(size, L'\0');
    const DWORD length = GetTempPathW(size, directory.data());
    if (length == 0) return {};
    if (length < size) {
      directory.resize(length);
      return directory;
    }
    size = length + 1;
  }
}

// The capture file from its creation by GetTempFileNameW to its deletion, which happens on every
// way out, so that no "QOT" file outlives the lookup.
class CaptureFile {
 public:
  explicit CaptureFile(std::wstring name) : name_(std::move(name)) {}
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;
  ~CaptureFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    DeleteFileW(name_.c_str());
  }

  const std::wstring& name() const { return name_; }
  HANDLE handle() const { return handle_; }

  /// Opens the file afresh, empty, with a handle that the Java process inherits.
  bool open() {
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.bInheritHandle = TRUE;
    handle_ =
        CreateFileW(name_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    return handle_ != INVALID_HANDLE_VALUE;
  }

 private:
  std::wstring name_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Everything in the file, read through a second handle of its own; an unreadable file reads as
// empty.
std::string readWholeFile(const std::wstring& name) {
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  std::string chunk(64 * 1024, '\0');
  DWORD read = 0;
  while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) &&
         read > 0) {
    bytes.append(chunk, 0, read);
  }
  CloseHandle(file);
  return bytes;
}

bool runCaptured(const std::wstring& javaProgram, const std::wstring& commandLine, HANDLE capture) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = capture;
  startup.hStdError = capture;
  std::wstring writableLine = commandLine;  // CreateProcessW may write into it
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(javaProgram.c_str(), writableLine.data(), nullptr, nullptr, TRUE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

std::string captureJavaOutput(const std::wstring& javaProgram, const std::wstring& commandLine) {
  const std::wstring directory = temporaryDirectory();
  if (directory.empty()) {
    consoleMessage(kTempPathFailed);
    return kLookupFailed;
  }
  std::wstring name(MAX_PATH, L'\0');  // the call writes at most MAX_PATH units
  if (GetTempFileNameW(directory.c_str(), L"QOT", 0, name.data()) == 0) {
    consoleMessage(kTempFileNameFailed);
    return kLookupFailed;
  }
  name.resize(wcslen(name.c_str()));
  CaptureFile capture(std::move(name));
  if (!capture.open()) {
    const DWORD error = GetLastError();
    consoleMessage(kCreateFileFailed);
    consoleMessage(error);
    return kLookupFailed;
  }
  if (!runCaptured(javaProgram, commandLine, capture.handle())) {
    consoleMessage(kCreateProcessFailed);
    return kLookupFailed;
  }
  if (!FlushFileBuffers(capture.handle())) {
    consoleMessage(kFlushFailed);
    return kLookupFailed;
  }
  return capturedWords(readWholeFile(capture.name()));
}

std::string lookupBundleText(const std::wstring& foundJava, const std::wstring& launcherDir,
                             std::string_view mainJar, std::wstring_view key) {
  const std::wstring jar = toWide(mainJar).value_or(std::wstring());
  return captureJavaOutput(foundJava, bundleCommandLine(launcherDir, jar, key));
}

}  // namespace launcher

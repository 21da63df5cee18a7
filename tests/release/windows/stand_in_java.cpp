// A stand-in java.exe for the release smoke run: it records what the launcher handed it (its
// command line and its current directory, as UTF-8 lines in "received.txt" beside itself) and
// exits with the code that an argument "exit:N" asks for, 0 without one. Built as a GUI program
// so that Wine starts no console host for it.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::string toUtf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
  }
  return utf8;
}

std::wstring ownDirectory() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring currentDirectory() {
  std::wstring directory(32768, L'\0');
  directory.resize(GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
  return directory;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring commandLine = GetCommandLineW();
  const std::string record = toUtf8(commandLine) + "\n" + toUtf8(currentDirectory()) + "\n";
  const HANDLE file = CreateFileW((ownDirectory() + L"received.txt").c_str(), GENERIC_WRITE, 0,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
  }
  const size_t exitArgument = commandLine.find(L"exit:");
  if (exitArgument == std::wstring::npos) return 0;
  return static_cast<int>(std::wcstoul(commandLine.c_str() + exitArgument + 5, nullptr, 10));
}

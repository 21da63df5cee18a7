// The floor's twin for reference: the same start of java.exe, with CreateProcessW instead of
// ShellExecuteExW (as cmd.exe starts the programs of a batch file). The difference between the
// two shows what the shell's start costs by itself.
#include <windows.h>

namespace {

constexpr wchar_t kJava[] = L"java\\jre\\bin\\java.exe";
constexpr DWORD kPathUnits = 32768;   // the longest path the system has
constexpr size_t kLineUnits = 32768;  // the longest command line the system takes

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR javaLine, int) {
  wchar_t directory[kPathUnits];
  wchar_t java[kPathUnits + sizeof(kJava) / sizeof(wchar_t)];
  wchar_t commandLine[kLineUnits];
  const DWORD length = GetModuleFileNameW(nullptr, directory, kPathUnits);
  if (length == 0 || length == kPathUnits) return 1;
  DWORD end = length;
  while (end > 0 && directory[end - 1] != L'\\') --end;
  directory[end] = L'\0';
  lstrcpyW(java, directory);
  lstrcatW(java, kJava);
  // "java" javaLine, as the shell would form it.
  if (lstrlenW(java) + lstrlenW(javaLine) + 4 > static_cast<int>(kLineUnits)) return 1;
  lstrcpyW(commandLine, L"\"");
  lstrcatW(commandLine, java);
  lstrcatW(commandLine, L"\" ");
  lstrcatW(commandLine, javaLine);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(java, commandLine, nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                      &process)) {
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

// The floor of the start-up comparison: the least a program can do to run java.exe the way the
// launcher does. It takes the finished Java line as its command-line tail, starts
// java\jre\bin\java.exe beside itself with ShellExecuteExW in its own directory, waits and returns
// the exit code. No C++ library, so that its image is as small as a program's can be.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

namespace {

constexpr wchar_t kJava[] = L"java\\jre\\bin\\java.exe";
constexpr DWORD kPathUnits = 32768;  // the longest path the system has

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR javaLine, int) {
  // On the stack: as zero-filled globals they would sit in the image file and make it load slower.
  wchar_t directory[kPathUnits];
  wchar_t java[kPathUnits + sizeof(kJava) / sizeof(wchar_t)];
  const DWORD length = GetModuleFileNameW(nullptr, directory, kPathUnits);
  if (length == 0 || length == kPathUnits) return 1;
  DWORD end = length;
  while (end > 0 && directory[end - 1] != L'\\') --end;
  directory[end] = L'\0';
  lstrcpyW(java, directory);
  lstrcatW(java, kJava);

  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof(start);
  start.fMask = SEE_MASK_NOCLOSEPROCESS;
  start.lpFile = java;
  start.lpParameters = javaLine;
  start.lpDirectory = directory;
  start.nShow = SW_HIDE;
  if (!ShellExecuteExW(&start) || start.hProcess == nullptr) return 1;
  WaitForSingleObject(start.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(start.hProcess, &exitCode);
  CloseHandle(start.hProcess);
  return static_cast<int>(exitCode);
}

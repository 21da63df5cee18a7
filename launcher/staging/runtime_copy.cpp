#include "runtime_copy.h"

namespace launcher {
namespace {

// /E with empty subdirectories, /Q no file names, /H hidden and system files, /I a missing target
// is a directory, /Y no questions, /D only files newer than their copy: a repeated staging
// refreshes the copy instead of starting over.
constexpr wchar_t kCopySwitches[] = L" /E /Q /H /I /Y /D \"";

constexpr std::wstring_view kInterpreterSpecials = L"&|<>()^\"%";

std::wstring sourceAndTarget(std::wstring_view sourceDir, std::wstring_view targetDir) {
  std::wstring text = kCopySwitches;
  text.append(sourceDir).append(L"\" \"").append(targetDir).append(L"\"");
  return text;
}

}  // namespace

std::wstring copyToolIn(std::wstring_view systemDirectory) {
  std::wstring tool(systemDirectory);
  tool.append(L"\\xcopy.exe");
  return tool;
}

bool copiesDirectly(bool silent, bool javaConsole) { return silent && !javaConsole; }

std::wstring echoedText(std::wstring_view waitText) {
  waitText = waitText.substr(0, waitText.find(L'\0'));
  std::wstring text;
  text.reserve(waitText.size() * 2);
  for (const wchar_t c : waitText) {
    if (kInterpreterSpecials.find(c) != std::wstring_view::npos) text.push_back(L'^');
    text.push_back(c);
  }
  return text;
}

std::wstring interpreterCopyCommand(std::wstring_view waitText, std::wstring_view copyTool,
                                    std::wstring_view sourceDir, std::wstring_view targetDir) {
  std::wstring command = L"echo ";
  command.append(echoedText(waitText)).append(L" & CALL \"").append(copyTool).append(L"\"");
  command.append(sourceAndTarget(sourceDir, targetDir));
  return command;
}

std::wstring directCopyParameters(std::wstring_view sourceDir, std::wstring_view targetDir) {
  return sourceAndTarget(sourceDir, targetDir);
}

}  // namespace launcher

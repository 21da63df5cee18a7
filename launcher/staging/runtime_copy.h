#pragma once

// The rules of the runtime copy: the xcopy command that the command interpreter runs after
// echoing the wait text, and the parameters of xcopy when it is started directly.

#include <string>
#include <string_view>

namespace launcher {

inline constexpr char kWaitTextFallback[] = "Initializing Uninstaller, Please Wait ....";

/// Used when the system directory holds no xcopy.exe: the system's program search finds it.
inline constexpr wchar_t kBareCopyTool[] = L"XCOPY";

/// xcopy.exe in `systemDirectory`.
std::wstring copyToolIn(std::wstring_view systemDirectory);

/// Silent without the Java console, xcopy runs directly and hidden; otherwise the interpreter
/// runs it in a console window that first shows the wait text.
bool copiesDirectly(bool silent, bool javaConsole);

/// The wait text as it must stand after "echo " in an interpreter command so that the console
/// shows it as written and never runs any of it. The text comes from the Java program, so each
/// of & | < > ( ) ^ " % is preceded by a caret: the escaped quote never opens a quoted part, and
/// an escaped percent sign leaves every name between two percent signs ending in a caret, which
/// names no variable, so the interpreter leaves it as typed. The text ends at a NUL, as the
/// message boxes do, so that nothing after it can cut the command short.
std::wstring echoedText(std::wstring_view waitText);

/// echo <wait text> & CALL "<copyTool>" /E /Q /H /I /Y /D "<sourceDir>" "<targetDir>"
std::wstring interpreterCopyCommand(std::wstring_view waitText, std::wstring_view copyTool,
                                    std::wstring_view sourceDir, std::wstring_view targetDir);

/// The parameters of a directly started xcopy, with a leading blank:
///  /E /Q /H /I /Y /D "<sourceDir>" "<targetDir>"
std::wstring directCopyParameters(std::wstring_view sourceDir, std::wstring_view targetDir);

}  // namespace launcher

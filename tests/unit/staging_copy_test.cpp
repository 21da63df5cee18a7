#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime_copy.h"

namespace launcher {
namespace {

constexpr wchar_t kSystemXcopy[] = L"C:\\Windows\\system32\\xcopy.exe";
constexpr wchar_t kSource[] = L"C:\\P\\uninstall\\..\\java";
constexpr wchar_t kTarget[] = L"C:\\P\\uninstall\\java";
constexpr wchar_t kCall[] =
    L"CALL \"C:\\Windows\\system32\\xcopy.exe\" /E /Q /H /I /Y /D \"C:\\P\\uninstall\\..\\java\" "
    L"\"C:\\P\\uninstall\\java\"";

TEST(InterpreterCopyCommand, EchoesTheWaitTextThenCallsTheCopyTool) {
  struct Case {
    const char* name;
    std::wstring_view waitText;
    std::wstring_view copyTool;
    std::wstring expected;
  };
  const Case cases[] = {
      {"English wait text", L"Initializing Uninstaller, Please Wait ....", kSystemXcopy,
       std::wstring(L"echo Initializing Uninstaller, Please Wait .... & ") + kCall},
      {"empty wait text: two blanks in a row", L"", kSystemXcopy,
       std::wstring(L"echo  & ") + kCall},
      {"no xcopy.exe in the system directory", L"Bitte warten", kBareCopyTool,
       L"echo Bitte warten & CALL \"XCOPY\" /E /Q /H /I /Y /D \"C:\\P\\uninstall\\..\\java\" "
       L"\"C:\\P\\uninstall\\java\""},
      {"characters outside the ANSI code page stay", L"\u8bf7\u7a0d\u5019", kSystemXcopy,
       std::wstring(L"echo \u8bf7\u7a0d\u5019 & ") + kCall},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(interpreterCopyCommand(c.waitText, c.copyTool, kSource, kTarget), c.expected);
  }
}

TEST(InterpreterCopyCommand, PathsStayExactWhateverTheyHold) {
  EXPECT_EQ(
      interpreterCopyCommand(L"w", L"D:\\\u00e9\\xcopy.exe", L"C:\\\u0416 & x\\..\\jre",
                             L"C:\\\u0416 & x\\jre"),
      L"echo w & CALL \"D:\\\u00e9\\xcopy.exe\" /E /Q /H /I /Y /D \"C:\\\u0416 & x\\..\\jre\" "
      L"\"C:\\\u0416 & x\\jre\"");
}

TEST(EchoedText, CaretBeforeEveryCharacterTheInterpreterWouldAct) {
  struct Case {
    std::wstring_view waitText;
    std::wstring_view expected;
  };
  const Case cases[] = {
      {L"Please Wait ....", L"Please Wait ...."},
      {L"a & b", L"a ^& b"},
      {L"a|b<c>d", L"a^|b^<c^>d"},
      {L"(x)", L"^(x^)"},
      {L"^", L"^^"},
      {L"\"quoted & not\"", L"^\"quoted ^& not^\""},
      {L"100%", L"100^%"},
      {L"%PATH%", L"^%PATH^%"},
      {L"%%", L"^%^%"},
      {L"!x! ; , = @ :", L"!x! ; , = @ :"},
      {std::wstring_view(L"cut\0& del", 9), L"cut"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::wstring(c.waitText));
    EXPECT_EQ(echoedText(c.waitText), c.expected);
  }
}

// How cmd.exe /c reads a command line, reduced to what decides whether text is shown or acted
// on. First every %name% whose name is defined is replaced, where, to catch any unescaped pair,
// every name counts as defined unless it holds a caret (no real variable does); an undefined one
// stays as typed. Then, outside double quotes, a caret makes the next character literal, & ends
// a command, and | < > ( ) act; an unescaped double quote starts or ends a quoted part. Gives the
// commands, or nothing when something would act.
std::optional<std::vector<std::wstring>> interpreterCommands(std::wstring_view line) {
  std::wstring expanded;
  for (size_t i = 0; i < line.size(); ++i) {
    const size_t close = line[i] == L'%' ? line.find(L'%', i + 1) : std::wstring_view::npos;
    if (close != std::wstring_view::npos && close > i + 1 &&
        line.substr(i + 1, close - i - 1).find(L'^') == std::wstring_view::npos) {
      expanded.append(L"[expanded]");
      i = close;
    } else {
      expanded.push_back(line[i]);
    }
  }
  std::vector<std::wstring> commands(1);
  bool quoted = false;
  for (size_t i = 0; i < expanded.size(); ++i) {
    const wchar_t c = expanded[i];
    if (c == L'"') {
      quoted = !quoted;
    } else if (!quoted && c == L'^') {
      if (++i == expanded.size()) break;
      commands.back().push_back(expanded[i]);
      continue;
    } else if (!quoted && c == L'&') {
      commands.emplace_back();
      continue;
    } else if (!quoted && std::wstring_view(L"|<>()").find(c) != std::wstring_view::npos) {
      return std::nullopt;
    }
    commands.back().push_back(c);
  }
  return commands;
}

TEST(InterpreterCopyCommand, WaitTextIsShownAsWrittenAndTheCopyRunsWithItsExactArguments) {
  const std::wstring_view texts[] = {
      L"Initializing Uninstaller, Please Wait ....",
      L"a & del /q *",
      L"x | more",
      L"< in > out 2>&1",
      L"(Bitte) warten",
      L"^",
      L"trailing caret ^",
      L"\"",
      L"\"unbalanced & quote",
      L"\"a & b\" & \"c\"",
      L"100% done",
      L"%PATH% and %COMSPEC%",
      L"%&%|%",
      L"^%PATH^%",
      L"^^& ^\" %^",
  };
  for (const std::wstring_view text : texts) {
    SCOPED_TRACE(testing::Message() << std::wstring(text));
    const std::optional<std::vector<std::wstring>> commands =
        interpreterCommands(interpreterCopyCommand(text, kSystemXcopy, kSource, kTarget));
    ASSERT_TRUE(commands.has_value());
    const std::vector<std::wstring> expected = {std::wstring(L"echo ") + std::wstring(text) + L" ",
                                                std::wstring(L" ") + kCall};
    EXPECT_EQ(*commands, expected);
  }
}

TEST(InterpreterCommandsModel, SeesWhatAnUnescapedTextWouldDo) {
  // Without this the test above could pass on a model that sees nothing.
  EXPECT_EQ(interpreterCommands(L"echo a | b"), std::nullopt);
  EXPECT_EQ(interpreterCommands(L"echo a & b"), (std::vector<std::wstring>{L"echo a ", L" b"}));
  EXPECT_EQ(interpreterCommands(L"echo %PATH% & b"),
            (std::vector<std::wstring>{L"echo [expanded] ", L" b"}));
  EXPECT_EQ(interpreterCommands(L"echo \"a & b"), (std::vector<std::wstring>{L"echo \"a & b"}));
}

TEST(DirectCopyParameters, SwitchesThenQuotedSourceAndTargetAfterALeadingBlank) {
  EXPECT_EQ(directCopyParameters(kSource, kTarget),
            L" /E /Q /H /I /Y /D \"C:\\P\\uninstall\\..\\java\" \"C:\\P\\uninstall\\java\"");
  EXPECT_EQ(directCopyParameters(L"C:\\\u0416\\..\\jre", L"C:\\\u0416\\jre"),
            L" /E /Q /H /I /Y /D \"C:\\\u0416\\..\\jre\" \"C:\\\u0416\\jre\"");
}

TEST(CopiesDirectly, OnlySilentWithoutTheJavaConsole) {
  struct Case {
    bool silent;
    bool javaConsole;
    bool expected;
  };
  const Case cases[] = {
      {false, false, false},
      {false, true, false},
      {true, true, false},
      {true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "silent " << c.silent << ", console " << c.javaConsole);
    EXPECT_EQ(copiesDirectly(c.silent, c.javaConsole), c.expected);
  }
}

TEST(CopyToolIn, XcopyExeInTheSystemDirectory) {
  EXPECT_EQ(copyToolIn(L"C:\\Windows\\system32"), kSystemXcopy);
}

}  // namespace
}  // namespace launcher

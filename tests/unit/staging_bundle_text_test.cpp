#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "bundle_text.h"

namespace launcher {
namespace {

constexpr wchar_t kClass[] =
    L"com.orvel.gv.install.ni.framework.resourcebundle.ExternalNIFResourceBundleUtils";

TEST(BundleCommandLine, ClasspathOfTheMainJarThenClassThenKeyWithNothingAfterIt) {
  struct Case {
    std::wstring_view launcherDir;
    std::wstring_view mainJar;
    std::wstring key;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"C:\\P\\uninstall\\", L"update.jar", kErrorTitleKey,
       std::wstring(L" -classpath \"C:\\P\\uninstall\\update.jar\" ") + kClass + L" Title.error"},
      {L"C:\\P\\uninstall\\", L"setup.jar", kWaitTextKey,
       std::wstring(L" -classpath \"C:\\P\\uninstall\\setup.jar\" ") + kClass +
           L" uninstall.initializingUninstall"},
      {L"C:\\Program Files\\M 7\\uninstall\\", L"update.jar", insufficientSpaceKey(150),
       std::wstring(L" -classpath \"C:\\Program Files\\M 7\\uninstall\\update.jar\" ") + kClass +
           L" uninstall.insufficientSpace150"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.expected);
    EXPECT_EQ(bundleCommandLine(c.launcherDir, c.mainJar, c.key), c.expected);
  }
}

TEST(InsufficientSpaceKey, MegabytesJoinedToTheKeyInDecimal) {
  struct Case {
    std::uint64_t megabytes;
    std::wstring_view expected;
  };
  const Case cases[] = {
      {150, L"uninstall.insufficientSpace150"},
      {1, L"uninstall.insufficientSpace1"},
      {0, L"uninstall.insufficientSpace0"},
      {4294967296, L"uninstall.insufficientSpace4294967296"},  // beyond 32 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.megabytes);
    EXPECT_EQ(insufficientSpaceKey(c.megabytes), c.expected);
  }
}

TEST(CapturedWords, EveryWordFollowedByOneBlankWhateverSeparatedThem) {
  struct Case {
    const char* name;
    std::string_view captured;
    std::string_view expected;
  };
  const Case cases[] = {
      {"nothing written", "", ""},
      {"only white space", " \t\r\n\v\f", ""},
      {"-1 is a text, not the failure", "-1\r\n", "-1 "},
      {"two lines, two blanks inside", "Bitte  warten\r\n....\r\n", "Bitte warten .... "},
      {"leading white space dropped", "\n\n  Error, Insufficient Space",
       "Error, Insufficient Space "},
      {"every white-space kind separates", "a\tb\vc\fd\re\nf g", "a b c d e f g "},
      {"no line end at the end", "x", "x "},
      {"ANSI bytes kept unconverted", "Espace insuffisant \xe9\xe0",
       "Espace insuffisant \xe9\xe0 "},
      {"a NUL is an ordinary byte", std::string_view("a\0b c", 5), std::string_view("a\0b c ", 6)},
      {"Ctrl-Z ends the text stream", "Bitte\x1awarten", "Bitte "},
      {"Ctrl-Z first",
       "\x1a"
       "abc",
       ""},
      {"other control bytes are word bytes",
       "a\x1b"
       "b\x7f",
       "a\x1b"
       "b\x7f "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(capturedWords(c.captured), c.expected);
  }
}

TEST(CapturedWords, NeverEqualsTheFailureSentinel) {
  for (const std::string_view output : {"-1", "-1\n", " -1 ", "\t-1"}) {
    SCOPED_TRACE(output);
    EXPECT_NE(capturedWords(output), kLookupFailed);
  }
}

}  // namespace
}  // namespace launcher

#include "jvm_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "launch_profile.h"

namespace launcher {
namespace {

TEST(QuoteIfSpaced, QuotesOnlyBlankValuesWithoutQuotes) {
  struct Case {
    const char* name;
    std::string_view value;
    std::string expected;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"no blank", "abc", "abc"},
      {"blank", "a b", "\"a b\""},
      {"lone blank", " ", "\" \""},
      {"tab is not a blank", "a\tb", "a\tb"},
      {"blank and quotes stay as they are", "a\"b c\"", "a\"b c\""},
      {"lone quote", "\"", "\""},
      {"trailing backslash without a blank stays single", "C:\\dir\\", "C:\\dir\\"},
      {"trailing backslash with a quote stays single", "\"a b\\", "\"a b\\"},
      // The closing quote must not be read as escaped by the run of backslashes before it.
      {"trailing backslash doubled", "C:\\Temp Files\\", "\"C:\\Temp Files\\\\\""},
      {"trailing run of two doubled", "a b\\\\", "\"a b\\\\\\\\\""},
      {"inner backslashes untouched", "a\\ b\\c", "\"a\\ b\\c\""},
      {"only the final run doubled", "\\ \\", "\"\\ \\\\\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(quoteIfSpaced(c.value), c.expected);
  }
}

TEST(FinishJvmLine, AppendsTheNonEmptyEntriesAndDropsTheLastCharacter) {
  struct Case {
    const char* name;
    std::string line;
    std::vector<std::string> entries;
    bool silent;
    std::string expected;
  };
  const Case cases[] = {
      {"nothing to add", "X ", {}, false, "X"},
      {"empty line stays empty", "", {}, false, ""},
      {"blank entries skipped", "X ", {"a", "", "b", ""}, false, "X a b"},
      {"only blank entries", "X ", {"", ""}, false, "X"},
      {"silent without arguments", "X ", {}, true, "X  -silent"},
      {"silent after an argument", "X ", {"a"}, true, "X a  -silent"},
      {"entries quoted as needed",
       "X ",
       {"a b", "c\td", "e\"f g\""},
       false,
       "X \"a b\" c\td e\"f g\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(finishJvmLine(c.line, ArgumentTable{c.entries}, c.silent), c.expected);
  }
}

// From the command-line tail to the parameter string of java.exe, the way a launch runs it.
TEST(BuildJvmLine, WholeLineFromTheCommandLine) {
  struct Case {
    const char* name;
    LaunchProfile profile;
    const char* mainJar;
    bool acceptsNoOutput;
    std::string_view commandLine;
    std::string expected;
  };
  const Case cases[] = {
      {"plain launch with a response file", LaunchProfile::PlainRun, "update.jar", false,
       "-options C:\\work\\resp.txt",
       "-Xms256m -Xmx512m  -cp update.jar run  -options C:\\work\\resp.txt"},
      {"temporary directory, larger heap and silent", LaunchProfile::PreSetup, "update.jar", false,
       "-silent -is:tempdir \"C:\\Temp Files\" -Xmx 1024m -options \"C:\\My Files\\resp.txt\"",
       "-Xms256m -Xmx1024m -Djava.io.tmpdir=\"C:\\Temp Files\" -cp preSetup.jar;update.jar "
       "PreInstallSetup  -options \"C:\\My Files\\resp.txt\"  -silent"},
      {"no arguments ends with the fragment's blank", LaunchProfile::PlainRun, "update.jar", false,
       "", "-Xms256m -Xmx512m  -cp update.jar run "},
      {"silent without arguments", LaunchProfile::PlainRun, "update.jar", false, "-silent",
       "-Xms256m -Xmx512m  -cp update.jar run   -silent"},
      {"silent twice", LaunchProfile::PlainRun, "update.jar", false, "-silent -silent",
       "-Xms256m -Xmx512m  -cp update.jar run  -silent  -silent"},
      {"empty jvm parameters add a blank", LaunchProfile::PlainRun, "update.jar", false,
       "GALVORENT_JVM_PARAMS=\"\"", "-Xms256m -Xmx512m   -cp update.jar run "},
      {"empty initial heap", LaunchProfile::PlainRun, "update.jar", false, "x -Xms",
       "-Xms -Xmx512m  -cp update.jar run  x"},
      {"empty quoted argument never reaches java", LaunchProfile::PlainRun, "update.jar", false,
       "\"\" a", "-Xms256m -Xmx512m  -cp update.jar run  a"},
      {"tab not quoted", LaunchProfile::PlainRun, "update.jar", false, "a\tb",
       "-Xms256m -Xmx512m  -cp update.jar run  a\tb"},
      {"argument with blank and quotes passed unchanged", LaunchProfile::PlainRun, "update.jar",
       false, "a\"b c\"", "-Xms256m -Xmx512m  -cp update.jar run  a\"b c\""},
      // "C:\T x\" on the command line: the backslash does not escape the closing quote.
      {"jvm parameters before a temporary directory ending in a backslash", LaunchProfile::PlainRun,
       "update.jar", false, "-is:tempdir \"C:\\T x\\\" GALVORENT_JVM_PARAMS=\"-Dp='a b' -Xss2m\"",
       "-Xms256m -Xmx512m -Dp=\"a b\" -Xss2m -Djava.io.tmpdir=\"C:\\T x\\\\\"  -cp update.jar "
       "run "},
      {"noOutput passed on where not accepted", LaunchProfile::PlainRun, "update.jar", false,
       "-noOutput x", "-Xms256m -Xmx512m  -cp update.jar run  -noOutput x"},
      {"noOutput taken where accepted", LaunchProfile::PlainRun, "setup.jar", true, "-noOutput x",
       "-Xms256m -Xmx512m  -cp setup.jar run  x"},
      {"host-system profile", LaunchProfile::Qarn7Run, "setup.jar", true, "-Xms 1g a",
       "-Xms1g -Xmx512m -cp lib\\status.jar;lib\\qarn7LogServiceOverride.jar;lib\\brevk.jar;"
       "setup.jar run -qarn7qot  a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArgumentTable table = tokenizeCommandLine(c.commandLine);
    const ExtractedOptions extracted =
        extractOptions(table, c.commandLine, "D:\\cwd", c.acceptsNoOutput);
    ASSERT_EQ(extracted.error, CommandLineError::none);
    EXPECT_EQ(buildJvmLine(launchFragment(c.profile, c.mainJar), extracted.options, table),
              c.expected);
  }
}

}  // namespace
}  // namespace launcher

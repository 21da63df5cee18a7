#include "command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {
namespace {

using Entries = std::vector<std::string>;

ArgumentTable tableOf(Entries entries) { return ArgumentTable{std::move(entries)}; }

// ---------------------------------------------------------------------------------------------
// Tokenizing

TEST(TokenizeCommandLine, SplitsByTheLaunchersOwnQuotingRules) {
  struct Case {
    const char* name;
    std::string_view commandLine;
    Entries entries;
  };
  const Case cases[] = {
      {"empty", "", {}},
      {"only spaces", "   ", {}},
      {"two flags", "-silent -is:javaconsole", {"-silent", "-is:javaconsole"}},
      {"leading spaces", "  a", {"a"}},
      {"doubled blank", "a  b", {"a", "b"}},
      {"one trailing space", "a ", {"a"}},
      {"run of trailing spaces", "a    ", {"a"}},
      {"quoted token", "\"a b\" c", {"a b", "c"}},
      {"text right after the closing quote is its own token", "\"a b\"c", {"a b", "c"}},
      {"quoted last token and a trailing space", "\"a b\" ", {"a b"}},
      {"empty quoted token", "\"\" x", {"", "x"}},
      {"only an empty quoted token", "\"\"", {""}},
      {"two empty quoted tokens back to back", "\"\"\"\"", {"", ""}},
      {"unclosed opening quote keeps it", "x \"a b", {"x", "\"a b"}},
      {"unclosed quote alone", "\"", {"\""}},
      {"unclosed quote keeps trailing spaces", "\"a b  ", {"\"a b  "}},
      // a"b c" then d: the inner quotes and the blank between them stay in the token.
      {"inner quotes keep blank and quotes", "a\"b c\"d", {"a\"b c\"", "d"}},
      {"token ends at the inner closing quote", "a\"b\"c d", {"a\"b\"", "c", "d"}},
      {"unclosed inner quote takes the rest", "a\"b c", {"a\"b c"}},
      {"unclosed inner quote at the end", "a\"", {"a\""}},
      {"space before the inner quote ends the token", "a b\"c d\"", {"a", "b\"c d\""}},
      // "C:\dir\" x: no escape character, the backslash does not protect the quote.
      {"backslash before a quote is ordinary", "\"C:\\dir\\\" x", {"C:\\dir\\", "x"}},
      {"tab does not separate", "a\tb", {"a\tb"}},
      {"tab before a space stays in the token", "a\t b", {"a\t", "b"}},
      {"lone tab is a token", "\t", {"\t"}},
      {"jvm parameters argument stays whole",
       "GALVORENT_JVM_PARAMS=\"-Xss2m -Dp='a b'\" -silent",
       {"GALVORENT_JVM_PARAMS=\"-Xss2m -Dp='a b'\"", "-silent"}},
      {"more tokens than the first allocation holds",
       "1 2 3 4 5 6 7 8 9 10 11 12",
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tokenizeCommandLine(c.commandLine).entries, c.entries);
  }
}

// ---------------------------------------------------------------------------------------------
// Taking flags and options

TEST(TakeFlag, BlanksOnlyTheFirstExactMatch) {
  struct Case {
    const char* name;
    Entries before;
    std::string_view flag;
    bool taken;
    Entries after;
  };
  const Case cases[] = {
      {"first of two", {"-silent", "x", "-silent"}, "-silent", true, {"", "x", "-silent"}},
      {"later entry", {"a", "b", "-silent"}, "-silent", true, {"a", "b", ""}},
      {"case matters", {"-SILENT"}, "-silent", false, {"-SILENT"}},
      {"no prefix match", {"-silentx"}, "-silent", false, {"-silentx"}},
      {"no partial match", {"-sil"}, "-silent", false, {"-sil"}},
      {"empty table", {}, "-silent", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArgumentTable table = tableOf(c.before);
    EXPECT_EQ(takeFlag(table, c.flag), c.taken);
    EXPECT_EQ(table.entries, c.after);
  }
}

TEST(TakeOption, TakesTheFirstMatchAndWhateverFollowsIt) {
  struct Case {
    const char* name;
    Entries before;
    std::string_view option;
    std::optional<std::string> value;
    Entries after;
  };
  const Case cases[] = {
      {"value in the middle", {"a", "-Xms", "128m", "b"}, "-Xms", "128m", {"a", "", "", "b"}},
      {"last entry gives present and empty", {"a", "-Xms"}, "-Xms", "", {"a", ""}},
      {"absent", {"a", "b"}, "-Xms", std::nullopt, {"a", "b"}},
      {"empty table", {}, "-Xms", std::nullopt, {}},
      {"value is another option",
       {"-is:tempdir", "-Xms", "128m"},
       "-is:tempdir",
       "-Xms",
       {"", "", "128m"}},
      {"value is a blank entry", {"-is:javahome", "", "x"}, "-is:javahome", "", {"", "", "x"}},
      {"joined form is not the option", {"-Xms128m"}, "-Xms", std::nullopt, {"-Xms128m"}},
      {"case matters", {"-xms", "1g"}, "-Xms", std::nullopt, {"-xms", "1g"}},
      {"second occurrence stays",
       {"-Xmx", "1g", "-Xmx", "2g"},
       "-Xmx",
       "1g",
       {"", "", "-Xmx", "2g"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArgumentTable table = tableOf(c.before);
    EXPECT_EQ(takeOption(table, c.option), c.value);
    EXPECT_EQ(table.entries, c.after);
  }
}

TEST(TakeJvmParams, ValueRunsFromTheFirstQuoteAfterTheNameToTheLastCharacter) {
  struct Case {
    const char* name;
    Entries before;
    std::optional<std::string> value;
    Entries after;
  };
  const Case cases[] = {
      {"apostrophes become quotes",
       {"GALVORENT_JVM_PARAMS=\"-Xss2m -Dp='a b'\"", "-silent"},
       "-Xss2m -Dp=\"a b\"",
       {"", "-silent"}},
      {"empty quotes give present and empty", {"GALVORENT_JVM_PARAMS=\"\""}, "", {""}},
      {"lone opening quote is also the last character", {"GALVORENT_JVM_PARAMS=\""}, "", {""}},
      {"unclosed value loses its last character", {"GALVORENT_JVM_PARAMS=\"abc"}, "ab", {""}},
      {"text before the quote is skipped", {"GALVORENT_JVM_PARAMS=x\"abc\""}, "abc", {""}},
      // The character right after the name is never examined, even when it is the quote:
      // here the search starts at '-' and the only quote it finds is the last character.
      {"quote right after the name is passed over", {"GALVORENT_JVM_PARAMS\"-Xa\""}, "", {""}},
      {"anything may follow the name", {"GALVORENT_JVM_PARAMSX=\"a\""}, "a", {""}},
      {"first match only",
       {"GALVORENT_JVM_PARAMS=\"-Xa\"", "GALVORENT_JVM_PARAMS=\"-Xb\""},
       "-Xa",
       {"", "GALVORENT_JVM_PARAMS=\"-Xb\""}},
      {"lower case is an ordinary argument",
       {"galvorent_jvm_params=\"-Xa\""},
       std::nullopt,
       {"galvorent_jvm_params=\"-Xa\""}},
      {"name inside an entry does not count",
       {"xGALVORENT_JVM_PARAMS=\"-Xa\""},
       std::nullopt,
       {"xGALVORENT_JVM_PARAMS=\"-Xa\""}},
      {"no entry", {"a"}, std::nullopt, {"a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArgumentTable table = tableOf(c.before);
    const JvmParamsTaken taken = takeJvmParams(table);
    EXPECT_EQ(taken.error, CommandLineError::none);
    EXPECT_EQ(taken.value, c.value);
    EXPECT_EQ(table.entries, c.after);
  }
}

TEST(TakeJvmParams, AnEntryWithoutAnOpeningQuoteIsInvalid) {
  struct Case {
    const char* name;
    Entries entries;
  };
  const Case cases[] = {
      {"no quote at all", {"GALVORENT_JVM_PARAMS=-Xss2m"}},
      {"name alone", {"GALVORENT_JVM_PARAMS"}},
      {"name and equals sign only", {"GALVORENT_JVM_PARAMS="}},
      {"only quote is the skipped character", {"GALVORENT_JVM_PARAMS\""}},
      {"a well-formed second entry does not help",
       {"GALVORENT_JVM_PARAMS=-Xa", "GALVORENT_JVM_PARAMS=\"-Xb\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArgumentTable table = tableOf(c.entries);
    const JvmParamsTaken taken = takeJvmParams(table);
    EXPECT_EQ(taken.error, CommandLineError::invalidJvmParams);
    EXPECT_EQ(taken.value, std::nullopt);
  }
}

// ---------------------------------------------------------------------------------------------
// Absolute paths

TEST(MakeAbsolute, PrefixesTheCurrentDirectoryUnlessTheTextLooksAbsolute) {
  struct Case {
    std::string_view path;
    std::string_view currentDir;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\x", "D:\\work", "C:\\x"},
      {"x:y", "D:\\work", "x:y"},
      {"a\\b:", "D:\\work", "a\\b:"},
      {"\\\\srv\\share", "D:\\work", "\\\\srv\\share"},
      {"resp.txt", "D:\\work", "D:\\work\\resp.txt"},
      {"\\x", "D:\\work", "D:\\work\\\\x"},
      {"\\", "D:\\work", "D:\\work\\\\"},
      {"", "D:\\work", "D:\\work\\"},
      {"..\\x", "D:\\work", "D:\\work\\..\\x"},
      {"x", "D:\\", "D:\\\\x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(makeAbsolute(c.path, c.currentDir), c.expected);
  }
}

// ---------------------------------------------------------------------------------------------
// Extracting the options

constexpr std::string_view kCurrentDir = "D:\\cwd";

void expectOptions(const OptionSet& got, const OptionSet& want) {
  EXPECT_EQ(got.responseFile, want.responseFile);
  EXPECT_EQ(got.silent, want.silent);
  EXPECT_EQ(got.javaConsole, want.javaConsole);
  EXPECT_EQ(got.noOutput, want.noOutput);
  EXPECT_EQ(got.javaHome, want.javaHome);
  EXPECT_EQ(got.tempDir, want.tempDir);
  EXPECT_EQ(got.initialHeap, want.initialHeap);
  EXPECT_EQ(got.maxHeap, want.maxHeap);
  EXPECT_EQ(got.jvmParams, want.jvmParams);
  EXPECT_EQ(got.logPath, want.logPath);
  EXPECT_EQ(got.logEnabled, want.logEnabled);
}

ExtractedOptions extract(std::string_view commandLine, bool acceptsNoOutput, Entries& tableAfter) {
  ArgumentTable table = tokenizeCommandLine(commandLine);
  ExtractedOptions extracted = extractOptions(table, commandLine, kCurrentDir, acceptsNoOutput);
  tableAfter = table.entries;
  return extracted;
}

TEST(ExtractOptions, FillsTheOptionSetAndBlanksWhatItTakes) {
  struct Case {
    const char* name;
    std::string_view commandLine;
    bool acceptsNoOutput;
    OptionSet options;
    Entries table;  // the whole table afterwards
  };
  const Case cases[] = {
      {"empty command line", "", false, {.initialHeap = "256m", .maxHeap = "512m"}, {}},
      {"flag twice leaves the second",
       "-silent -silent",
       false,
       {.silent = true, .initialHeap = "256m", .maxHeap = "512m"},
       {"", "-silent"}},
      {"flag case matters",
       "-SILENT",
       false,
       {.initialHeap = "256m", .maxHeap = "512m"},
       {"-SILENT"}},
      {"joined heap is an ordinary argument",
       "-Xms128m",
       false,
       {.initialHeap = "256m", .maxHeap = "512m"},
       {"-Xms128m"}},
      {"both heaps",
       "-Xmx 1024m -Xms 64m app.xml",
       false,
       {.initialHeap = "64m", .maxHeap = "1024m"},
       {"", "", "", "", "app.xml"}},
      {"heap option last gives an empty heap, not the default",
       "x -Xms",
       false,
       {.initialHeap = "", .maxHeap = "512m"},
       {"x", ""}},
      {"max heap option last", "-Xmx", false, {.initialHeap = "256m", .maxHeap = ""}, {""}},
      {"javahome last",
       "-is:javahome",
       false,
       {.javaHome = "D:\\cwd\\", .initialHeap = "256m", .maxHeap = "512m"},
       {""}},
      // -silent is taken first, so -is:javahome finds a blank entry after it.
      {"javahome before silent",
       "-is:javahome -silent",
       false,
       {.silent = true, .javaHome = "D:\\cwd\\", .initialHeap = "256m", .maxHeap = "512m"},
       {"", ""}},
      {"quoted absolute javahome",
       "-is:javahome \"C:\\Program Files\\Java\" -is:javaconsole",
       false,
       {.javaConsole = true,
        .javaHome = "C:\\Program Files\\Java",
        .initialHeap = "256m",
        .maxHeap = "512m"},
       {"", "", ""}},
      // -is:tempdir takes "-Xms" as its value, so there is no -Xms left and 128m goes to Java.
      {"tempdir swallows the heap option",
       "-is:tempdir -Xms 128m",
       false,
       {.tempDir = "D:\\cwd\\-Xms", .initialHeap = "256m", .maxHeap = "512m"},
       {"", "", "128m"}},
      {"empty quoted tempdir",
       "-is:tempdir \"\"",
       false,
       {.tempDir = "D:\\cwd\\", .initialHeap = "256m", .maxHeap = "512m"},
       {"", ""}},
      // -is:javahome is taken before -Xms, which then finds the blanked entry as its value.
      {"heap value blanked by an earlier step",
       "-Xms -is:javahome C:\\j",
       false,
       {.javaHome = "C:\\j", .initialHeap = "", .maxHeap = "512m"},
       {"", "", ""}},
      {"options made absolute and still passed on",
       "-options resp.txt -silent",
       false,
       {.responseFile = "D:\\cwd\\resp.txt",
        .silent = true,
        .initialHeap = "256m",
        .maxHeap = "512m"},
       {"-options", "resp.txt", ""}},
      {"options last",
       "-options",
       false,
       {.responseFile = "D:\\cwd\\", .initialHeap = "256m", .maxHeap = "512m"},
       {"-options"}},
      // -options reads the first table, where "-silent" is still its value; the rebuilt table
      // then gives the first "-silent" to the flag.
      {"options read before the flags",
       "-silent -options -silent",
       false,
       {.responseFile = "D:\\cwd\\-silent",
        .silent = true,
        .initialHeap = "256m",
        .maxHeap = "512m"},
       {"", "-options", "-silent"}},
      // After the rebuild "-options" is back, and -is:javahome takes it as its value.
      {"rebuilt options entry can be another option's value",
       "-is:javahome -options x",
       false,
       {.responseFile = "D:\\cwd\\x",
        .javaHome = "D:\\cwd\\-options",
        .initialHeap = "256m",
        .maxHeap = "512m"},
       {"", "", "x"}},
      {"relative log",
       "-is:log l.txt",
       false,
       {.initialHeap = "256m", .maxHeap = "512m", .logPath = "D:\\cwd\\l.txt", .logEnabled = true},
       {"", ""}},
      {"absolute log",
       "-is:log C:\\logs\\l.txt",
       false,
       {.initialHeap = "256m", .maxHeap = "512m", .logPath = "C:\\logs\\l.txt", .logEnabled = true},
       {"", ""}},
      // The JVM parameters are taken before -is:log, which then finds a blank value.
      {"log value blanked by the jvm parameters",
       "-is:log GALVORENT_JVM_PARAMS=\"-Xa\"",
       false,
       {.initialHeap = "256m",
        .maxHeap = "512m",
        .jvmParams = "-Xa",
        .logPath = "D:\\cwd\\",
        .logEnabled = true},
       {"", ""}},
      // -Xms is taken before the JVM parameters, so it takes their entry as its value.
      {"heap option swallows the jvm parameters",
       "-Xms GALVORENT_JVM_PARAMS=\"-Xa\"",
       false,
       {.initialHeap = "GALVORENT_JVM_PARAMS=\"-Xa\"", .maxHeap = "512m"},
       {"", ""}},
      {"jvm parameters",
       "GALVORENT_JVM_PARAMS=\"-Xss2m -Dp='a b'\"",
       false,
       {.initialHeap = "256m", .maxHeap = "512m", .jvmParams = "-Xss2m -Dp=\"a b\""},
       {""}},
      {"empty jvm parameters are present",
       "GALVORENT_JVM_PARAMS=\"\"",
       false,
       {.initialHeap = "256m", .maxHeap = "512m", .jvmParams = ""},
       {""}},
      {"second jvm parameters go on",
       "GALVORENT_JVM_PARAMS=\"-Xa\" GALVORENT_JVM_PARAMS=\"-Xb\"",
       false,
       {.initialHeap = "256m", .maxHeap = "512m", .jvmParams = "-Xa"},
       {"", "GALVORENT_JVM_PARAMS=\"-Xb\""}},
      {"lower-case jvm parameters go on",
       "galvorent_jvm_params=\"-Xa\"",
       false,
       {.initialHeap = "256m", .maxHeap = "512m"},
       {"galvorent_jvm_params=\"-Xa\""}},
      {"noOutput is ordinary where not accepted",
       "-noOutput",
       false,
       {.initialHeap = "256m", .maxHeap = "512m"},
       {"-noOutput"}},
      {"noOutput taken where accepted",
       "-noOutput x",
       true,
       {.noOutput = true, .initialHeap = "256m", .maxHeap = "512m"},
       {"", "x"}},
      {"tempdir, max heap, silent and a quoted options file",
       "-silent -is:tempdir \"C:\\Temp Files\" -Xmx 1024m -options \"C:\\My Files\\resp.txt\"",
       false,
       {.responseFile = "C:\\My Files\\resp.txt",
        .silent = true,
        .tempDir = "C:\\Temp Files",
        .initialHeap = "256m",
        .maxHeap = "1024m"},
       {"", "", "", "", "", "-options", "C:\\My Files\\resp.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Entries table;
    const ExtractedOptions extracted = extract(c.commandLine, c.acceptsNoOutput, table);
    EXPECT_EQ(extracted.error, CommandLineError::none);
    expectOptions(extracted.options, c.options);
    EXPECT_EQ(table, c.table);
  }
}

TEST(ExtractOptions, MalformedJvmParametersAreAnError) {
  const std::string_view cases[] = {
      "GALVORENT_JVM_PARAMS=-Xss2m",
      "GALVORENT_JVM_PARAMS",
      "x GALVORENT_JVM_PARAMS=",
      "\"GALVORENT_JVM_PARAMS=-Xss2m\"",  // quoted as a whole: the tokenizer drops the quotes
      "GALVORENT_JVM_PARAMS=-Xa GALVORENT_JVM_PARAMS=\"-Xb\"",
  };
  for (const std::string_view commandLine : cases) {
    SCOPED_TRACE(commandLine);
    Entries table;
    EXPECT_EQ(extract(commandLine, true, table).error, CommandLineError::invalidJvmParams);
  }
}

}  // namespace
}  // namespace launcher

// Drives the whole platform-neutral command-line pipeline (tokenizing, option extraction, the Java
// line, makeAbsolute) with arbitrary bytes, and checks what must hold for every input.
//
// Input layout, chosen so that seeds are readable text:
//   byte 0                 bit 0: install (takes -noOutput, main jar setup.jar) rather than update;
//                          bits 1-2: the launch profile
//   up to the first '\n'   the current directory (a real one never holds a control character)
//   the rest               the command-line tail, any bytes at all

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "jvm_line.h"
#include "launch_profile.h"

namespace {

using launcher::ArgumentTable;
using launcher::OptionSet;
using Entries = std::vector<std::string>;

constexpr std::string_view kJvmParamsName = "GALVORENT_JVM_PARAMS";

void check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

std::string withoutBlanksAndQuotes(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if (c != ' ' && c != '"') kept.push_back(c);
  }
  return kept;
}

// Writes `entries` back as a command line in which every entry is quoted where the tokenizer
// allows it: an entry without a double quote in double quotes, any other as it is (it came from a
// token with quotes inside, or from an unclosed quote, which can only be the last entry).
std::string rejoin(const Entries& entries) {
  std::string line;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) line.push_back(' ');
    if (entries[i].find('"') == std::string::npos) {
      line.append(1, '"').append(entries[i]).append(1, '"');
    } else {
      line.append(entries[i]);
    }
  }
  return line;
}

void checkTokenizer(std::string_view tail, const Entries& entries) {
  std::string joined;
  for (const std::string& entry : entries) joined.append(entry);
  check(withoutBlanksAndQuotes(joined) == withoutBlanksAndQuotes(tail),
        "tokenizing drops only blanks and quotes, and keeps every other byte in order");
  check(entries.size() <= tail.size(), "every entry consumes at least one byte of the line");
  check(launcher::tokenizeCommandLine(rejoin(entries)).entries == entries,
        "the entries, written back with quotes, tokenize to themselves");
}

std::string absoluteByTheRules(std::string_view path, std::string_view currentDir) {
  if (path.find(':') != std::string_view::npos || path.starts_with("\\\\")) {
    return std::string(path);
  }
  return std::string(currentDir) + "\\" + std::string(path);
}

void checkMakeAbsolute(std::string_view path, std::string_view currentDir) {
  const std::string absolute = launcher::makeAbsolute(path, currentDir);
  check(absolute.ends_with(path), "makeAbsolute keeps the whole path at its end");
  if (path.find(':') != std::string_view::npos || path.starts_with("\\\\")) {
    check(absolute == path, "a path with a colon or a leading \\\\ is already absolute");
  } else {
    check(absolute.size() == currentDir.size() + 1 + path.size() &&
              absolute.starts_with(std::string(currentDir) + "\\"),
          "any other path is currentDir, one backslash and the path");
  }
}

// The option extraction written out from its step table, as an oracle for the real one.
struct Extraction {
  bool invalidJvmParams = false;
  OptionSet options;
  Entries table;
};

Extraction extractByTheSteps(const Entries& tokens, std::string_view currentDir,
                             bool acceptsNoOutput) {
  Extraction out;
  Entries table = tokens;
  const auto firstEqual = [&table](std::string_view name) {
    for (size_t i = 0; i < table.size(); ++i) {
      if (table[i] == name) return i;
    }
    return table.size();
  };
  const auto flag = [&](std::string_view name) {
    const size_t i = firstEqual(name);
    if (i == table.size()) return false;
    table[i].clear();
    return true;
  };
  const auto value = [&](std::string_view name) -> std::optional<std::string> {
    const size_t i = firstEqual(name);
    if (i == table.size()) return std::nullopt;
    table[i].clear();
    if (i + 1 == table.size()) return std::string();
    std::string taken = table[i + 1];
    table[i + 1].clear();
    return taken;
  };
  const auto path = [&](std::string_view name) -> std::optional<std::string> {
    std::optional<std::string> taken = value(name);
    if (taken) taken = absoluteByTheRules(*taken, currentDir);
    return taken;
  };

  OptionSet& o = out.options;
  o.responseFile = path("-options");
  table = tokens;  // rebuilt from the same command line: "-options" and its value are back
  o.silent = flag("-silent");
  o.javaConsole = flag("-is:javaconsole");
  if (acceptsNoOutput) o.noOutput = flag("-noOutput");
  o.javaHome = path("-is:javahome");
  o.tempDir = path("-is:tempdir");
  const std::optional<std::string> initialHeap = value("-Xms");

  for (std::string& entry : table) {
    if (!entry.starts_with(kJvmParamsName)) continue;
    // The byte right after the name is passed over; the opening quote is searched after it.
    size_t open = std::string::npos;
    for (size_t j = kJvmParamsName.size() + 1; j < entry.size(); ++j) {
      if (entry[j] == '"') {
        open = j;
        break;
      }
    }
    if (open == std::string::npos) {
      out.invalidJvmParams = true;
      return out;
    }
    std::string params;
    for (size_t j = open + 1; j + 1 < entry.size(); ++j) {
      params.push_back(entry[j] == '\'' ? '"' : entry[j]);
    }
    o.jvmParams = params;
    entry.clear();
    break;
  }

  o.logPath = path("-is:log");
  const std::optional<std::string> maxHeap = value("-Xmx");
  o.initialHeap = initialHeap ? *initialHeap : "256m";
  o.maxHeap = maxHeap ? *maxHeap : "512m";
  o.logEnabled = o.logPath.has_value();
  out.table = std::move(table);
  return out;
}

bool sameOptions(const OptionSet& a, const OptionSet& b) {
  return a.responseFile == b.responseFile && a.silent == b.silent &&
         a.javaConsole == b.javaConsole && a.noOutput == b.noOutput && a.javaHome == b.javaHome &&
         a.tempDir == b.tempDir && a.initialHeap == b.initialHeap && a.maxHeap == b.maxHeap &&
         a.jvmParams == b.jvmParams && a.logPath == b.logPath && a.logEnabled == b.logEnabled;
}

// Quoting as java.exe needs it: a value with a blank and no double quote goes in double quotes,
// and the backslashes that end it are doubled so that they do not escape the closing quote.
std::string quotedByTheRules(std::string_view value) {
  if (value.find(' ') == std::string_view::npos || value.find('"') != std::string_view::npos) {
    return std::string(value);
  }
  size_t trailing = 0;
  while (trailing < value.size() && value[value.size() - 1 - trailing] == '\\') ++trailing;
  return "\"" + std::string(value) + std::string(trailing, '\\') + "\"";
}

// How the Microsoft C run time, and so java.exe, splits a command line into arguments: blanks and
// tabs separate outside quotes; 2n backslashes before a quote give n and the quote toggles
// quoting; 2n+1 give n and a literal quote; other backslashes are literal.
Entries crtArguments(std::string_view line) {
  Entries arguments;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) return arguments;
    std::string argument;
    bool quoted = false;
    while (i < line.size()) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') {
        ++backslashes;
        ++i;
      }
      if (i < line.size() && line[i] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument.push_back('"');
        } else {
          quoted = !quoted;
        }
        ++i;
        continue;
      }
      argument.append(backslashes, '\\');
      if (i == line.size()) break;
      if (!quoted && (line[i] == ' ' || line[i] == '\t')) break;
      argument.push_back(line[i++]);
    }
    arguments.push_back(std::move(argument));
  }
}

bool holdsQuoteOrTab(std::string_view text) {
  return text.find_first_of("\"\t") != std::string_view::npos;
}

void checkJvmLine(const std::string& line, std::string_view fragment, const OptionSet& options,
                  const Entries& remaining) {
  std::string head = "-Xms" + options.initialHeap + " -Xmx" + options.maxHeap;
  if (options.jvmParams) head += " " + *options.jvmParams;
  if (options.tempDir) head += " -Djava.io.tmpdir=" + quotedByTheRules(*options.tempDir);
  head += " " + std::string(fragment) + " ";

  std::string arguments;
  Entries passedOn;
  for (const std::string& entry : remaining) {
    if (entry.empty()) continue;
    arguments += quotedByTheRules(entry) + " ";
    passedOn.push_back(entry);
  }
  if (options.silent) {
    arguments += " -silent ";
    passedOn.push_back("-silent");
  }
  std::string whole = head + arguments;
  whole.pop_back();
  check(line == whole,
        "the line is the heap sizes, parameters, temporary directory, fragment, every remaining "
        "entry in order and -silent last, nothing lost or cut");

  // What java.exe makes of the line: each remaining entry comes back whole, as typed.
  if (!arguments.empty()) {
    bool plain = true;
    for (const std::string& entry : passedOn) plain = plain && !holdsQuoteOrTab(entry);
    if (plain) {
      check(crtArguments(std::string_view(line).substr(head.size())) == passedOn,
            "java.exe splits the arguments part into exactly the entries passed on");
    }
  }
  if (options.tempDir && !holdsQuoteOrTab(*options.tempDir)) {
    const Entries parsed = crtArguments("-Djava.io.tmpdir=" + quotedByTheRules(*options.tempDir));
    check(parsed.size() == 1 && parsed[0] == "-Djava.io.tmpdir=" + *options.tempDir,
          "java.exe reads the temporary directory back unchanged");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const unsigned selector = static_cast<unsigned char>(input[0]);
  const bool install = (selector & 1u) != 0;
  const auto profile = static_cast<launcher::LaunchProfile>((selector >> 1) & 3u);
  const std::string_view rest = input.substr(1);
  const size_t lineEnd = rest.find('\n');
  const std::string_view currentDir = rest.substr(0, lineEnd);
  const std::string_view tail =
      lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);

  const Entries tokens = launcher::tokenizeCommandLine(tail).entries;
  checkTokenizer(tail, tokens);
  checkMakeAbsolute(tail, currentDir);

  ArgumentTable table = launcher::tokenizeCommandLine(tail);
  const launcher::ExtractedOptions extracted =
      launcher::extractOptions(table, tail, currentDir, install);
  const Extraction expected = extractByTheSteps(tokens, currentDir, install);
  check((extracted.error == launcher::CommandLineError::invalidJvmParams) ==
            expected.invalidJvmParams,
        "the JVM-parameters argument gives a value, or the one error exactly when it has no "
        "opening quote");
  if (expected.invalidJvmParams) return 0;
  check(sameOptions(extracted.options, expected.options),
        "every option is taken by its step, in the order of the steps");
  check(table.entries == expected.table,
        "the entries not taken stay in the table, unchanged and in their places");

  const std::string fragment =
      launcher::launchFragment(profile, install ? "setup.jar" : "update.jar");
  const std::string line = launcher::buildJvmLine(fragment, extracted.options, table);
  checkJvmLine(line, fragment, extracted.options, table.entries);
  return 0;
}

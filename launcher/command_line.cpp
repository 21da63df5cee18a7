#include "command_line.h"

#include <algorithm>

namespace launcher {
namespace {

constexpr char kSpace = ' ';
constexpr char kQuote = '"';
constexpr std::string_view kJvmParamsName = "GALVORENT_JVM_PARAMS";

void appendEntry(ArgumentTable& table, std::string_view entry) {
  table.entries.emplace_back(entry);
}

std::vector<std::string>::iterator findEntry(ArgumentTable& table, std::string_view name) {
  return std::find(table.entries.begin(), table.entries.end(), name);
}

}  // namespace

ArgumentTable tokenizeCommandLine(std::string_view text) {
  ArgumentTable table;
  size_t pos = 0;
  while (pos < text.size()) {
    pos = text.find_first_not_of(kSpace, pos);
    if (pos == std::string_view::npos) break;

    if (text[pos] == kQuote) {
      const size_t close = text.find(kQuote, pos + 1);
      if (close == std::string_view::npos) {
        appendEntry(table, text.substr(pos));  // unclosed: the rest, opening quote included
        break;
      }
      appendEntry(table, text.substr(pos + 1, close - pos - 1));
      pos = close + 1;
      continue;
    }

    // The quote is looked for only up to the space, so that a long line of unquoted tokens is
    // read once rather than once per token.
    const size_t space = text.find(kSpace, pos);
    const size_t quote = text.substr(0, space).find(kQuote, pos);
    if (quote == std::string_view::npos) {
      if (space == std::string_view::npos) {
        appendEntry(table, text.substr(pos));
        break;
      }
      appendEntry(table, text.substr(pos, space - pos));
      pos = space + 1;
      continue;
    }

    // A quote inside the token: the token runs through the closing quote, both quotes kept.
    const size_t close = text.find(kQuote, quote + 1);
    if (close == std::string_view::npos) {
      appendEntry(table, text.substr(pos));
      break;
    }
    appendEntry(table, text.substr(pos, close + 1 - pos));
    pos = close + 1;
  }
  return table;
}

bool takeFlag(ArgumentTable& table, std::string_view name) {
  const auto match = findEntry(table, name);
  if (match == table.entries.end()) return false;
  match->clear();
  return true;
}

std::optional<std::string> takeOption(ArgumentTable& table, std::string_view name) {
  const auto match = findEntry(table, name);
  if (match == table.entries.end()) return std::nullopt;
  std::string value;
  const auto next = match + 1;
  if (next != table.entries.end()) {
    value = *next;
    next->clear();
  }
  match->clear();
  return value;
}

JvmParamsTaken takeJvmParams(ArgumentTable& table) {
  const auto match = std::find_if(
      table.entries.begin(), table.entries.end(),
      [](const std::string& entry) { return std::string_view(entry).starts_with(kJvmParamsName); });
  if (match == table.entries.end()) return {};

  // The character right after the name (normally '=') is passed over unexamined.
  const std::string& entry = *match;
  const size_t searchFrom = kJvmParamsName.size() + 1;
  const size_t open =
      searchFrom < entry.size() ? entry.find(kQuote, searchFrom) : std::string::npos;
  if (open == std::string::npos) return {CommandLineError::invalidJvmParams, std::nullopt};

  // The value stops before the entry's last character, normally the closing quote.
  const size_t last = entry.size() - 1;
  std::string value = open < last ? entry.substr(open + 1, last - open - 1) : std::string();
  std::replace(value.begin(), value.end(), '\'', kQuote);
  match->clear();
  return {CommandLineError::none, std::move(value)};
}

std::string makeAbsolute(std::string_view path, std::string_view currentDir) {
  if (path.find(':') != std::string_view::npos || path.starts_with("\\\\")) {
    return std::string(path);
  }
  std::string absolute;
  absolute.reserve(currentDir.size() + 1 + path.size());
  absolute.append(currentDir).append(1, '\\').append(path);
  return absolute;
}

ExtractedOptions extractOptions(ArgumentTable& table, std::string_view savedCommandLine,
                                std::string_view currentDir, bool acceptsNoOutput) {
  ExtractedOptions result;
  OptionSet& options = result.options;
  const auto takePath = [&](std::string_view name) -> std::optional<std::string> {
    std::optional<std::string> value = takeOption(table, name);
    if (value) value = makeAbsolute(*value, currentDir);
    return value;
  };

  options.responseFile = takePath("-options");
  table = tokenizeCommandLine(savedCommandLine);  // "-options" and its value go on to Java
  options.silent = takeFlag(table, "-silent");
  options.javaConsole = takeFlag(table, "-is:javaconsole");
  if (acceptsNoOutput) options.noOutput = takeFlag(table, "-noOutput");
  options.javaHome = takePath("-is:javahome");
  options.tempDir = takePath("-is:tempdir");
  std::optional<std::string> initialHeap = takeOption(table, "-Xms");

  JvmParamsTaken jvmParams = takeJvmParams(table);
  if (jvmParams.error != CommandLineError::none) {
    result.error = jvmParams.error;
    return result;
  }
  options.jvmParams = std::move(jvmParams.value);

  options.logPath = takePath("-is:log");
  std::optional<std::string> maxHeap = takeOption(table, "-Xmx");

  options.initialHeap = initialHeap.value_or("256m");
  options.maxHeap = maxHeap.value_or("512m");
  options.logEnabled = options.logPath.has_value();
  return result;
}

}  // namespace launcher

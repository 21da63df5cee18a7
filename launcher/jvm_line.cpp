#include "jvm_line.h"

namespace launcher {

std::string quoteIfSpaced(std::string_view value) {
  if (value.find(' ') == std::string_view::npos || value.find('"') != std::string_view::npos) {
    return std::string(value);
  }
  const size_t lastOther = value.find_last_not_of('\\');
  const size_t trailingBackslashes =
      lastOther == std::string_view::npos ? value.size() : value.size() - lastOther - 1;
  std::string quoted;
  quoted.reserve(value.size() + trailingBackslashes + 2);
  quoted.append(1, '"').append(value).append(trailingBackslashes, '\\').append(1, '"');
  return quoted;
}

std::string finishJvmLine(std::string line, const ArgumentTable& table, bool silent) {
  for (const std::string& entry : table.entries) {
    if (entry.empty()) continue;
    line.append(quoteIfSpaced(entry)).append(1, ' ');
  }
  if (silent) line.append(" -silent ");
  if (!line.empty()) line.pop_back();
  return line;
}

std::string buildJvmLine(std::string_view fragment, const OptionSet& options,
                         const ArgumentTable& table) {
  std::string line;
  line.append("-Xms").append(options.initialHeap);
  line.append(" -Xmx").append(options.maxHeap);
  if (options.jvmParams) line.append(1, ' ').append(*options.jvmParams);
  if (options.tempDir) line.append(" -Djava.io.tmpdir=").append(quoteIfSpaced(*options.tempDir));
  line.append(1, ' ').append(fragment).append(1, ' ');
  return finishJvmLine(std::move(line), table, options.silent);
}

}  // namespace launcher

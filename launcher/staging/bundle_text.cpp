#include "bundle_text.h"

#include "../decimal.h"

namespace launcher {
namespace {

constexpr wchar_t kBundleClass[] =
    L"com.orvel.gv.install.ni.framework.resourcebundle.ExternalNIFResourceBundleUtils";

constexpr char kTextStreamEnd = '\x1a';

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::wstring insufficientSpaceKey(std::uint64_t megabytes) {
  std::wstring key = L"uninstall.insufficientSpace";
  const std::string digits = decimal(megabytes);
  key.append(digits.begin(), digits.end());
  return key;
}

std::wstring bundleCommandLine(std::wstring_view launcherDir, std::wstring_view mainJar,
                               std::wstring_view key) {
  std::wstring line = L" -classpath \"";
  line.append(launcherDir).append(mainJar).append(L"\" ").append(kBundleClass);
  line.append(L" ").append(key);
  return line;
}

std::string capturedWords(std::string_view captured) {
  captured = captured.substr(0, captured.find(kTextStreamEnd));
  std::string words;
  size_t position = 0;
  while (position < captured.size()) {
    if (isWhiteSpace(captured[position])) {
      ++position;
      continue;
    }
    const size_t start = position;
    while (position < captured.size() && !isWhiteSpace(captured[position])) ++position;
    words.append(captured.substr(start, position - start)).push_back(' ');
  }
  return words;
}

}  // namespace launcher

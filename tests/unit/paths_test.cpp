#include "paths.h"

#include <gtest/gtest.h>

#include <string_view>

namespace launcher {
namespace {

TEST(ExtendedLengthPath, DrivePathsGetThePrefixAndSharesTheUncForm) {
  struct Case {
    std::wstring_view fullPath;
    std::wstring_view expected;
  };
  const Case cases[] = {
      {L"C:\\P\\java", L"\\\\?\\C:\\P\\java"},
      {L"Z:\\tmp\\a b\\jre", L"\\\\?\\Z:\\tmp\\a b\\jre"},
      {L"\\\\server\\share\\P\\java", L"\\\\?\\UNC\\server\\share\\P\\java"},
      {L"\\\\?\\C:\\P\\java", L"\\\\?\\C:\\P\\java"},
      {L"\\\\?\\UNC\\server\\share\\java", L"\\\\?\\UNC\\server\\share\\java"},
      {L"\\\\.\\C:\\P\\java", L"\\\\.\\C:\\P\\java"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::wstring(c.fullPath));
    EXPECT_EQ(extendedLengthPath(c.fullPath), c.expected);
  }
}

}  // namespace
}  // namespace launcher

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "space_check.h"

namespace launcher {
namespace {

constexpr std::uint64_t MB = 1048576;

TEST(ShortageMegabytes, StrictlyMoreFreeMegabytesThanRequiredAndOneMoreShownOnATie) {
  struct Case {
    const char* name;
    std::uint64_t requiredBytes;
    std::optional<std::uint64_t> freeBytes;
    std::optional<std::uint64_t> expected;  // absent: the copy goes ahead
  };
  const Case cases[] = {
      {"150 MB runtime, 100 MB free", 150 * MB, 100 * MB, 150},
      {"150 MB runtime, 150 MB free: a tie", 150 * MB, 150 * MB, 151},
      {"150 MB runtime, 151 MB free", 150 * MB, 151 * MB, std::nullopt},
      {"149 MB runtime, 150 MB free", 149 * MB, 150 * MB, std::nullopt},
      {"remainders dropped on both sides: a tie", 150 * MB + MB - 1, 150 * MB + MB - 1, 151},
      {"remainder of the runtime dropped", 150 * MB + MB - 1, 151 * MB, std::nullopt},
      {"under 1 MB runtime, 1 MB free", MB - 1, MB, std::nullopt},
      {"under 1 MB runtime, under 1 MB free", 1, MB - 1, 1},
      {"empty runtime, nothing free", 0, 0, 1},
      {"empty runtime, 1 MB free", 0, MB, std::nullopt},
      {"runtime of 4 GiB and more", 4096 * MB + 5, 4096 * MB, 4097},
      {"more than 2^31 MB free", 150 * MB, (std::uint64_t{1} << 31) * MB + MB, std::nullopt},
      {"exactly 2^32 MB free", 150 * MB, (std::uint64_t{1} << 32) * MB, std::nullopt},
      {"all that 64 bits can count free", 150 * MB, UINT64_MAX, std::nullopt},
      {"runtime beyond 2^31 MB, less free", (std::uint64_t{3} << 31) * MB, 200 * MB,
       std::uint64_t{3} << 31},
      {"largest counts on both sides: a tie", UINT64_MAX, UINT64_MAX, (UINT64_MAX >> 20) + 1},
      {"free space unknown: the copy goes ahead", 150 * MB, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(shortageMegabytes(c.requiredBytes, c.freeBytes), c.expected);
  }
}

TEST(InsufficientSpaceFallback, EnglishTextWithTheMegabytes) {
  struct Case {
    std::uint64_t megabytes;
    std::string_view expected;
  };
  const Case cases[] = {
      {150, "Insufficient Space to initialize uninstall.  Required space : 150 MB"},
      {1, "Insufficient Space to initialize uninstall.  Required space : 1 MB"},
      {6442450944, "Insufficient Space to initialize uninstall.  Required space : 6442450944 MB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.megabytes);
    EXPECT_EQ(insufficientSpaceFallback(c.megabytes), c.expected);
  }
}

}  // namespace
}  // namespace launcher

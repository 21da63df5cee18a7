#include "decimal.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace launcher {
namespace {

TEST(Decimal, DigitsWithoutSignLeadingZerosOrGrouping) {
  const struct {
    std::uint64_t value;
    const char* expected;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {10, "10"},
      {1000, "1000"},
      {4294967295u, "4294967295"},
      {UINT64_MAX, "18446744073709551615"},
  };
  for (const auto& c : cases) EXPECT_EQ(decimal(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace launcher

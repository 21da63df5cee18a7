// Memory exhaustion at every allocation of the command-line pipeline: each run must either give
// the right result or end in std::bad_alloc, with nothing leaked or touched after release (the
// sanitizers of the native build watch for that).

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "command_line.h"
#include "jvm_line.h"
#include "launch_profile.h"

namespace {

// Armed: the allocation whose number (from 0) equals gFailAt throws, once.
long gFailAt = -1;
long gAllocations = 0;
bool gInjected = false;

void* allocate(std::size_t size) {
  if (gFailAt >= 0 && gAllocations++ == gFailAt) {
    gFailAt = -1;
    gInjected = true;
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* allocateNoThrow(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void arm(long failAt) {
  gAllocations = 0;
  gInjected = false;
  gFailAt = failAt;
}

void disarm() { gFailAt = -1; }

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocateNoThrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocateNoThrow(size);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace launcher {
namespace {

// Enough tokens to grow the table, relative values to make absolute, values to quote and JVM
// parameters to rewrite: every allocating path of the pipeline.
constexpr std::string_view kCommandLine =
    "-silent -is:tempdir \"Temp Files\\\" -Xmx 1024m "
    "GALVORENT_JVM_PARAMS=\"-Dp='a b' -Xss2m\" -is:log launch.log -is:javahome jre "
    "-options \"C:\\My Files\\resp.txt\" a b c d e f \"g h\" -noOutput";

// The line, then the option values that do not show in it.
constexpr std::string_view kExpected =
    "-Xms256m -Xmx1024m -Dp=\"a b\" -Xss2m "
    "-Djava.io.tmpdir=\"D:\\current dir\\Temp Files\\\\\" "
    "-cp preSetup.jar;setup.jar PreInstallSetup  -options \"C:\\My Files\\resp.txt\" "
    "a b c d e f \"g h\"  -silent\n"
    "log D:\\current dir\\launch.log\n"
    "home D:\\current dir\\jre\n"
    "response C:\\My Files\\resp.txt\n"
    "noOutput 1";

std::string runPipeline() {
  ArgumentTable table = tokenizeCommandLine(kCommandLine);
  const ExtractedOptions extracted = extractOptions(table, kCommandLine, "D:\\current dir", true);
  if (extracted.error != CommandLineError::none) return "invalid";
  const OptionSet& options = extracted.options;
  std::string result =
      buildJvmLine(launchFragment(LaunchProfile::PreSetup, "setup.jar"), options, table);
  result.append("\nlog ").append(options.logPath.value_or("(absent)"));
  result.append("\nhome ").append(options.javaHome.value_or("(absent)"));
  result.append("\nresponse ").append(options.responseFile.value_or("(absent)"));
  result.append("\nnoOutput ").append(options.noOutput ? "1" : "0");
  return result;
}

TEST(PipelineOutOfMemory, EveryFailedAllocationEndsInBadAllocOrTheRightResult) {
  ASSERT_EQ(runPipeline(), kExpected);

  long failAt = 0;
  for (;; ++failAt) {
    ASSERT_LT(failAt, 100000) << "the pipeline never ran without an injected failure";
    std::string result;
    bool threw = false;
    arm(failAt);
    try {
      result = runPipeline();
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    const bool injected = gInjected;
    disarm();

    SCOPED_TRACE(failAt);
    if (threw) {
      EXPECT_TRUE(injected) << "bad_alloc without an injected failure";
    } else {
      EXPECT_EQ(result, kExpected);
    }
    if (!injected) break;
  }
  // The pipeline allocates, so at least the run failing at the first allocation was cut short.
  EXPECT_GT(failAt, 0);
}

}  // namespace
}  // namespace launcher

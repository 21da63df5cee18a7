// PLACEHOLDER until the uninstall staging lands: no space check, no copy.
#include "staging.h"

namespace launcher {

void checkStagingSpace(const std::wstring&, const std::wstring&, const std::wstring&, LaunchLog) {}

void stageRuntime(const std::wstring&, const std::wstring&, const std::wstring&,
                  const std::wstring&, bool, bool) {}

}  // namespace launcher

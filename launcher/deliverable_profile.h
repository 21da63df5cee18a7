#pragma once

// Everything in which `update` and `install` differ. Each executable links exactly one definition
// of `deliverableProfile` (update/ or install/); all other code is shared.

namespace launcher {

struct FailureHint {
  const char* title;
  const char* text;
};

struct DeliverableProfile {
  const char* mainJar;             // "update.jar" or "setup.jar"
  bool acceptsNoOutput;            // -noOutput is an option of the launcher, not a Java argument
  const FailureHint* failureHint;  // shown after an unexpected Java exit code; null for none
};

extern const DeliverableProfile deliverableProfile;

}  // namespace launcher

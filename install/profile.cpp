#include "../launcher/deliverable_profile.h"

namespace launcher {
namespace {

const FailureHint installFailureHint = {
    "Installation Wizard for Mendora 7.0",
    "Please check for log files in the \"mendlogs\" subdirectory of the current user's home "
    "directory.\nIf no logs have been produced there, please try running the install command "
    "again, with this additional parameter:   -is:javaconsole"};

}  // namespace

const DeliverableProfile deliverableProfile = {"setup.jar", true, &installFailureHint};

}  // namespace launcher

#include "../launcher/deliverable_profile.h"

namespace launcher {

const DeliverableProfile deliverableProfile = {"update.jar", false, nullptr};

}  // namespace launcher

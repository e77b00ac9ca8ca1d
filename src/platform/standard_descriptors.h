#pragma once

namespace vsr::platform {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed. A program started with
// them closed (cron, some service managers) would otherwise hand them to the first files it
// opens, and a later write to "standard error" would land in one of those. Call it first
// thing in main, before anything opens a file.
void openMissingStandardDescriptors();

}  // namespace vsr::platform

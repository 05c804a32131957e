// How the program the user types in stands to the bar's own, from their integrity levels.
#pragma once

#include <optional>

#include "core/ports.h"

namespace replybar {

// `denied`: the system refused to let the bar look at the target's process at all, which it
// does for processes of higher integrity and protected ones; both drop injected keys too. A
// level that simply is not available (older systems, Wine) is Unknown, and the pick goes ahead.
inline TargetIntegrity compareIntegrity(bool denied, std::optional<unsigned long> ours,
                                        std::optional<unsigned long> theirs) {
    if (denied) return TargetIntegrity::Higher;
    if (!ours || !theirs) return TargetIntegrity::Unknown;
    return *theirs > *ours ? TargetIntegrity::Higher : TargetIntegrity::SameOrLower;
}

}  // namespace replybar

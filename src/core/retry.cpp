#include "core/retry.h"

#include <iterator>

namespace replybar {

unsigned retryPauseMs(int attempt) {
    // Short at first, since most holders let go within a few milliseconds; 1010 ms in all.
    static constexpr unsigned kPauses[] = {10, 20, 40, 80, 160, 300, 400};
    if (attempt < 1 || attempt > static_cast<int>(std::size(kPauses))) return 0;
    return kPauses[attempt - 1];
}

}  // namespace replybar

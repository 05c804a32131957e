// How long one read of the team library's web address may take, and how many of them may be
// under way. The times come from the caller (a monotonic clock, in ms): nothing here reads one.
#pragma once

#include <cstdint>
#include <optional>

namespace replybar::team {

// Two limits hold a read: it ends by a total deadline however the bytes come, and sooner when
// nothing has arrived for a while. WinHTTP's own receive timeout counts each packet on its own,
// so a server that sends a byte every few seconds would keep one read going for ever; the read
// loop asks here after every piece instead.
class ReadDeadline {
public:
    struct Limits {
        std::int64_t totalMs = 120000;  // 2 MB at under 20 KB/s, a slow VPN, still arrive
        std::int64_t stallMs = 20000;   // nothing at all for this long: the server is gone
    };
    enum class Verdict { Going, Stalled, TooLong };

    ReadDeadline(Limits limits, std::int64_t startMs)
        : limits_(limits), start_(startMs), last_(startMs) {}
    // Bytes (or the answer's headers) arrived.
    void progressed(std::int64_t nowMs) { last_ = nowMs; }
    Verdict verdict(std::int64_t nowMs) const;
    // How long the next wait for bytes may last: until the nearer of the two limits, at least
    // 1 ms (0 would mean "for ever" to WinHTTP).
    int waitMs(std::int64_t nowMs) const;

private:
    Limits limits_;
    std::int64_t start_, last_;
};

// The reads of one address that are under way, and which answers count. A read the watch
// stopped waiting for goes on, and its answer is told when it comes, unless the answer of a
// read started after it was told first (it would take the newer version back). One read may
// be left behind so that the next check still asks afresh; with two under way no third starts,
// so a server that hangs every answer holds two threads, not one a minute.
class ReadTurns {
public:
    static constexpr int kMaxUnderWay = 2;
    // The number of a new read, or none while kMaxUnderWay are under way.
    std::optional<std::uint64_t> start();
    // The read ended: whether its answer is told.
    bool ended(std::uint64_t read);
    int underWay() const { return underWay_; }

private:
    std::uint64_t started_ = 0, told_ = 0;
    int underWay_ = 0;
};

}  // namespace replybar::team

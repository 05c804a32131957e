// The local date and time to the minute, as the system tells it: what the team library's status
// line and the fields of a reply ({日期}, {时间}) are made of.
#pragma once

namespace replybar {

struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
    bool operator==(const LocalTime&) const = default;
};

}  // namespace replybar

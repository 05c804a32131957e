// Team files of any bytes: read without a crash, within the limits, and whatever library they
// give is written so that it reads back the same; the import plan never takes more than fits.
#include "fuzz_common.h"
#include "team/team_csv.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const team::TeamParse parsed = team::readTeamCsv(fuzz::bytesOf(data, size));
    if (const auto* error = std::get_if<team::CsvError>(&parsed)) {
        FUZZ_CHECK(error->line >= 0 && !error->reason.empty());
        return 0;
    }
    const auto& library = std::get<team::TeamLibrary>(parsed);
    FUZZ_CHECK(library.replyCount() <= team::kTeamMaxReplies);
    for (const team::TeamGroup& group : library.groups) {
        FUZZ_CHECK(!group.name.empty() && !group.replies.empty());
        for (const team::TeamReply& reply : group.replies)
            FUZZ_CHECK(!reply.text.empty() && reply.icon >= -1 && reply.icon <= 9);
    }
    FUZZ_CHECK(team::readTeamCsv(team::writeTeamCsv(library)) == parsed);
    const team::ImportPlan plan = team::planImport(library, 30, 41);
    FUZZ_CHECK(plan.added.size() <= 11 &&
               static_cast<int>(plan.added.size()) + plan.notFitting == library.replyCount());
    return 0;
}

// Replies of any text: read into text and fields without a crash; text without braces stays
// whole; with everything a field asks for at hand, every reply fills in; and its preview is
// made without any.
#include "fill/fill_fields.h"
#include "fuzz_common.h"

using namespace replybar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring reply = fuzz::textOf(data, size);
    const std::vector<fill::Piece> pieces = fill::readFields(reply);
    bool literalBefore = false;
    for (const fill::Piece& p : pieces) {
        FUZZ_CHECK(p.field || (!p.text.empty() && !literalBefore));  // literal runs are joined
        FUZZ_CHECK(!p.field || p.text.empty());
        literalBefore = !p.field;
    }
    if (reply.find_first_of(L"{}\xFF5B\xFF5D") == std::wstring::npos)
        FUZZ_CHECK(pieces.empty() ? reply.empty() : pieces.size() == 1 && pieces[0].text == reply);

    fill::FillContext context;
    context.clipboard = L"订单";
    context.agent = L"小王";
    context.now = {2026, 12, 31, 23, 59};
    context.answers.assign(fill::blanksOf(pieces).size(), L"答");
    const fill::Filled filled = fill::fill(pieces, context);
    FUZZ_CHECK(filled.problem == fill::FillProblem::None);
    // No field grows past its longest filling (2026年12月31日: 11 characters) but the answers.
    FUZZ_CHECK(filled.text.size() <= reply.size() * 11);
    // A tooltip's preview never fails, with nothing to fill from either.
    context.clipboard.reset();
    context.agent.clear();
    FUZZ_CHECK(fill::preview(pieces, context).size() <= reply.size() * 11);
    return 0;
}

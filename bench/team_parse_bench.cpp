// Parsing a 2,000-reply team file as Excel's "CSV" saves it (GBK, the slowest of its encodings
// to decode), against decoding the same bytes alone, measured in the same run. The goal is in
// milliseconds: the bar swaps in a new version only once it has parsed completely.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/codec.h"
#include "team/team_csv.h"

#include "timing.h"

namespace {

using namespace replybar;
using namespace bench;

// Replies of a few lines with quotes and commas, in five groups, as a lead's file holds them.
std::string teamFile() {
    const wchar_t* groups[] = {L"售前", L"售后", L"物流", L"退换货", L"发票"};
    std::wstring text = L"分组,回复,图标\r\n";
    for (int i = 0; i < team::kTeamMaxReplies; ++i)
        text += std::wstring(groups[i % 5]) + L",\"您好，这是第 " + std::to_wstring(i) +
                L" 条回复。\"\"订单\"\"已收到，请您稍等，我们马上为您查询。\r\n"
                L"如有疑问，请随时联系我们，谢谢！\"," +
                std::to_wstring(i % 10) + L"\r\n";
    return codec::toGbk(text).value_or(std::string());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 21;
    const std::string bytes = teamFile();
    const team::TeamParse first = team::readTeamCsv(bytes);  // and the code page's first use
    const auto* library = std::get_if<team::TeamLibrary>(&first);
    if (!library || library->replyCount() != team::kTeamMaxReplies) {
        std::printf("team file parse: the file did not read as %d replies\n",
                    team::kTeamMaxReplies);
        return 1;
    }

    std::vector<double> parses, decodes;
    for (int r = 0; r < rounds; ++r) {  // interleaved, so both see the same machine load
        auto start = Clock::now();
        const team::TeamParse parsed = team::readTeamCsv(bytes);
        parses.push_back(msSince(start));
        start = Clock::now();
        const std::wstring text = codec::decodeStoreText(bytes);
        decodes.push_back(msSince(start));
    }
    const double parseMs = median(parses), decodeMs = median(decodes);
    std::printf(
        "team file parse: 2,000 replies (%zu bytes GBK) %.2f ms (goal < 30 ms), decoding "
        "alone %.2f ms (median of %d), ratio %.2f\n",
        bytes.size(), parseMs, decodeMs, rounds, decodeMs > 0 ? parseMs / decodeMs : 0.0);
    return 0;
}

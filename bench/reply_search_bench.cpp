// One keystroke of search over 2,300 replies (a full team library and the user's own, about 30
// characters each), against looking up the readings of every character of the same texts
// alone, measured in the same run. The goal is in milliseconds: the panel repaints after each
// letter.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "search/pinyin.h"
#include "search/reply_search.h"

#include "timing.h"

namespace {

using namespace replybar;
using namespace bench;

// Replies stitched from the phrases a shop's replies are made of, so that letters find some of
// them at the start, some inside and most not at all.
std::vector<std::wstring> replyTexts() {
    const wchar_t* phrases[] = {L"欢迎光临本店",   L"亲，您好",       L"今天下午发货",
                                L"请您耐心等待",   L"银行卡支付",     L"已为您登记",
                                L"七天无理由退换", L"OK的，马上处理", L"快递单号已发送",
                                L"感谢您的支持",   L"有什么可以帮您", L"颜色以实物为准"};
    std::vector<std::wstring> texts;
    for (unsigned i = 0; texts.size() < 2300; ++i) {
        std::wstring text;
        for (unsigned k = 0; text.size() < 28; ++k)
            text += std::wstring(phrases[(i * 7 + k * 5 + i / 12) % 12]) + L"，";
        texts.push_back(text + std::to_wstring(i));
    }
    return texts;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 51;
    const bool verbose = argc > 2;  // each query's time too
    const std::vector<std::wstring> texts = replyTexts();
    std::vector<SearchItem> items;
    for (std::size_t i = 0; i < texts.size(); ++i)
        items.push_back({static_cast<int>(i / 300), static_cast<int>(i % 300), texts[i],
                         static_cast<std::int64_t>(i % 5 == 0 ? i : 0)});
    // The letters of one search as typed: each keystroke searches the whole list again.
    const wchar_t* keystrokes[] = {L"h", L"hy", L"hyg", L"hygl", L"fah", L"fahuo", L"ok"};
    if (searchReplies(L"hygl", items, 10).empty()) {
        std::printf("reply search: \"hygl\" found nothing\n");
        return 1;
    }

    double slowest = 0, slowestLookups = 0;
    std::size_t sink = 0;
    for (const wchar_t* query : keystrokes) {
        std::vector<double> searches, lookups;
        for (int r = 0; r < rounds; ++r) {  // interleaved, so both see the same machine load
            auto start = Clock::now();
            sink += searchReplies(query, items, 10).size();
            searches.push_back(msSince(start));
            start = Clock::now();
            for (const SearchItem& item : items)
                for (wchar_t c : item.text) sink += pinyin::readingsOf(c).size();
            lookups.push_back(msSince(start));
        }
        slowest = std::max(slowest, median(searches));
        slowestLookups = std::max(slowestLookups, median(lookups));
        if (verbose) std::printf("  %ls %.3f ms\n", query, median(searches));
    }
    std::printf(
        "reply search: one keystroke over %zu replies, slowest of %zu queries %.3f ms (goal < 2 "
        "ms), the readings lookups alone %.3f ms (median of %d), ratio %.2f%s\n",
        items.size(), std::size(keystrokes), slowest, slowestLookups, rounds,
        slowestLookups > 0 ? slowest / slowestLookups : 0.0, sink == 0 ? " (no results)" : "");
    return 0;
}

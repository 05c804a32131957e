// The team library's file at an http:// or https:// address.
#include <windows.h>
#include <winhttp.h>

#include "team/team_http_win32.h"
#include "team/team_source_parts_win32.h"
#include "team/team_texts.h"

namespace replybar::team {
namespace {

class AddressSource : public Source {
public:
    AddressSource(std::wstring address, int limitMs)
        : address_(std::move(address)), limitMs_(limitMs) {}

    std::optional<FetchOutcome> check() override {
        if (!late_.expired()) return unreachable(texts::kSourceNoAnswer);
        // WinHTTP's own timeouts apply to each phase; the limit here holds the exchange whole.
        std::optional<HttpAnswer> answer =
            runLimited<HttpAnswer>([address = address_, last = last_,
                                    limit = limitMs_] { return exchange(address, last, limit); },
                                   limitMs_, late_);
        if (!answer) return unreachable(texts::kSourceNoAnswer);
        if (answer->error != ERROR_SUCCESS) return unreachable(httpErrorReason(answer->error));
        if (answer->status == HTTP_STATUS_NOT_MODIFIED) return Unchanged{localNow()};
        if (answer->status != HTTP_STATUS_OK)
            return unreachable(texts::sourceServerStatus(answer->status));
        Fetched fetched = parseFetched(std::move(answer->body), localNow());
        // Only a good version's validators: after a faulty one the next answer must be whole.
        if (std::holds_alternative<TeamLibrary>(fetched.parsed))
            last_ = std::move(answer->validators);
        else
            last_ = {};
        return fetched;
    }

private:
    std::wstring address_;
    int limitMs_;
    Validators last_;
    std::weak_ptr<void> late_;
};

}  // namespace

std::unique_ptr<Source> makeAddressSource(std::wstring address, int limitMs) {
    return std::make_unique<AddressSource>(std::move(address), limitMs);
}

}  // namespace replybar::team

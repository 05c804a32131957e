#include "team/web_answer.h"

#include <gtest/gtest.h>

#include <vector>

namespace replybar::team {
namespace {

using Answer = SignInRounds::Answer;

// Each ask: who asks (the server or a proxy) and what it offers, and the answer it gets.
TEST(SignInRounds, OneRoundEachWithTheUsersOwnSignInAndNeverMore) {
    struct Ask {
        bool byProxy, negotiate, ntlm;
        Answer answer;
    };
    const struct {
        const char* what;
        std::vector<Ask> asks;
    } cases[] = {
        {"Negotiate preferred, asked again: given up",
         {{false, true, true, Answer::Negotiate}, {false, true, true, Answer::GiveUp}}},
        {"NTLM alone", {{false, false, true, Answer::Ntlm}}},
        {"Basic alone (or no scheme): given up at once", {{false, false, false, Answer::GiveUp}}},
        {"the proxy, then the server: a round each",
         {{true, false, true, Answer::Ntlm},
          {false, true, false, Answer::Negotiate},
          {true, false, true, Answer::GiveUp}}},
    };
    for (const auto& c : cases) {
        SignInRounds rounds;
        for (const Ask& ask : c.asks)
            EXPECT_EQ(rounds.asked(ask.byProxy, ask.negotiate, ask.ntlm), ask.answer) << c.what;
    }
    EXPECT_EQ(SignInRounds::refusal(false), L"服务器要求登录");
    EXPECT_EQ(SignInRounds::refusal(true), L"代理服务器要求登录");
}

TEST(WebAnswer, TheStatusLineNamesTheProxyAndTheMissingUpdate) {
    const WebWay proxy{L"proxy.corp:8080", false}, straight{L"", false}, oldTls{L"", true};
    EXPECT_EQ(webFaultReason(WebFault::CannotConnect, proxy), L"代理服务器 proxy.corp:8080 连不上");
    EXPECT_EQ(webFaultReason(WebFault::NoServer, proxy), L"代理服务器 proxy.corp:8080 连不上");
    EXPECT_EQ(webFaultReason(WebFault::NoAnswer, proxy), L"无响应");
    EXPECT_EQ(webFaultReason(WebFault::CannotConnect, straight), L"无法连接服务器");
    EXPECT_EQ(webFaultReason(WebFault::Insecure, oldTls),
              L"安全连接失败，需安装 Windows 更新 KB3140245");
    EXPECT_EQ(webFaultReason(WebFault::Insecure, straight), L"安全连接失败");
}

TEST(WebAnswer, AnHttpsAddressSentToHttpIsRefusedWithAWord) {
    const std::wstring refused = L"服务器转到了不加密的 http 地址，已拒绝";
    EXPECT_EQ(answerRefusal(302, true, L"http://files.corp/team.csv"), refused);
    EXPECT_EQ(answerRefusal(308, true, L"HTTP://files.corp/"), refused);
    EXPECT_EQ(answerRefusal(302, true, L"https://other.corp/team.csv"), L"服务器返回 302");
    EXPECT_EQ(answerRefusal(404, true, L""), L"服务器返回 404");
}

}  // namespace
}  // namespace replybar::team

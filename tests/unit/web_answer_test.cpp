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
    const struct {
        WebFault fault;
        WebWay way;
        const wchar_t* reason;
    } cases[] = {
        {WebFault::CannotConnect, {L"proxy.corp:8080"}, L"代理服务器 proxy.corp:8080 连不上"},
        {WebFault::NoServer, {L"proxy.corp:8080"}, L"代理服务器 proxy.corp:8080 连不上"},
        {WebFault::CannotConnect, {}, L"无法连接服务器"},
        {WebFault::NoAnswer, {L"proxy.corp:8080"}, L"无响应"},
        {WebFault::Insecure, {L"", true}, L"安全连接失败，需安装 Windows 更新 KB3140245"},
        {WebFault::Insecure, {}, L"安全连接失败"},
    };
    for (const auto& c : cases) EXPECT_EQ(webFaultReason(c.fault, c.way), c.reason) << c.reason;
}

TEST(WebAnswer, AnHttpsAddressSentToHttpIsRefusedWithAWord) {
    const struct {
        unsigned long status;
        bool secure;
        const wchar_t* location;
        const wchar_t* reason;
    } cases[] = {
        {302, true, L"http://files.corp/team.csv", L"服务器转到了不加密的 http 地址，已拒绝"},
        {308, true, L"HTTP://files.corp/", L"服务器转到了不加密的 http 地址，已拒绝"},
        {302, true, L"https://other.corp/team.csv", L"服务器返回 302"},
        {404, true, L"", L"服务器返回 404"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(answerRefusal(c.status, c.secure, c.location), c.reason) << c.status;
}

}  // namespace
}  // namespace replybar::team

// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "components/protocol.h"

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vistrel::testing {

// A protocol object that answers from a queue: each SendReceive takes the
// next scripted reply (hexadecimal text) or error, and every request is
// recorded. An empty queue answers with the fallback reply or error.
class ScriptedProtocol : public Protocol {
public:
    using Answer = std::variant<std::string, Error>;

    void reply(std::string hex) { answers.emplace_back(std::move(hex)); }
    void fail(std::int32_t number, std::string text) {
        answers.emplace_back(Error(number, std::move(text)));
    }
    // Hexadecimal texts of the requests sent so far.
    std::vector<std::string> requests;
    std::deque<Answer> answers;
    Answer fallback = Error(2000, "No answer at due time");

    std::deque<std::optional<Error>> initAnswers;

    std::string titleText = "Scripted";
    std::string subtitleText = "test ECU";
    std::string name = "Scripted";
    std::int32_t rid = 0x7E0;
    std::int32_t xid = 0x7E8;
    CanXmlProcessor* processor = nullptr;
    std::size_t maxReply = 0;
    ExchangeCost cost;
    DiagnosticFamily spoken = DiagnosticFamily::Kwp2000;
    PeriodicSource* periodic = nullptr;

    std::string title() const override { return titleText; }
    std::string subtitle() const override { return subtitleText; }
    std::string protocolName() const override { return name; }
    std::int32_t canRid() const override { return rid; }
    std::int32_t canXid() const override { return xid; }
    CanXmlProcessor* canXml() override { return processor; }
    std::size_t maxReplyLength() const override { return maxReply; }
    ExchangeCost exchangeCost() const override { return cost; }
    DiagnosticFamily family() const override { return spoken; }
    PeriodicSource* periodicSource() override { return periodic; }

    void InitCommunication() override {
        if (initAnswers.empty()) {
            return;
        }
        auto answer = std::move(initAnswers.front());
        initAnswers.pop_front();
        if (answer) {
            throw *answer;
        }
    }

    void SendReceive(const ByteString& request, ByteString& reply) override {
        requests.push_back(request.text());
        Answer answer = fallback;
        if (!answers.empty()) {
            answer = std::move(answers.front());
            answers.pop_front();
        }
        if (const auto* error = std::get_if<Error>(&answer)) {
            throw *error;
        }
        reply = ByteString::fromText(std::get<std::string>(answer));
    }
};

} // namespace vistrel::testing

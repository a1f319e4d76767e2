// SPDX-License-Identifier: MIT
#include "reading/pass_link.h"

#include "components/error_numbers.h"

#include <utility>

namespace vistrel {
namespace {

// Exchanges in a row without any answer that end the pass.
constexpr int kSilenceThatEndsThePass = 2;

} // namespace

PassLink::PassLink(Protocol& link, std::set<std::string>& knownSilent, SilenceBegan silenceBegan)
    : link_(link), knownSilent_(knownSilent), silenceBegan_(std::move(silenceBegan)) {}

void PassLink::SendReceive(const ByteString& request, ByteString& reply) {
    if (givenUp_) {
        throw *givenUp_;
    }
    try {
        link_.SendReceive(request, reply);
    } catch (const Error& failure) {
        if (!isUnanswered(failure.number())) {
            answeredAny_ = true;
            silentInARow_ = 0;
            throw;
        }
        unanswered(request, failure);
        throw;
    }
    answeredAny_ = true;
    silentInARow_ = 0;
}

void PassLink::unanswered(const ByteString& request, const Error& failure) {
    std::string asked = request.text();
    const bool known = knownSilent_.contains(asked);
    silentNow_.insert(std::move(asked));
    if (known) {
        return;
    }
    if (!std::exchange(told_, true) && silenceBegan_) {
        silenceBegan_(failure);
    }
    if (++silentInARow_ >= kSilenceThatEndsThePass) {
        givenUp_ = failure;
    }
}

void PassLink::finish() {
    // A pass without any answer says nothing about single items.
    if (answeredAny_) {
        knownSilent_ = std::move(silentNow_);
    }
}

} // namespace vistrel

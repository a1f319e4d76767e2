// SPDX-License-Identifier: MIT
#include "link/doip_protocol.h"

#include "components/error_numbers.h"
#include "link/isotp_frame.h"

namespace vistrel {
namespace {

constexpr const char* kSource = "DoipProtocol";

} // namespace

DoipProtocol::DoipProtocol(DoipSettings settings, Connector connect)
    : settings_(std::move(settings)), connect_(std::move(connect)), version_(settings_.version),
      link_([this] { return this->connect(); }), uds_(udsSessionFor(settings_.diagnostic)) {}

std::string DoipProtocol::endpoint() const {
    return settings_.host + ":" + std::to_string(settings_.port);
}

std::string DoipProtocol::subtitle() const {
    const std::string target =
        link_ ? hexPadded(link_->target(), 4)
              : (settings_.target ? hexPadded(*settings_.target, 4) : std::string("entity"));
    return endpoint() + ", " + hexPadded(settings_.tester, 4) + " → " + target;
}

std::unique_ptr<DoipLink> DoipProtocol::connect() {
    auto link = std::make_unique<DoipLink>(connect_(), endpoint(), settings_, version_);
    if (link->activate() == DoipLink::Activation::WrongVersion) {
        const std::uint8_t other =
            version_ == doip::kVersion2012 ? doip::kVersion2019 : doip::kVersion2012;
        link = std::make_unique<DoipLink>(connect_(), endpoint(), settings_, other);
        if (link->activate() == DoipLink::Activation::WrongVersion) {
            throw Error(ErrorKind::Link, doip_error::kGenericNack,
                        "DoIP " + endpoint() +
                            ": the entity speaks neither version 2 nor version 3 (incorrect "
                            "pattern format)",
                        kSource);
        }
        notes_.push_back("DoIP: the entity refused version " + std::to_string(version_) +
                         " messages; the link speaks version " + std::to_string(other));
        version_ = other;
    }
    if (link->version() != version_) {
        notes_.push_back("DoIP: the entity answered in version " + std::to_string(link->version()) +
                         "; the link goes on in it");
        version_ = link->version();
    }
    return link;
}

template <typename Step> void DoipProtocol::guarded(Step&& step) {
    try {
        link_.guard(step);
    } catch (const Error&) {
        if (link_ && link_->broken()) {
            link_.close();
        }
        throw;
    }
}

void DoipProtocol::InitCommunication() {
    guarded([this] {
        if (link_.open()) {
            uds_->linkOpened();
        }
    });
}

void DoipProtocol::SendReceive(const ByteString& request, ByteString& reply) {
    guarded([&] {
        if (!link_) {
            throw Error(link_error::kDeviceUnavailable,
                        "DoIP: the communication is not open (" + endpoint() + ")", kSource);
        }
        reply = uds_->exchange(*link_, request);
    });
}

void DoipProtocol::keepAlive() {
    if (!link_) {
        return;
    }
    // A connection found broken here is let go by the guard; the next
    // exchange says so.
    try {
        guarded([this] {
            link_->takeWaiting();
            uds_->keepAlive(*link_);
        });
    } catch (const Error&) {
    }
}

std::size_t DoipProtocol::maxReplyLength() const {
    return isotp::kMaxMessage;
}

} // namespace vistrel

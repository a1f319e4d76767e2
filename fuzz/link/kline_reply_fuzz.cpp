// SPDX-License-Identifier: MIT
// Any bytes as what comes back on the K-line after a request: the frame
// reader and the link's reply handling (echo, header forms, response
// pending, addresses, checksum) give a reply or an Error, never anything
// worse, and never wait past their deadlines.
#include "components/error.h"
#include "fakes/fake_line.h"
#include "link/kline_protocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    vistrel::KLineFrameReader reader;
    for (const auto byte : bytes) {
        if (reader.push(byte) != vistrel::KLineFrameReader::Status::NeedMore) {
            reader.reset();
        }
    }

    // The first byte chooses the echo setting; the rest arrive a byte per
    // millisecond after the request.
    vistrel::KLineSettings settings;
    settings.init = vistrel::KLineInit::None;
    // The request in one write, so the device answers once.
    settings.p4min = vistrel::Milliseconds(0);
    settings.echo = static_cast<vistrel::KLineEcho>(size > 0 ? data[0] % 3 : 0);
    auto* line = new vistrel::testing::FakeLine;
    line->device = [bytes](vistrel::testing::FakeLine& l, std::span<const std::uint8_t>) {
        auto at = l.now();
        for (std::size_t i = 1; i < bytes.size(); ++i) {
            at += std::chrono::milliseconds(1);
            l.arrive(bytes.subspan(i, 1), at);
        }
    };
    line->echoes = size > 1 && (data[1] & 1) != 0;
    const auto link = std::make_shared<vistrel::KLineProtocol>(
        settings, [line] { return std::unique_ptr<vistrel::ByteLine>(line); });
    vistrel::ByteString reply;
    try {
        link->SendReceive(vistrel::ByteString{0x23, 0x01, 0xA2, 0xB3, 0x02}, reply);
    } catch (const vistrel::Error&) {
    }
    return 0;
}

// SPDX-License-Identifier: MIT
#include "sim/socketcand_server.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <algorithm>
#include <array>

namespace vistrel {
namespace {

constexpr auto kPollSlice = std::chrono::milliseconds(20);
constexpr const char* kOk = "< ok >";

} // namespace

SocketcandServer::SocketcandServer(const EcuDescription& description, IsoTpEcuSettings settings,
                                   std::string bus)
    : ecu_(description, std::move(settings)), bus_(std::move(bus)) {}

std::string SocketcandServer::answer(const std::string& message, ByteLine::Clock::time_point now) {
    const auto words = socketcandWords(message);
    if (words.empty()) {
        return "< error empty command >";
    }
    if (mode_ == Mode::Greeted) {
        if (words[0] != "open" || words.size() != 2) {
            return "< error open a bus first >";
        }
        if (words[1] != bus_) {
            return "< error could not open bus '" + std::string(words[1]) + "' >";
        }
        mode_ = Mode::BusOpen;
        return kOk;
    }
    if (words[0] == "rawmode") {
        mode_ = Mode::Raw;
        return kOk;
    }
    if (words[0] != "send" || mode_ != Mode::Raw) {
        return "< error unknown command >";
    }
    const auto frame = parseSocketcandSend(message);
    if (!frame) {
        return "< error syntax of send >";
    }
    ecu_.receive(*frame, now);
    return {};
}

void SocketcandServer::serve(ByteLine& connection, const std::function<bool()>& keepGoing) {
    mode_ = Mode::Greeted;
    const auto write = [&connection](const std::string& text) {
        connection.write(
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    write("< hi >");
    SocketcandReader reader;
    std::array<std::uint8_t, 512> buffer{};
    std::vector<std::string> messages;
    const auto start = connection.now();
    try {
        while (keepGoing()) {
            auto deadline = connection.now() + kPollSlice;
            if (const auto next = ecu_.nextDue()) {
                deadline = std::min(deadline, *next);
            }
            const std::size_t n = connection.read(buffer, deadline);
            messages.clear();
            reader.push(std::span(buffer.data(), n), messages);
            std::string out;
            for (const auto& message : messages) {
                out += answer(message, connection.now());
            }
            const auto now = connection.now();
            for (const CanFrame& frame : ecu_.due(now)) {
                if (mode_ == Mode::Raw) {
                    out += socketcandFrameText(
                        frame, std::chrono::duration_cast<std::chrono::microseconds>(now - start));
                }
            }
            if (!out.empty()) {
                write(out);
            }
        }
    } catch (const Error& e) {
        // The tester hung up: the server waits for the next one.
        if (e.number() != link_error::kDeviceLost) {
            throw;
        }
    }
}

} // namespace vistrel

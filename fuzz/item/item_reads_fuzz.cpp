// Both reading methods fed replies of any form, or errors of any number,
// with and without a snapshot.
#include "components/error.h"
#include "components/protocol.h"
#include "fuzzed_item.h"

#include <pugixml.hpp>
#include <sstream>

namespace {

// Answers each request with the next fuzzed reply, or throws a fuzzed error.
class FuzzedProtocol final : public vistrel::Protocol {
public:
    explicit FuzzedProtocol(FuzzedDataProvider& input) : input_(input) {}

    std::string title() const override { return "fuzz"; }
    std::string subtitle() const override { return "fuzz"; }
    std::string protocolName() const override { return "fuzz"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    vistrel::CanXmlProcessor* canXml() override { return nullptr; }
    void InitCommunication() override {}

    void SendReceive(const vistrel::ByteString& request, vistrel::ByteString& reply) override {
        if (request.empty()) {
            __builtin_trap();
        }
        if (input_.ConsumeBool()) {
            throw vistrel::Error(input_.ConsumeIntegral<std::int32_t>(),
                                 input_.ConsumeRandomLengthString(32));
        }
        reply = vistrel::ByteString(
            input_.ConsumeBytes<std::uint8_t>(input_.ConsumeIntegralInRange<std::size_t>(0, 16)));
    }

private:
    FuzzedDataProvider& input_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    vistrel::VistrelItem item = vistrel::fuzzing::fuzzedItem(input);
    const bool byAddress = input.ConsumeBool();
    const std::int32_t lengthSize = input.ConsumeIntegralInRange<std::int32_t>(0, 3);
    pugi::xml_document document;
    pugi::xml_node snapShot;
    if (input.ConsumeBool()) {
        snapShot = document.append_child("snapshot");
    }

    FuzzedProtocol protocol(input);
    for (int read = 0; read < 2; ++read) {
        try {
            if (byAddress) {
                item.ReadMemory(protocol, lengthSize, snapShot);
            } else {
                item.ReadDynamicallyDefined(protocol, snapShot);
            }
        } catch (const vistrel::Error& error) {
            // A reported failure is always the item's own error.
            if (error.number() != item.errorCode() || error.description() != item.errorText()) {
                __builtin_trap();
            }
        }
        vistrel::fuzzing::checkOutcome(item);
    }
    if (!snapShot && document.first_child()) {
        __builtin_trap();
    }
    std::ostringstream saved;
    document.save(saved);
    return 0;
}

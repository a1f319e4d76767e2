#include "components/negative_response.h"

#include <array>

namespace vistrel {
namespace {

struct KnownCode {
    std::uint8_t nrc;
    std::int32_t number;
    const char* text;
};

constexpr std::array<KnownCode, 7> kKnownCodes{{
    {0x10, nrc_error::kGeneralReject, "General Reject"},
    {0x11, nrc_error::kServiceNotSupported, "Service not supported"},
    {0x12, nrc_error::kSubFunctionNotSupported, "Sub function not supported or with invalid format"},
    {0x21, nrc_error::kBusyRepeatRequest, "Busy-repeat request"},
    {0x22, nrc_error::kConditionsNotCorrect, "Execution conditions not set"},
    {0x23, nrc_error::kRoutineNotComplete, "Routine not complete"},
    {0x80, nrc_error::kNotInActiveSession, "Service Not Supported In Active Diagnostic Session"},
}};

} // namespace

std::string hexNoLeadingZeros(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    return out;
}

Error negativeResponseError(std::uint8_t sid, std::uint8_t nrc) {
    for (const auto& known : kKnownCodes) {
        if (known.nrc == nrc) {
            return Error(known.number, known.text);
        }
    }
    return Error(nrc_error::kOtherNegativeResponse,
                 "Service " + hexNoLeadingZeros(sid) + " Negative response " + hexNoLeadingZeros(nrc));
}

bool isKnownRefusal(std::int32_t errorNumber) noexcept {
    for (const auto& known : kKnownCodes) {
        if (known.number == errorNumber) {
            return true;
        }
    }
    return false;
}

} // namespace vistrel

// SPDX-License-Identifier: MIT
#include "components/negative_response.h"

#include "components/uds_negative_response.h"

#include <array>

namespace vistrel {
namespace {

struct KnownCode {
    std::uint8_t nrc;
    std::int32_t number;
    const char* text;
};

constexpr std::array<KnownCode, 7> kKnownCodes{{
    {nrc::kGeneralReject, nrc_error::kGeneralReject, "General Reject"},
    {nrc::kServiceNotSupported, nrc_error::kServiceNotSupported, "Service not supported"},
    {nrc::kInvalidFormat, nrc_error::kSubFunctionNotSupported,
     "Sub function not supported or with invalid format"},
    {nrc::kBusyRepeatRequest, nrc_error::kBusyRepeatRequest, "Busy-repeat request"},
    {nrc::kConditionsNotCorrect, nrc_error::kConditionsNotCorrect, "Execution conditions not set"},
    {nrc::kRoutineNotComplete, nrc_error::kRoutineNotComplete, "Routine not complete"},
    {nrc::kNotInActiveSession, nrc_error::kNotInActiveSession,
     "Service Not Supported In Active Diagnostic Session"},
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
    return Error(nrc_error::kOtherNegativeResponse, "Service " + hexNoLeadingZeros(sid) +
                                                        " Negative response " +
                                                        hexNoLeadingZeros(nrc));
}

bool isKnownRefusal(std::int32_t errorNumber) noexcept {
    for (const auto& known : kKnownCodes) {
        if (known.number == errorNumber) {
            return true;
        }
    }
    return isUdsRefusal(errorNumber);
}

bool isNegativeResponse(std::int32_t errorNumber) noexcept {
    return errorNumber == nrc_error::kOtherNegativeResponse || isKnownRefusal(errorNumber) ||
           isUdsNegativeResponse(errorNumber);
}

} // namespace vistrel

// SPDX-License-Identifier: MIT
#include "components/uds_negative_response.h"

#include "components/negative_response.h"

#include <array>
#include <string>

namespace vistrel {
namespace {

struct NamedCode {
    std::uint8_t nrc;
    const char* name;
};

// Each code's error number is uds_error::kFirstNamedRefusal plus its place
// here: new codes go at the end, so that a number once shown keeps its
// meaning.
constexpr std::array<NamedCode, 42> kNamedCodes{{
    {0x10, "generalReject"},
    {0x11, "serviceNotSupported"},
    {0x12, "subFunctionNotSupported"},
    {0x13, "incorrectMessageLengthOrInvalidFormat"},
    {0x14, "responseTooLong"},
    {0x21, "busyRepeatRequest"},
    {0x22, "conditionsNotCorrect"},
    {0x24, "requestSequenceError"},
    {0x25, "noResponseFromSubnetComponent"},
    {0x26, "failurePreventsExecutionOfRequestedAction"},
    {0x31, "requestOutOfRange"},
    {0x33, "securityAccessDenied"},
    {0x34, "authenticationRequired"},
    {0x35, "invalidKey"},
    {0x36, "exceedNumberOfAttempts"},
    {0x37, "requiredTimeDelayNotExpired"},
    {0x70, "uploadDownloadNotAccepted"},
    {0x71, "transferDataSuspended"},
    {0x72, "generalProgrammingFailure"},
    {0x73, "wrongBlockSequenceCounter"},
    {0x78, "requestCorrectlyReceived-ResponsePending"},
    {0x7E, "subFunctionNotSupportedInActiveSession"},
    {0x7F, "serviceNotSupportedInActiveSession"},
    {0x81, "rpmTooHigh"},
    {0x82, "rpmTooLow"},
    {0x83, "engineIsRunning"},
    {0x84, "engineIsNotRunning"},
    {0x85, "engineRunTimeTooLow"},
    {0x86, "temperatureTooHigh"},
    {0x87, "temperatureTooLow"},
    {0x88, "vehicleSpeedTooHigh"},
    {0x89, "vehicleSpeedTooLow"},
    {0x8A, "throttle/PedalTooHigh"},
    {0x8B, "throttle/PedalTooLow"},
    {0x8C, "transmissionRangeNotInNeutral"},
    {0x8D, "transmissionRangeNotInGear"},
    {0x8F, "brakeSwitch(es)NotClosed"},
    {0x90, "shifterLeverNotInPark"},
    {0x91, "torqueConverterClutchLocked"},
    {0x92, "voltageTooHigh"},
    {0x93, "voltageTooLow"},
    {0x94, "resourceTemporarilyNotAvailable"},
}};

static_assert(uds_error::kFirstNamedRefusal + static_cast<std::int32_t>(kNamedCodes.size()) - 1 <=
              uds_error::kLastNamedRefusal);

const NamedCode* namedCode(std::uint8_t nrc) noexcept {
    for (const auto& code : kNamedCodes) {
        if (code.nrc == nrc) {
            return &code;
        }
    }
    return nullptr;
}

} // namespace

std::optional<std::string_view> udsNegativeResponseName(std::uint8_t nrc) noexcept {
    const NamedCode* code = namedCode(nrc);
    return code != nullptr ? std::optional<std::string_view>(code->name) : std::nullopt;
}

Error udsNegativeResponseError(std::uint8_t sid, std::uint8_t nrc) {
    std::string text =
        "Service " + hexNoLeadingZeros(sid) + " Negative response " + hexNoLeadingZeros(nrc);
    const NamedCode* code = namedCode(nrc);
    if (code == nullptr) {
        return Error(uds_error::kOtherNegativeResponse, std::move(text));
    }
    text += " (";
    text += code->name;
    text += ')';
    if (nrc == uds_nrc::kServiceNotSupportedInActiveSession ||
        nrc == uds_nrc::kSubFunctionNotSupportedInActiveSession) {
        // The ECU offers the service, just not in the session it is in: the
        // list's session request is the thing to change.
        text += ": likely the session; the list's session request may need another one, "
                "e.g. 1003 (extended session)";
    }
    return Error(uds_error::kFirstNamedRefusal +
                     static_cast<std::int32_t>(code - kNamedCodes.data()),
                 std::move(text));
}

bool isUdsRefusal(std::int32_t errorNumber) noexcept {
    return errorNumber >= uds_error::kFirstNamedRefusal &&
           errorNumber <
               uds_error::kFirstNamedRefusal + static_cast<std::int32_t>(kNamedCodes.size());
}

bool isUdsNegativeResponse(std::int32_t errorNumber) noexcept {
    return errorNumber == uds_error::kOtherNegativeResponse || isUdsRefusal(errorNumber);
}

} // namespace vistrel

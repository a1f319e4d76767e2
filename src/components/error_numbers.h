// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Every error number of the system, in one place, so that no number means
// two things and a reader of a status text can look up where it came from.
// The numbers of the item and list layers are part of their behaviour (the
// user sees them in the grid and in message boxes); the control's own and
// the simulator's are chosen outside the ranges those use.
namespace vistrel {

// What a failure is about, so that a view can tell a broken cable from a
// refused item or a bad file without knowing every number.
enum class ErrorKind {
    // The ECU's side of an exchange: no answer, a negative or malformed
    // reply, a list of which no item could be read.
    Protocol,
    // The line, the device or the adapter between the host and the ECU.
    Link,
    // A file that cannot be read, parsed or written.
    File,
    // A request that cannot be carried out as given: no protocol, a link
    // string or a trigger condition that does not parse.
    Usage,
    // One item's definition or value.
    Item,
};

// --- item definition and reads -------------------------------------------
// A length outside 1..8, and a dynamically defined reply too short for the
// item's value.
inline constexpr std::int32_t kItemLengthError = 1;
inline constexpr std::int32_t kReplyTooShortError = 1;
// A malformed hexadecimal text (address, mask, request, reply).
inline constexpr std::int32_t kHexTextError = 5;

// Replies that are not negative but still carry no value.
namespace reply_error {
inline constexpr std::int32_t kIncompleteReply = 2002;
inline constexpr std::int32_t kAnswerFormatIllegal = 2003;
} // namespace reply_error

// The errors that a negative reply becomes.
namespace nrc_error {
inline constexpr std::int32_t kServiceNotSupported = 2032;
inline constexpr std::int32_t kConditionsNotCorrect = 2033;
inline constexpr std::int32_t kSubFunctionNotSupported = 2034;
inline constexpr std::int32_t kBusyRepeatRequest = 2035;
inline constexpr std::int32_t kOtherNegativeResponse = 2040;
inline constexpr std::int32_t kIllegalNegativeReply = 2041;
inline constexpr std::int32_t kNotInActiveSession = 2042;
inline constexpr std::int32_t kRoutineNotComplete = 2043;
inline constexpr std::int32_t kGeneralReject = 2044;
} // namespace nrc_error

// --- item list -------------------------------------------------------------
// An item line whose address is not hexadecimal.
inline constexpr std::int32_t kSyntaxAddressError = 1;
// The list's read: no protocol, or every item failed.
inline constexpr std::int32_t kListReadError = 10;
// A configuration file number beyond the range of a double.
inline constexpr std::int32_t kOverflowError = 6;
// A configuration file value of the wrong type (a length that is no number).
inline constexpr std::int32_t kConversionError = 13;
// A configuration file that cannot be read or parsed, and one that is not a
// configuration file.
inline constexpr std::int32_t kConfigLoadError = 3003;
inline constexpr std::int32_t kBadConfigFile = 3004;
// A measurement description (A2L) that cannot be read or breaks its syntax.
inline constexpr std::int32_t kMeasurementFileError = 3005;
// A file that cannot be written (configuration, snapshot, code page missing,
// a recording that cannot be opened).
inline constexpr std::int32_t kFileWriteError = 75;

// --- CAN-XML batch: the failures a processor writes into an "e" element -----
inline constexpr std::int32_t kNoAnswerError = 2000;
inline constexpr const char* kNoAnswerText = "No answer at due time";
inline constexpr std::int32_t kCanSendError = 1015;
inline constexpr std::int32_t kUnknownBatchError = 3000;

// --- control ---------------------------------------------------------------
// The cycle was asked to talk without a protocol object.
inline constexpr std::int32_t kNoProtocolError = 3002;
inline constexpr const char* kNoProtocolText = "Protocol not defined";
// A paste whose text holds no item line: the list stays as it was.
inline constexpr std::int32_t kNoItemLines = 3005;
inline constexpr const char* kNoItemLinesText = "no item lines in the clipboard";
// A failure that was not raised as an Error (a standard exception from deep
// inside a call), so that it still travels as a number and a text.
inline constexpr std::int32_t kUnexpectedFailure = -1;

// --- links: simulated and real ---------------------------------------------
// No answer uses kNoAnswerError, as a real gateway reports it; negative
// replies use the numbers of nrc_error.
// The communication cannot be opened (wake-up or StartCommunication failed).
inline constexpr std::int32_t kInitFailedError = 2001;
// An ECU description that cannot be read.
inline constexpr std::int32_t kBadDescriptionError = 4000;

// Failures of a real link's line and device.
namespace link_error {
inline constexpr std::int32_t kBadChecksum = 2050;
inline constexpr std::int32_t kForeignAddress = 2051;
inline constexpr std::int32_t kGarbledFrame = 2052;
inline constexpr std::int32_t kWrongEcho = 2053;
// The device cannot be opened, is taken, or went away.
inline constexpr std::int32_t kDeviceUnavailable = 2060;
inline constexpr std::int32_t kPermissionDenied = 2061;
inline constexpr std::int32_t kDeviceBusy = 2062;
inline constexpr std::int32_t kDeviceLost = 2063;
// The device went away or is not there: nothing on this link can be read
// until the communication is opened again.
inline constexpr bool isDeviceGone(std::int32_t number) noexcept {
    return number == kDeviceLost || number == kDeviceUnavailable;
}
} // namespace link_error

// Failures of an ELM327-family adapter. NO DATA shares the number of every
// link's silence.
namespace adapter_error {
inline constexpr std::int32_t kNotUnderstood = 2070;
inline constexpr std::int32_t kBusInit = 2071;
inline constexpr std::int32_t kUnableToConnect = 2072;
inline constexpr std::int32_t kBufferFull = 2073;
inline constexpr std::int32_t kCanError = 2074;
inline constexpr std::int32_t kBusBusy = 2075;
inline constexpr std::int32_t kStopped = 2076;
inline constexpr std::int32_t kRxError = 2077;
inline constexpr std::int32_t kOther = 2078;
inline constexpr std::int32_t kRestarted = 2079;
inline constexpr std::int32_t kGarbled = 2080;
inline constexpr std::int32_t kRequestTooLong = 2081;
// No prompt from the adapter: wrong device or speed, or it hangs.
inline constexpr std::int32_t kSilent = 2082;
// A setting the bring-up needs and the adapter refuses.
inline constexpr std::int32_t kSetupRefused = 2083;
inline constexpr std::int32_t kDataError = 2084;
} // namespace adapter_error

// Failures of a CAN link: the ISO-TP transfer, the adapter or server that
// carries the frames, and the system's CAN sockets.
namespace can_error {
inline constexpr std::int32_t kMessageTooLong = 2090;
// The ECU's flow control refused the transfer (overflow, too many waits,
// an unknown status).
inline constexpr std::int32_t kFlowControlRefused = 2091;
inline constexpr std::int32_t kFlowControlTimeout = 2092;
inline constexpr std::int32_t kSequence = 2093;
inline constexpr std::int32_t kConsecutiveTimeout = 2094;
// The adapter refused a command, or the server answered with an error.
inline constexpr std::int32_t kCarrierRefused = 2095;
// What came from the adapter or server cannot be read.
inline constexpr std::int32_t kCarrierGarbled = 2096;
// The system has no CAN sockets, or the interface does not exist.
inline constexpr std::int32_t kNoCanSockets = 2097;
} // namespace can_error

// --- recordings read back, and their triggers ---------------------------------
// A recording file that cannot be read, or an export that cannot be written.
inline constexpr std::int32_t kRecordingFileError = 4100;
// A trigger condition that does not parse or names no item.
inline constexpr std::int32_t kTriggerConditionError = 4101;
// A link string with an unknown kind or key, or a value that does not fit.
inline constexpr std::int32_t kLinkStringError = 4102;

// Failures of a reading method as a whole or of one of its items, in either
// diagnostic family.
namespace reading_error {
// The periodic method on a link that cannot carry it.
inline constexpr std::int32_t kPeriodicNotOnThisLink = 5500;
// An identifier that the ECU stopped sending.
inline constexpr std::int32_t kNoPeriodicData = 5501;
// An item longer than one periodic frame carries.
inline constexpr std::int32_t kTooLongForPeriodic = 5502;
} // namespace reading_error

// The kind that a number stands for. A number that means one thing in one
// layer and another elsewhere (1) takes the kind of the layer that raises it
// most; an Error built with its kind given says otherwise.
constexpr ErrorKind kindOfNumber(std::int32_t number) noexcept {
    switch (number) {
    case kItemLengthError:
    case kHexTextError:
        return ErrorKind::Item;
    case kOverflowError:
    case kConversionError:
    case kConfigLoadError:
    case kBadConfigFile:
    case kFileWriteError:
    case kBadDescriptionError:
    case kRecordingFileError:
    case kMeasurementFileError:
        return ErrorKind::File;
    case kNoProtocolError:
    case kTriggerConditionError:
    case kLinkStringError:
        return ErrorKind::Usage;
    case kInitFailedError:
    case kCanSendError:
        return ErrorKind::Link;
    default:
        break;
    }
    if (number >= link_error::kBadChecksum && number <= adapter_error::kSetupRefused) {
        return ErrorKind::Link;
    }
    if (number >= can_error::kMessageTooLong && number <= can_error::kNoCanSockets) {
        return ErrorKind::Link;
    }
    return ErrorKind::Protocol;
}

// --- the trust of a read: replies in step, silence seen at once -------------
namespace step_error {
// A reply that may be the late answer to an earlier request that timed out:
// it is not taken as the value of the request that waits now.
inline constexpr std::int32_t kLateReply = 5100;
inline constexpr const char* kLateReplyText = "late or out-of-step reply";
} // namespace step_error

// Whether the failure is silence: the ECU did not answer at all (a negative
// reply, a garbled or a late one is an answer).
constexpr bool isUnanswered(std::int32_t number) noexcept {
    return number == kNoAnswerError || number == can_error::kFlowControlTimeout;
}

// --- UDS links: negative replies, the session, security access --------------
namespace uds_error {
// A negative reply whose code has no name.
inline constexpr std::int32_t kOtherNegativeResponse = 5200;
// The named negative response codes take the numbers from here to
// kLastNamedRefusal, each its own (uds_negative_response.cpp).
inline constexpr std::int32_t kFirstNamedRefusal = 5201;
inline constexpr std::int32_t kLastNamedRefusal = 5249;
// The default session request answered as a UDS ECU answers it: refused or
// not at all.
inline constexpr std::int32_t kDefaultSessionRequest = 5250;
// The ECU seems to speak the other family than the link's diag key says.
inline constexpr std::int32_t kFamilyMismatch = 5251;
// Security access: waiting for the ECU's delay, or given up on.
inline constexpr std::int32_t kSecurityDelay = 5252;
inline constexpr std::int32_t kSecurityGivenUp = 5253;
// The key program failed, hung or printed no key.
inline constexpr std::int32_t kKeyProgramFailed = 5254;
// A security reply that does not fit the request (wrong level, no seed).
inline constexpr std::int32_t kSecurityReplyMalformed = 5255;
} // namespace uds_error

// --- configuration files, said plainly ------------------------------------
// A configuration file that is not XML at all (empty, prose, binary); its
// kind is File.
inline constexpr std::int32_t kNotXmlFile = 5150;

// --- DoIP: the entity's messages, routing activation, discovery -------------
// Raised as ErrorKind::Link (they are about the way to the ECU, not its reply).
namespace doip_error {
// A message from the entity breaks the header's rules or its type's length:
// the connection is closed, since nothing after it can be trusted.
inline constexpr std::int32_t kBadMessage = 5400;
// The entity refused one of our messages with a generic negative
// acknowledgement.
inline constexpr std::int32_t kGenericNack = 5401;
// Routing activation refused, with the entity's reason.
inline constexpr std::int32_t kActivationRefused = 5402;
// No routing activation response in time.
inline constexpr std::int32_t kNoActivationResponse = 5403;
// The entity refused a diagnostic message (negative acknowledgement).
inline constexpr std::int32_t kNegativeAck = 5404;
// No acknowledgement of a diagnostic message in time.
inline constexpr std::int32_t kNoAck = 5405;
// Discovery could not send its request or listen for the answers.
inline constexpr std::int32_t kDiscoveryFailed = 5406;
} // namespace doip_error

} // namespace vistrel

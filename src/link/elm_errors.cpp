// SPDX-License-Identifier: MIT
#include "link/elm_errors.h"

#include "components/error_numbers.h"

namespace vistrel {

Error adapterMessageError(ElmMessage message, const std::string& words) {
    const std::string quoted = "adapter says \"" + words + "\"";
    const char* source = "ElmProtocol.SendReceive";
    switch (message) {
    case ElmMessage::None:
    case ElmMessage::NoData:
        return Error(kNoAnswerError, kNoAnswerText, source);
    case ElmMessage::Unknown:
        return Error(adapter_error::kNotUnderstood,
                     quoted + ": it does not understand or cannot send this request", source);
    case ElmMessage::BusInitError:
        return Error(adapter_error::kBusInit,
                     quoted + ": the ECU did not answer the bus wake-up (address, ignition?)",
                     source);
    case ElmMessage::UnableToConnect:
        return Error(adapter_error::kUnableToConnect, quoted + ": no ECU answers on this protocol",
                     source);
    case ElmMessage::BufferFull:
        return Error(adapter_error::kBufferFull,
                     quoted + ": the reply came faster than the serial speed carries it", source);
    case ElmMessage::CanError:
        return Error(adapter_error::kCanError,
                     quoted + ": no CAN frame was acknowledged (speed, wiring?)", source);
    case ElmMessage::BusBusy:
        return Error(adapter_error::kBusBusy, quoted + ": the bus is too busy to send on", source);
    case ElmMessage::Stopped:
        return Error(adapter_error::kStopped, quoted + ": it was interrupted before the reply",
                     source);
    case ElmMessage::RxError:
        return Error(adapter_error::kRxError, quoted + ": a damaged CAN frame came in", source);
    case ElmMessage::DataError:
        return Error(adapter_error::kDataError,
                     quoted + ": a reply came in with a wrong checksum or length (noise on the "
                              "bus?)",
                     source);
    case ElmMessage::OtherError:
        return Error(adapter_error::kOther, quoted, source);
    case ElmMessage::Restarted:
        return Error(adapter_error::kRestarted, "adapter restarted", source);
    case ElmMessage::Garbled:
        break;
    }
    return Error(adapter_error::kGarbled, "adapter reply cannot be read: \"" + words + "\"",
                 source);
}

} // namespace vistrel

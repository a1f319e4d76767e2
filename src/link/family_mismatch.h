// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "link/message_link.h"
#include "link/reply_step.h"

namespace vistrel {

// The signs that the ECU speaks the other diagnostic family than the link's
// diag key says, seen where they show first: in the session exchange. Each
// turns the failure into a message that names the likely mismatch, so that
// the user changes the key instead of chasing a fault.

// A KWP2000 exchange (diag=kwp) with those signs checked: a session reply
// that carries UDS timing, or the refusal of the default session request
// that UDS ECUs give.
ByteString kwpCheckedExchange(MessageLink& link, const ByteString& request, ReplyStep& step);

// For a UDS link (diag=uds): what a failed session request means. The
// default request 10 A0 refused or unanswered asks for 10 03; another
// session refused as unknown points to a KWP2000 ECU. Any other failure
// stays as it was.
Error udsSessionFailure(const ByteString& request, const Error& failure);

// For a UDS link: throws when a positive session reply has the KWP2000
// form, without the timing every UDS ECU sends.
void checkUdsSessionReply(const ByteString& request, const ByteString& reply);

} // namespace vistrel

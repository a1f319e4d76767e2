// SPDX-License-Identifier: MIT
#pragma once

// The names of a CAN-XML batch document, shared by the item that writes its
// request frame, the list that builds the request and walks the replies,
// and the processors that answer it, so that the two sides never drift apart.
//
//   <?timings?>
//   <can>
//     <x i="rid"><i>xid</i>
//       <s><d>request frame</d></s> <r c="reply key"><d>reply</d></r>  ...
//     </x>
//   </can>
//
// A processor that cannot perform a request writes an "e" element holding
// one of the failure texts below into the request's "r" element.
namespace vistrel::can_xml {

inline constexpr const char* kTimingsInstruction = "timings";
inline constexpr const char* kRoot = "can";
inline constexpr const char* kExchange = "x";
// The receive identifier is an attribute of "x", the transmit identifier an
// element inside it; both are named "i".
inline constexpr const char* kIdentifier = "i";
inline constexpr const char* kSend = "s";
inline constexpr const char* kReply = "r";
inline constexpr const char* kReplyKey = "c";
inline constexpr const char* kData = "d";
inline constexpr const char* kFailure = "e";

// Failure texts of an "e" element.
inline constexpr const char* kReceiveTimeout = "ErrorRcvTO";
inline constexpr const char* kSendTimeout = "ErrorSndTO";
inline constexpr const char* kBadFrame = "ErrorFrame";

} // namespace vistrel::can_xml

// SPDX-License-Identifier: MIT
#include "recording/windows1252_decoder.h"

#include "components/error_numbers.h"

namespace vistrel {

Windows1252Decoder::Windows1252Decoder() : decoder_("WINDOWS-1252", 1, "?", kRecordingFileError) {}

} // namespace vistrel

// SPDX-License-Identifier: MIT
#include "recording/windows1252_decoder.h"

#include "recording/recording_errors.h"

namespace vistrel {

Windows1252Decoder::Windows1252Decoder() : decoder_("WINDOWS-1252", 1, "?", kRecordingFileError) {}

} // namespace vistrel

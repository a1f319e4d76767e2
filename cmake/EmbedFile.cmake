# Writes a C++ source whose one function returns the bytes of a file, so that
# a binary carries the file itself and never a hand-kept copy of it. The bytes
# are written as numbers, not as a string literal, so any content works.
#
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DHEADER=<header declaring FUNCTION>
#         -DNAMESPACE=<namespace> -DFUNCTION=<name> -P EmbedFile.cmake
#
# The header declares `std::string_view FUNCTION() noexcept;` in NAMESPACE.
foreach(parameter INPUT OUTPUT HEADER NAMESPACE FUNCTION)
  if(NOT DEFINED ${parameter})
    message(FATAL_ERROR "EmbedFile.cmake needs -D${parameter}=...")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${INPUT}; edit that file instead.
#include \"${HEADER}\"

namespace ${NAMESPACE} {
namespace {
// The file's bytes and a final 0, so that an empty file still gives an array.
constexpr unsigned char kBytes[] = {${bytes}0x00};
} // namespace

std::string_view ${FUNCTION}() noexcept {
    return {reinterpret_cast<const char*>(kBytes), sizeof kBytes - 1};
}

} // namespace ${NAMESPACE}
")
# Only a changed text touches the source, so that nothing recompiles for a
# script run that writes the same bytes again.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")

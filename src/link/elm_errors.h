// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/error_numbers.h"
#include "link/elm_reply.h"

#include <cstdint>
#include <string>

namespace vistrel {

// The error an adapter message stands for, its text quoting the adapter.
Error adapterMessageError(ElmMessage message, const std::string& words);

} // namespace vistrel

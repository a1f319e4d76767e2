// SPDX-License-Identifier: MIT
#pragma once

namespace vistrel {

// Terminal settings of a serial line through termios2, which takes any baud
// rate (10400 is none of the classic Bxxx constants). Each returns 0 or the
// errno of the failure.

// Raw 8N1 at baud: no canonical mode, no CR/LF translation, no XON/XOFF, no
// local echo, no modem control; reads return whatever has arrived. Set in
// full whatever state the line was left in.
int makeRaw(int fd, unsigned baud);
int changeBaudRate(int fd, unsigned baud);

// Asks the driver to hand over received bytes at once instead of batching
// them (an FTDI chip holds them for 16 ms by default, a third of P2max).
// Drivers without the setting are left as they are.
void requestLowLatency(int fd);

} // namespace vistrel

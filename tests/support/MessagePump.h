#pragma once

#include <functional>

namespace TestSupport {

// Dispatches every message of this thread for the given time, sleeping in between.
// A WM_QUIT ends the pumping at once and is posted again, for the loop of the code under test.
void PumpMessages(int milliseconds);

// Dispatches messages until done() returns true or timeoutMs has passed; done() is checked
// before the first wait and after every batch of messages (at least every 10 ms). Returns
// whether done() became true. A WM_QUIT ends it as in PumpMessages (returning done()).
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace TestSupport

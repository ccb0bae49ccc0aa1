#pragma once

#include <functional>

// Runs the event loop until done() holds or timeoutMs passes; false on timeout.
[[nodiscard]] bool waitUntil(const std::function<bool()>& done, int timeoutMs);
// Runs the event loop for ms milliseconds.
void waitFor(int ms);

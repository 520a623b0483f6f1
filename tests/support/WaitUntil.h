// Waiting in tests: for a condition, with an upper limit, never for a fixed time.
#pragma once

#include <chrono>
#include <thread>

namespace quillon::testing {

// How long a test waits for what normally takes a moment (another thread's answer, a
// program started under Wine, the X server catching up): long enough that a slow or busy
// machine does not turn the test red. A test that fails waits this long once.
constexpr std::chrono::milliseconds kPatience{60000};

// Checks condition until it holds or limit has passed; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace quillon::testing

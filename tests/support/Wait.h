#pragma once

#include <functional>

namespace testing {

// Runs the event loop until `done` holds, without the sleeps of QTest::qWaitFor between
// rounds (a sequence takes several rounds per step); false after `timeoutMs`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

} // namespace testing

#pragma once

#include "platform/Services.h"

namespace platform {
class Dialogs;
class SerialPort;
} // namespace platform

namespace app {

// The platform facilities the main window works through: the real ones in the program,
// fakes in tests.
struct AppServices {
    platform::SerialPort* port = nullptr;
    platform::Dialogs* dialogs = nullptr;
    platform::Sleeper sleep;
    platform::Clock clock;
};

} // namespace app

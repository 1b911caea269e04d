#include "Fixtures.h"

namespace testing {

TestServices::TestServices()
    : port(std::make_unique<FakeSerialPort>(trace)), now(QDate(2026, 12, 6), QTime(14, 3, 27)) {}

app::AppServices TestServices::services() {
    TestServices* self = this;
    app::AppServices s;
    s.port = self->port.get();
    s.dialogs = &self->dialogs;
    s.sleep = [self](int ms) {
        self->sleeps.append(ms);
        self->trace->append(QStringLiteral("sleep %1").arg(ms));
    };
    s.clock = [self] { return self->now; };
    s.settingsFile = settingsDir.filePath(QStringLiteral("Corvane sysfile.cfg"));
    return s;
}

} // namespace testing

#pragma once

#include "core/link/Link.h"
#include "gui/platform/Dialogs.h"

#include <QCoroTask>
#include <QStringList>
#include <functional>
#include <memory>

namespace testing {

// Break and mark recorded in the trace ("sleep 20"), going on at once.
inline platform::Pause recordingPause(std::shared_ptr<QStringList> trace) {
    return [trace](int ms, QObject*, const std::function<void()>& then) {
        trace->append(QStringLiteral("sleep %1").arg(ms));
        then();
    };
}

inline platform::Pause instantPause() {
    return [](int, QObject*, const std::function<void()>& then) { then(); };
}

// The window's box for a request that finds the port closed, for suites without a window.
inline void sayWhenPortClosed(sdilink::Link& link, platform::Dialogs& dialogs) {
    QObject::connect(&link, &sdilink::Link::portClosed, &link, [&dialogs] {
        dialogs.messageBox(QStringLiteral("Connection."),
                           QStringLiteral("Unable to connect to comm port."),
                           platform::Dialogs::Icon::Exclamation);
    });
}

// The window's box for what the decoder tells, for suites without a window.
inline auto boxFor(platform::Dialogs& dialogs) {
    return [&dialogs](const QString& title, const QString& text) {
        dialogs.messageBox(title, text, platform::Dialogs::Icon::Exclamation);
    };
}

// Runs a sequence's step (or any awaitable) to its end from the event loop.
template <typename Awaitable> bool finish(Awaitable awaitable) {
    auto task = [](Awaitable a) -> QCoro::Task<bool> {
        co_return co_await a;
    }(std::move(awaitable));
    return QCoro::waitFor(task);
}

} // namespace testing

#include "Termination.h"

#include "core/platform/SignalWatcher.h"

#include <QCoreApplication>

namespace app {

void quitOnTermination(QObject* owner) {
    auto* watcher = new platform::SignalWatcher(owner);
    // Without the quit question: nobody may be there to answer it.
    QObject::connect(watcher, &platform::SignalWatcher::terminationRequested, owner,
                     [] { QCoreApplication::exit(0); });
}

} // namespace app

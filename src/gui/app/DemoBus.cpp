#include "DemoBus.h"

#include "Bus.h"
#include "BusConfig.h"
#include "PtyServer.h"
#include "RealTimeScheduler.h"

namespace app {

DemoBus::~DemoBus() {
    stop();
}

bool DemoBus::start() {
    stop();
    thread_.setObjectName(QStringLiteral("demo bus"));
    thread_.start();
    root_ = new QObject;
    root_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, root_, &QObject::deleteLater);
    bool ok = false;
    // The simulator's timers and socket notifiers must be made in the thread that runs them.
    QMetaObject::invokeMethod(
        root_,
        [this, &ok] {
            auto* clock = new sim::RealTimeScheduler(root_);
            auto* bus = new sim::Bus(*clock, root_);
            sim::BusConfig::demo().applyTo(*bus);
            auto* server = new sim::PtyServer(*bus, root_);
            ok = server->open();
            if (ok)
                devicePath_ = server->slavePath();
            else
                error_ = server->errorString();
        },
        Qt::BlockingQueuedConnection);
    if (!ok)
        stop();
    return ok;
}

void DemoBus::stop() {
    if (!thread_.isRunning())
        return;
    thread_.quit();
    thread_.wait(); // the simulator's objects are deleted as the thread finishes
    root_ = nullptr;
}

} // namespace app

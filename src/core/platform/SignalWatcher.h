#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace platform {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the event loop (through a socket pair, the
// only thing the handler touches). One instance per process.
class SignalWatcher final : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

    bool isValid() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform

#include "SignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void onSignal(int number) {
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
}

} // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    notifier_ = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
}

SignalWatcher::~SignalWatcher() {
    if (!notifier_)
        return;
    notifier_.reset();
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalWatcher::readSignal() {
    unsigned char byte = 0;
    if (::read(pipeFds[0], &byte, 1) == 1)
        Q_EMIT terminationRequested(byte);
}

} // namespace platform

#pragma once

#include "Bus.h"
#include "ManualScheduler.h"

#include <QByteArray>
#include <QObject>

// A bus on a manual clock with everything it sends collected, for exchanges that need no
// real waiting.
struct SimHarness {
    sim::ManualScheduler clock;
    sim::Bus bus{clock};
    QByteArray received;

    SimHarness() {
        QObject::connect(&bus, &sim::Bus::transmitted,
                         [this](const QByteArray& bytes) { received += bytes; });
    }

    // Sends one request after a break and returns what comes back before the clock has
    // moved by window (echo and answer of an unpaced bus come at once).
    QByteArray exchange(const QByteArray& request, sim::Micros window = sim::Micros{0}) {
        received.clear();
        bus.lineBreak();
        bus.receive(request);
        clock.advanceBy(window);
        return std::exchange(received, {});
    }

    // The framed line the tool sees: echo and answer without the closing CR LF; empty when
    // the line does not end in CR LF.
    QString line(const QByteArray& request, sim::Micros window = sim::Micros{0}) {
        const QByteArray bytes = exchange(request, window);
        if (!bytes.endsWith("\r\n"))
            return {};
        return QString::fromLatin1(bytes.chopped(2));
    }
};

#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace cli {

// The command line of sdi12: the global options, the command and its arguments.
struct Options {
    QString port;                                  // --port: "COM3", "3" or a device path
    std::vector<std::pair<int, QString>> bindings; // --com N=PATH
    bool rotary = false;                           // --family encoder
    bool json = false;
    int count = 1;    // measure --count
    double every = 0; // measure --every, log --every: seconds
    bool countGiven = false;
    qint64 forSeconds = 0; // log --for
    QString output;        // log --output
    QString command;
    QStringList arguments;
    bool help = false;
    bool version = false;
    QString error; // a usage error, said with exit status 2

    static Options parse(const QStringList& arguments);
    static QString helpText();
};

} // namespace cli

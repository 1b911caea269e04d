#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace app {

// The tool's command line: --com N=PATH (repeatable), --demo, --help, --version.
struct CommandLine {
    std::vector<std::pair<int, QString>> bindings; // COM number -> device path
    bool demo = false;
    bool help = false;
    bool version = false;
    QString error; // not empty when the arguments are not understood

    static CommandLine parse(const QStringList& arguments);
    static QString helpText();
};

} // namespace app

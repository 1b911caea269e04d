#include "Options.h"
#include "Tool.h"

#include "core/platform/Services.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <cstdio>

int main(int argc, char* argv[]) {
    // The window's name: the same settings file and journal folder.
    QCoreApplication::setApplicationName(QStringLiteral("sdi12-config"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SDI12_VERSION));
    const cli::Options options = cli::Options::parse(platform::rawArguments(argc, argv));
    if (options.help) {
        std::fputs(cli::Options::helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("sdi12 %s\n", SDI12_VERSION);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "sdi12: %s\nTry 'sdi12 --help'.\n",
                     options.error.toUtf8().constData());
        return 2;
    }
    QCoreApplication application(argc, argv);
    int status = 2;
    {
        cli::Tool tool(options);
        QCoro::Task<int> task = tool.run();
        status = QCoro::waitFor(task);
    }
    return status;
}

#include "PortMenu.h"

#include "core/platform/PortMap.h"

#include <QAction>

namespace app {

PortMenu::PortMenu(const std::array<QAction*, kPorts>& items, const platform::PortMap* ports)
    : items_(items), ports_(ports) {}

void PortMenu::DiscoverPorts() {
    if (ports_) {
        const platform::PortMap::DeviceNames found = ports_->displayNames();
        DiscoverPorts(found.names, found.complete);
    } else {
        DiscoverPorts({}, false);
    }
}

void PortMenu::DiscoverPorts(const QStringList& deviceNames, bool complete) {
    PortNames.fill(QString());
    size_t stored = 0;
    for (const QString& name : deviceNames) {
        if (stored == PortNames.size())
            break;
        if (name.contains(QLatin1String("COM"), Qt::CaseSensitive))
            PortNames[stored++] = name;
    }

    for (int j = 1; j <= kPorts; ++j) {
        const QString caption = QStringLiteral("COM%1").arg(j);
        const QString tag = QLatin1Char('(') + caption + QLatin1Char(')');
        QString text = caption;
        bool named = false;
        for (const QString& name : PortNames) {
            if (!name.isEmpty() && name.contains(tag, Qt::CaseSensitive)) {
                // A literal "&" in a device name is not a mnemonic.
                text += QStringLiteral(" - ") +
                        QString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
                named = true;
            }
        }
        QAction* a = item(j);
        a->setText(text);
        if (!named && complete)
            a->setEnabled(false);
    }
}

void PortMenu::checkOnly(int n) {
    for (int j = 1; j <= kPorts; ++j)
        item(j)->setChecked(j == n);
}

void PortMenu::uncheck(int n) {
    if (n >= 1 && n <= kPorts)
        item(n)->setChecked(false);
}

} // namespace app

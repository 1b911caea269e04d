#include "RecoveryWindow.h"

#include "core/logging/JournalFolder.h"
#include "core/logging/LogModel.h"
#include "gui/export/LogExporter.h"
#include "gui/platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace app {

using platform::Dialogs;

namespace {

const QString kTitle = QStringLiteral("Recovered Logs");

QString timeText(const QDateTime& t) {
    return t.isValid() ? platform::shortDateText(t.date()) + QLatin1Char(' ') +
                             platform::logTimeText(t.time())
                       : QString();
}

QString sensorText(const logging::JournalSummary& s) {
    if (!s.error.isEmpty()) {
        // Nothing of it could be read: its file name says whose log it was.
        static const QRegularExpression whose(
            QStringLiteral("_(level|rotary)(\\d)(-\\d+)?\\.csv$"));
        const QRegularExpressionMatch m = whose.match(s.path);
        return m.hasMatch()
                   ? logging::journal::familyName(m.captured(1) == QLatin1String("rotary")) +
                         QStringLiteral(" at address %1").arg(m.captured(2))
                   : QFileInfo(s.path).fileName();
    }
    QString text = logging::journal::familyName(s.header.rotary) +
                   QStringLiteral(" at address %1").arg(s.address);
    if (!s.header.serial.trimmed().isEmpty())
        text += QStringLiteral(", serial %1").arg(s.header.serial.trimmed());
    return text;
}

QString plural(qint64 n, const QString& one, const QString& many) {
    return QStringLiteral("%L1 %2").arg(n).arg(n == 1 ? one : many);
}

QString notes(const logging::JournalSummary& s) {
    if (!s.error.isEmpty())
        return QStringLiteral("%1 cannot be read (%2); it is left as it is.")
            .arg(QDir::toNativeSeparators(s.path), s.error);
    QStringList parts;
    if (s.missed > 0)
        parts << plural(s.missed, QStringLiteral("reading missed"),
                        QStringLiteral("readings missed"));
    if (s.incompleteLines > 0)
        parts << plural(s.incompleteLines, QStringLiteral("incomplete line skipped"),
                        QStringLiteral("incomplete lines skipped"));
    if (s.unreadableLines > 0)
        parts << plural(s.unreadableLines, QStringLiteral("unreadable line skipped"),
                        QStringLiteral("unreadable lines skipped"));
    return parts.join(QStringLiteral(", "));
}

} // namespace

RecoveryWindow::RecoveryWindow(Dialogs& dialogs, platform::Clock clock,
                               QList<logging::JournalSummary> journals, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), clock_(std::move(clock)),
      journals_(std::move(journals)) {
    setObjectName(QStringLiteral("RecoveryWindow"));
    setWindowTitle(kTitle);
    auto* intro = new QLabel(
        QStringLiteral("These logs were not finished on disk: the program ended without "
                       "closing them, or could not write them to the end (a full disk, a "
                       "removed drive). Save each one to a file, or discard it. Logs left here "
                       "are offered again at the next start."),
        this);
    intro->setWordWrap(true);

    JournalList = new QTreeWidget(this);
    JournalList->setObjectName(QStringLiteral("JournalList"));
    JournalList->setAccessibleName(kTitle);
    JournalList->setRootIsDecorated(false);
    JournalList->setSelectionMode(QAbstractItemView::NoSelection);
    JournalList->setHeaderLabels({QStringLiteral("Sensor"), QStringLiteral("First Reading"),
                                  QStringLiteral("Last Reading"), QStringLiteral("Readings"),
                                  QStringLiteral("Notes"), QString()});
    for (int row = 0; row < journals_.size(); ++row) {
        const logging::JournalSummary& s = journals_.at(row);
        auto* item = new QTreeWidgetItem(JournalList);
        item->setText(Sensor, sensorText(s));
        item->setText(First, timeText(s.first));
        item->setText(Last, timeText(s.last));
        item->setText(Readings,
                      s.error.isEmpty() ? QStringLiteral("%L1").arg(s.readings) : QString());
        item->setText(Notes, notes(s));
        item->setToolTip(Notes, notes(s));
        item->setToolTip(Sensor, QDir::toNativeSeparators(s.path));
        if (!s.error.isEmpty())
            continue;
        auto* actions = new QWidget(JournalList);
        auto* layout = new QHBoxLayout(actions);
        layout->setContentsMargins(0, 0, 0, 0);
        for (const auto& [name, caption] :
             {std::pair{"SaveRecoveredBut%1", QStringLiteral("Save As...")},
              std::pair{"DiscardRecoveredBut%1", QStringLiteral("Discard")}}) {
            auto* button = new QPushButton(caption, actions);
            button->setObjectName(QString::fromLatin1(name).arg(row));
            button->setAccessibleName(caption);
            layout->addWidget(button);
        }
        connect(saveButton(row), &QPushButton::clicked, this, [this, row] { saveAs(row); });
        connect(discardButton(row), &QPushButton::clicked, this, [this, row] { discard(row); });
        JournalList->setItemWidget(item, Actions, actions);
    }
    for (int c = Sensor; c <= Actions; ++c)
        JournalList->resizeColumnToContents(c);
    // Long notes are cut at the window's edge; their tooltip holds them whole.
    JournalList->header()->setStretchLastSection(true);
    JournalList->setTextElideMode(Qt::ElideMiddle);

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseRecoveredBut"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(JournalList, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(900, 300);
}

QPushButton* RecoveryWindow::saveButton(int row) const {
    return findChild<QPushButton*>(QStringLiteral("SaveRecoveredBut%1").arg(row));
}

QPushButton* RecoveryWindow::discardButton(int row) const {
    return findChild<QPushButton*>(QStringLiteral("DiscardRecoveredBut%1").arg(row));
}

void RecoveryWindow::setNote(int row, const QString& note) {
    JournalList->topLevelItem(row)->setText(Notes, note);
    JournalList->topLevelItem(row)->setToolTip(Notes, note);
}

void RecoveryWindow::saveAs(int row) {
    const logging::JournalSummary& s = journals_.at(row);
    // The file first: reading a long journal takes a while, and a cancel needs none of it.
    const auto output =
        logexport::chooseLogFile(dialogs_, logexport::proposedLogName(s.header.rotary, s.address));
    if (!output)
        return;
    logging::LogModel log(s.header.rotary ? logging::LogModel::Layout::Rotary
                                          : logging::LogModel::Layout::LevelProbe);
    const logging::JournalSummary read = logging::readJournal(s.path, &log);
    if (!read.error.isEmpty()) {
        dialogs_.messageBox(kTitle,
                            QStringLiteral("%1 cannot be read: %2.")
                                .arg(QDir::toNativeSeparators(s.path), read.error),
                            Dialogs::Icon::Exclamation);
        return;
    }
    const QString saved = logexport::saveLogTo(dialogs_, log, *output);
    if (saved.isEmpty())
        return;
    // Saved: not offered again; the journal stays until the folder is tidied.
    QFile journal(s.path);
    if (journal.open(QIODevice::ReadWrite | QIODevice::Append)) {
        // After a line cut short, on a line of its own.
        const bool whole = journal.size() == 0 || (journal.seek(journal.size() - 1) &&
                                                   journal.read(1) == QByteArrayLiteral("\n"));
        journal.write((whole ? QByteArray() : QByteArrayLiteral("\n")) +
                      logging::journal::finishedLine(clock_(), "saved"));
    }
    setNote(row, QStringLiteral("Saved to %1").arg(QDir::toNativeSeparators(saved)));
}

void RecoveryWindow::discard(int row) {
    const logging::JournalSummary& s = journals_.at(row);
    if (!dialogs_.confirm(kTitle,
                          QStringLiteral("Discard the log of the %1 (%2)?\n\nIts readings "
                                         "cannot be recovered afterwards.")
                              .arg(sensorText(s), plural(s.readings, QStringLiteral("reading"),
                                                         QStringLiteral("readings")))))
        return;
    QFile journal(s.path);
    if (logging::journalInUse(s.path) || !journal.remove()) {
        dialogs_.messageBox(kTitle,
                            QStringLiteral("%1 could not be removed: %2.")
                                .arg(QDir::toNativeSeparators(s.path),
                                     journal.exists() && journal.error() == QFile::NoError
                                         ? QStringLiteral("another program is writing it")
                                         : journal.errorString()),
                            Dialogs::Icon::Exclamation);
        return;
    }
    saveButton(row)->setEnabled(false);
    discardButton(row)->setEnabled(false);
    setNote(row, QStringLiteral("Discarded"));
}

} // namespace app

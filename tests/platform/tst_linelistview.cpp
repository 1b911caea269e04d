#include "platform/ColumnFit.h"
#include "platform/LineDelegate.h"
#include "platform/LineListView.h"

#include <QAbstractListModel>
#include <QAccessible>
#include <QHeaderView>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

namespace {

// Lines added at the end, as the comms log adds them.
class Lines final : public QAbstractListModel {
public:
    void append(const QString& line) {
        beginInsertRows({}, rows_.size(), rows_.size());
        rows_.append(line);
        endInsertRows();
    }
    void clear() {
        beginResetModel();
        rows_.clear();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        return role == Qt::DisplayRole ? QVariant(rows_.value(index.row())) : QVariant();
    }

private:
    QStringList rows_;
};

// The parts of the viewport drawn.
struct Drawn final : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion region;
};

// A shown list of lines of the given font.
struct Shown {
    explicit Shown(const QFont& font = {}, QSize size = {300, 200}) {
        view.setFont(font);
        view.setModel(&lines);
        view.resize(size);
        view.show();
    }
    Lines lines;
    platform::LineListView view;
};

} // namespace

class LineListViewTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheNewestLineDrawingOnlyIt();
    void linesCanBeReadWholeAndPicked();
    void delegateMeasuresEachTextInItsFont();
    void assistiveToolsReadTheLines();
    void columnsFollowTheirTexts();
    void scrollBarsDrawnOnlyWhenTheyChange();
};

// A new line scrolls the list to it; the lines already shown are moved, not drawn again, so
// a line costs the same however many came before. What the window shows is what the list
// holds, after one line as after several that came before the list was drawn (the list's
// height is no whole number of rows), with a line picked meanwhile, and when the lines fill
// the list and go beyond it. Emptied, the list has nothing to scroll.
void LineListViewTest::followsTheNewestLineDrawingOnlyIt() {
    Shown shown;
    auto& [lines, view] = shown;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int i = 0; i < 100; ++i)
        lines.append(QStringLiteral("12:00:%1 --> 0M!").arg(i));
    // (Once the scroll bar has come, narrowing the lines.)
    QVERIFY(QTest::qWaitFor([&] { return view.verticalScrollBar()->isVisible(); }));
    const QScrollBar* bar = view.verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(view.viewport()->rect().contains(view.visualRect(lines.index(99))));

    QVERIFY(view.viewport()->height() % view.rowHeight() != 0);
    const auto shownAsHeld = [&view] {
        return view.screen()
                   ->grabWindow(view.winId())
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32) ==
               view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    Drawn drawn;
    view.viewport()->installEventFilter(&drawn);
    view.viewport()->repaint(); // nothing left to draw
    drawn.region = {};
    lines.append(QStringLiteral("12:00:99 <-- 00012"));
    QVERIFY(QTest::qWaitFor([&] { return !drawn.region.isEmpty(); }));
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(view.viewport()->rect().contains(view.visualRect(lines.index(100))));
    // The new row and the part of a row below it; the row under the mouse pointer, wherever
    // it is, may be drawn for its hover look.
    int rowsDrawn = 0;
    for (const QRect& part : drawn.region)
        rowsDrawn += part.height();
    QVERIFY2(rowsDrawn < 3 * view.rowHeight(), qPrintable(QString::number(rowsDrawn)));
    QCoreApplication::processEvents();
    QVERIFY(shownAsHeld());

    drawn.region = {};
    for (int i = 0; i < 5; ++i)
        lines.append(QStringLiteral("12:01:0%1 <-- 0+%1.5").arg(i));
    QVERIFY(QTest::qWaitFor([&] { return !drawn.region.isEmpty(); }));
    QCoreApplication::processEvents();
    QVERIFY(shownAsHeld());

    // A line picked just before more lines come; lines that fill the list and go beyond it.
    const auto addAndCompare = [&](int count) {
        drawn.region = {};
        for (int i = 0; i < count; ++i)
            lines.append(QStringLiteral("12:02:0%1 --> %1I!").arg(i));
        return QTest::qWaitFor([&] { return !drawn.region.isEmpty(); }) &&
               (QCoreApplication::processEvents(), shownAsHeld());
    };
    view.setCurrentIndex(lines.index(lines.rowCount() - 2));
    QVERIFY(addAndCompare(2));
    lines.clear();
    QCOMPARE(view.verticalScrollBar()->maximum(), 0);
    QVERIFY(!view.indexAt(QPoint(5, 5)).isValid());
    QVERIFY(addAndCompare(view.viewport()->height() / view.rowHeight() - 1));
    QVERIFY(addAndCompare(3));
}

// A line wider than the list can be scrolled to in full; a click picks the line under it.
void LineListViewTest::linesCanBeReadWholeAndPicked() {
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    Shown shown(mono, {200, 150});
    auto& [lines, view] = shown;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString wide = QStringLiteral("12:00:00 <-- 0+123.456+78.9+") + QString(60, u'9');
    lines.append(QStringLiteral("12:00:00 --> 0D0!"));
    lines.append(wide);
    lines.append(QStringLiteral("12:00:01 --> 1M!"));
    const int needed = view.fontMetrics().horizontalAdvance(wide);
    QVERIFY2(view.horizontalScrollBar()->maximum() + view.viewport()->width() >= needed,
             qPrintable(QStringLiteral("%1 + %2 < %3")
                            .arg(view.horizontalScrollBar()->maximum())
                            .arg(view.viewport()->width())
                            .arg(needed)));

    const QRect second = view.visualRect(lines.index(1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(view.currentIndex().row(), 1);
    QVERIFY(view.selectionModel()->isSelected(lines.index(1)));
    QCOMPARE(view.indexAt(second.center()), lines.index(1));
}

// The plain delegate remembers the widths it measured, in the font it measured them in.
void LineListViewTest::delegateMeasuresEachTextInItsFont() {
    Lines lines;
    lines.append(QStringLiteral("mmmm 1234.5"));
    platform::LineDelegate delegate;
    QStyleOptionViewItem option;
    QFont big;
    big.setPointSize(big.pointSize() * 3);
    for (const QFont& font : {QFont(), big, QFont()}) {
        option.font = font;
        const int text = QFontMetrics(font).horizontalAdvance(lines.index(0).data().toString());
        const int width = delegate.sizeHint(option, lines.index(0)).width();
        QVERIFY2(width >= text && width <= text + 10, qPrintable(QString::number(width - text)));
    }
}

// A screen reader finds a list with an item per line, named by the line, following the lines
// as they come and go.
void LineListViewTest::assistiveToolsReadTheLines() {
    Shown shown;
    auto& [lines, view] = shown;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    lines.append(QStringLiteral("12:00:00 --> 0M!"));
    lines.append(QStringLiteral("12:00:00 <-- 00012"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(list != nullptr);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), 2);
    QAccessibleInterface* second = list->child(1);
    QCOMPARE(second->role(), QAccessible::ListItem);
    QCOMPARE(second->text(QAccessible::Name), QStringLiteral("12:00:00 <-- 00012"));
    QCOMPARE(list->indexOfChild(second), 1);
    QCOMPARE(list->childAt(second->rect().center().x(), second->rect().center().y()), second);

    lines.clear();
    lines.append(QStringLiteral("12:00:01 --> 1M!"));
    QCOMPARE(list->childCount(), 1);
    QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("12:00:01 --> 1M!"));
}

// Fitted by ColumnFit, a list's columns are as wide as the header's own fitting to contents
// makes them, as texts grow, shrink and are cleared, and stay so after a change of font.
void LineListViewTest::columnsFollowTheirTexts() {
    const QStringList labels{QStringLiteral("Address"), QStringLiteral("Serial No."),
                             QStringLiteral("Units"), QStringLiteral("Log Status")};
    QTreeWidget fitted;
    QTreeWidget byHeader;
    for (QTreeWidget* list : {&fitted, &byHeader}) {
        list->setHeaderLabels(labels);
        list->header()->setStretchLastSection(true);
        for (int row = 0; row < 3; ++row)
            new QTreeWidgetItem(list, {QString::number(row)});
    }
    new platform::ColumnFit(&fitted);
    byHeader.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    const auto sameWidths = [&] {
        for (int column = 0; column < labels.size() - 1; ++column)
            if (fitted.header()->sectionSize(column) != byHeader.header()->sectionSize(column))
                return false;
        return true;
    };
    const auto setText = [&](int row, int column, const QString& text) {
        for (QTreeWidget* list : {&fitted, &byHeader})
            list->topLevelItem(row)->setText(column, text);
    };
    QVERIFY(sameWidths());
    setText(1, 1, QStringLiteral("A serial number far wider than its label"));
    QVERIFY(sameWidths());
    QVERIFY(fitted.header()->sectionSize(1) > fitted.header()->sectionSizeHint(1));
    setText(2, 1, QStringLiteral("Short"));
    setText(0, 2, QStringLiteral("Centimetres of water"));
    QVERIFY(sameWidths());
    setText(1, 1, QString());
    QVERIFY(sameWidths());
    QCOMPARE(fitted.header()->sectionSize(1), fitted.header()->sectionSizeHint(1));
    QFont big;
    big.setPointSize(big.pointSize() * 2);
    fitted.setFont(big);
    byHeader.setFont(big);
    QVERIFY(sameWidths());
    QCOMPARE(fitted.header()->sectionResizeMode(0), QHeaderView::Fixed);
}

// New lines leave the horizontal scroll bar as it was, undrawn; the vertical bar still comes
// when the lines fill the list and goes when they are cleared.
void LineListViewTest::scrollBarsDrawnOnlyWhenTheyChange() {
    Shown shown;
    QScrollBar* down = shown.view.verticalScrollBar();
    const auto add = [&](int lines) {
        for (int i = 0; i < lines; ++i)
            shown.lines.append(QStringLiteral("2024/05/17 10:00:00 0 <-- 0+12.345+22.10 more"));
        for (int pass = 0; pass < 3; ++pass) // laid out, then drawn
            QCoreApplication::processEvents();
    };
    add(1);
    QVERIFY(shown.view.horizontalScrollBar()->isVisible() && !down->isVisible());
    add(20);
    QVERIFY(down->isVisible());
    Drawn drawn;
    shown.view.horizontalScrollBar()->installEventFilter(&drawn);
    add(10);
    QCOMPARE(down->value(), 31 - down->pageStep());
    QVERIFY2(drawn.region.isEmpty(), "the horizontal bar was drawn again");
    shown.lines.clear();
    QTRY_VERIFY(!down->isVisible());
}

QTEST_MAIN(LineListViewTest)
#include "tst_linelistview.moc"

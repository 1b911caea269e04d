#include "platform/CachedProgressBar.h"
#include "platform/Controls.h"
#include "platform/DropDown.h"
#include "platform/FusionFrames.h"
#include "platform/SteadyScrollBar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <array>
#include <utility>

class TestControls : public QObject {
    Q_OBJECT
private slots:
    // The closed list is left out of the drop-down's enable changes; opened, it is usable
    // after any of them and however it closed last, and unusable in a disabled drop-down.
    void listWorksAfterEnableChangesWhileClosed() {
        platform::DropDown box;
        for (const char* entry : {"psi", "bar", "kPa"})
            box.addEntry(QString::fromLatin1(entry), 0);
        box.show();
        const auto choose = [&](int row, Qt::Key key) {
            box.setEnabled(false);
            box.setEnabled(true);
            box.showPopup();
            QAbstractItemView* list = box.view();
            const bool usable = list->isVisible() && list->isEnabled();
            list->setCurrentIndex(list->model()->index(row, 0));
            QTest::keyClick(list, key);
            return usable && !list->isVisible();
        };
        QVERIFY(choose(2, Qt::Key_Return));
        QCOMPARE(box.currentIndex(), 2);
        QVERIFY(choose(1, Qt::Key_Escape));
        QVERIFY(choose(1, Qt::Key_Return));
        QCOMPARE(box.currentIndex(), 1);
        box.setEnabled(false);
        box.showPopup();
        QVERIFY(!box.view()->isEnabled());
    }

    // A page switched to is drawn with what its controls hold, also what changed while it
    // was hidden, by the user's click as by the program.
    void pageSwitchedToIsDrawn() {
        struct Painted final : QObject {
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::Paint)
                    texts << static_cast<QLabel*>(watched)->text();
                return false;
            }
            QStringList texts;
        } painted;
        QTabWidget tabs;
        std::array<QLabel*, 3> labels{};
        for (QLabel*& label : labels) {
            tabs.addTab(label = new QLabel(QStringLiteral("as built")), QStringLiteral("Page"));
            label->installEventFilter(&painted);
        }
        platform::drawShownPageOnly(&tabs);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        labels[2]->setText(QStringLiteral("changed while hidden"));
        tabs.setCurrentIndex(2);
        QTRY_VERIFY(painted.texts.contains(labels[2]->text()));
        labels[0]->setText(QStringLiteral("changed too"));
        QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tabs.tabBar()->tabRect(0).center());
        QCOMPARE(tabs.currentIndex(), 0);
        QTRY_VERIFY(painted.texts.contains(labels[0]->text()));
    }

    // Group boxes, tab widgets and scroll bars of every kind the window uses and a few it does
    // not look exactly as Fusion draws them, down to the pixel.
    void framesLookAsFusions() {
        // Made before the page, to outlive the controls drawn with them.
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        platform::FusionFrames frames;
        QWidget page;
        auto* grid = new QGridLayout(&page);
        auto* checkable = new QGroupBox(QStringLiteral("Calibrate"));
        checkable->setCheckable(true);
        auto* bigTitle = new QGroupBox(QStringLiteral("Log"));
        bigTitle->setFont(QFont(page.font().family(), 24));
        auto* disabled = new QGroupBox(QStringLiteral("Set Parameters"));
        disabled->setEnabled(false);
        auto* tiny = new QGroupBox(QStringLiteral("x"));
        tiny->setFixedSize(9, 9);
        // Sides exactly as tall as the middle of Fusion's frame image (not stretched by Fusion),
        // with and without a title, and a row taller.
        const int image = QImage(QStringLiteral(":/qt-project.org/styles/commonstyle/images/"
                                                "fusion_groupbox.png"))
                              .height();
        auto* exact = new QGroupBox;
        exact->setFixedHeight(3 + image);
        auto* oneMore = new QGroupBox;
        oneMore->setFixedHeight(exact->height() + 1);
        auto* exactTitled = new QGroupBox(QStringLiteral("Units"));
        exactTitled->setFixedHeight(
            std::max(fusion->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight),
                     exactTitled->fontMetrics().height()) +
            3 + image);
        grid->addWidget(new QGroupBox(QStringLiteral("Set Parameters")), 0, 0);
        grid->addWidget(new QGroupBox, 0, 1);
        grid->addWidget(checkable, 1, 0);
        grid->addWidget(bigTitle, 1, 1);
        grid->addWidget(disabled, 2, 0);
        grid->addWidget(tiny, 2, 1);
        grid->addWidget(exact, 5, 0);
        grid->addWidget(oneMore, 5, 1);
        grid->addWidget(exactTitled, 5, 2);
        for (const QTabWidget::TabPosition position : {QTabWidget::North, QTabWidget::South}) {
            auto* tabs = new QTabWidget;
            tabs->setTabPosition(position);
            tabs->addTab(new QWidget, QStringLiteral("Sensor 0"));
            tabs->addTab(new QWidget, QStringLiteral("Sensor 1"));
            grid->addWidget(tabs, 3, position == QTabWidget::North ? 0 : 1);
        }
        // Tall scroll bars, drawn in bands: a long list's, scrolled, and a disabled one.
        auto* list = new QListWidget;
        for (int i = 0; i < 400; ++i)
            list->addItem(QStringLiteral("2024/05/17 10:%1 0 --> 0M!").arg(i));
        list->verticalScrollBar()->setValue(150);
        grid->addWidget(list, 0, 2, 4, 1);
        grid->addWidget(new QScrollBar, 0, 3, 4, 1);
        grid->itemAtPosition(0, 3)->widget()->setEnabled(false);
        // A group box as tall as the comms monitor's, its sides drawn in several bands.
        auto* tall = new QGroupBox(QStringLiteral("Comms"));
        grid->addWidget(tall, 0, 4, 4, 1);
        // A wide horizontal scroll bar, drawn on a canvas of its own.
        auto* wide = new QScrollBar(Qt::Horizontal);
        wide->setRange(0, 300);
        wide->setValue(120);
        grid->addWidget(wide, 4, 0, 1, 3);
        page.resize(1100, 600);
        // Drawn as on screens of several pixel ratios; a tab frame stretched from a frame drawn
        // at the wrong ratio would show thicker lines. Also drawn in part, as when a box is
        // drawn again behind a child: across both sides, down one side, over a corner.
        const auto drawnWith = [&](QStyle* style, qreal ratio, const QRegion& part) {
            for (QWidget* w : page.findChildren<QWidget*>())
                w->setStyle(style);
            page.setStyle(style);
            QImage image(page.size() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            page.render(&image, {}, part);
            return image;
        };
        const QRect box = tall->geometry();
        const QList<QRegion> parts = {QRegion(page.rect()), QRegion(box.adjusted(0, 100, 0, -300)),
                                      QRegion(box.right() - 20, box.top() + 50, 21, 200),
                                      QRegion(box.right() - 30, box.top(), 31, 60)};
        for (const qreal ratio : {1.0, 1.5, 2.0})
            for (const QRegion& part : parts)
                QCOMPARE(drawnWith(&frames, ratio, part), drawnWith(fusion.get(), ratio, part));
    }

    // A group box's sides are copied row by row, so they must blend into whatever lies beneath
    // each row as Fusion's do: over a background that changes down the box and across it, with
    // and without smoothing, the box still looks as Fusion draws it.
    void groupBoxSidesOverChangingBackground() {
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        platform::FusionFrames frames;
        QWidget page;
        auto* box = new QGroupBox(QStringLiteral("Comms"), &page);
        box->setGeometry(7, 5, 141, 430);
        page.resize(160, 440);
        QLinearGradient shade(0, 0, 160, 440);
        shade.setColorAt(0, Qt::darkBlue);
        shade.setColorAt(1, Qt::yellow);
        QPalette palette = page.palette();
        palette.setBrush(QPalette::Window, shade);
        page.setPalette(palette);
        page.setAutoFillBackground(true);
        for (const bool smooth : {false, true}) {
            const auto drawnWith = [&](QStyle* style) {
                page.setStyle(style);
                box->setStyle(style);
                QImage image(page.size(), QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::white);
                QPainter painter(&image);
                painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
                page.render(&painter);
                return image;
            };
            QCOMPARE(drawnWith(&frames), drawnWith(fusion.get()));
        }
    }

    // A progress bar drawn again from what it kept looks as one the style draws each time, at
    // every value, pixel ratio and image format, and after its colours change.
    void progressBarKeepsItsDrawings() {
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        QWidget window;
        window.setStyle(fusion.get());
        auto* kept = new platform::CachedProgressBar(&window);
        auto* drawn = new QProgressBar(&window);
        drawn->setAutoFillBackground(true);
        for (QProgressBar* bar : {static_cast<QProgressBar*>(kept), drawn}) {
            bar->setStyle(fusion.get());
            bar->setRange(0, 9);
            bar->resize(298, 22);
        }
        // In the same place: Fusion's shading changes in the last bit from place to place.
        kept->move(3, 5);
        drawn->move(3, 5);
        window.resize(310, 40);
        const auto render = [&](QProgressBar* shown, qreal ratio, QImage::Format format) {
            kept->setVisible(shown == kept);
            drawn->setVisible(shown == drawn);
            QImage image(window.size() * ratio, format);
            image.setDevicePixelRatio(ratio);
            window.render(&image);
            return image;
        };
        const auto looksSame = [&](int value) {
            kept->setValue(value);
            drawn->setValue(value);
            // At 1.5 the bar lies between the device's pixels: the style draws it every time.
            for (const qreal ratio : {1.0, 1.5, 2.0})
                for (const auto format :
                     {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied})
                    if (render(kept, ratio, format) != render(drawn, ratio, format))
                        return false;
            return true;
        };
        for (const int value : {0, 4, 9})
            QVERIFY(looksSame(value));
        const int styleDrawings = kept->styleDrawings();
        QVERIFY(looksSame(4));
        QCOMPARE(kept->styleDrawings(), styleDrawings + 2);

        QPalette palette = kept->palette();
        palette.setColor(QPalette::Highlight, Qt::darkGreen);
        kept->setPalette(palette);
        drawn->setPalette(palette);
        QVERIFY(looksSame(4));
        QCOMPARE(kept->styleDrawings(), styleDrawings + 2 + 6);
    }

    // A scroll bar whose slider stays on the same pixels is not drawn again, and the screen
    // shows what drawing it afresh gives after every change; moving the slider draws it.
    void steadyScrollBarDrawnWhenItsLookChanges() {
        QWidget window;
        auto* bar = new platform::SteadyScrollBar(Qt::Vertical, &window);
        bar->setGeometry(3, 5, 14, 600);
        bar->setRange(0, 1'000'000);
        struct Paints : QObject {
            int count = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                count += event->type() == QEvent::Paint ? 1 : 0;
                return false;
            }
        } paints;
        bar->installEventFilter(&paints);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto drawnRight = [&](int drawings) {
            QCoreApplication::processEvents();
            const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
            const bool right = std::exchange(paints.count, 0) == drawings &&
                               shown.copy(bar->geometry()) ==
                                   bar->grab().toImage().convertToFormat(shown.format());
            paints.count = 0;
            return right;
        };
        QCoreApplication::processEvents();
        paints.count = 0;
        // As a log that shows its newest rows grows, and in its middle.
        bar->setMaximum(bar->maximum() + 1);
        QVERIFY(drawnRight(0));
        bar->setValue(500'000);
        QVERIFY(drawnRight(1));
        bar->setMaximum(bar->maximum() + 1);
        QVERIFY(drawnRight(0));
        bar->setValue(bar->maximum());
        QVERIFY(drawnRight(1));
    }

    // A scroll bar in use looks as Fusion draws it too: its slider hovered or held down, an
    // arrow held down, in an inactive window; standing and lying; drawn again from the lines
    // kept of its groove and slider.
    void scrollBarsInUseLookAsFusions_data() {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::newRow("vertical") << Qt::Vertical;
        QTest::newRow("horizontal") << Qt::Horizontal;
    }
    void scrollBarsInUseLookAsFusions() {
        QFETCH(Qt::Orientation, orientation);
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        platform::FusionFrames frames;
        struct Bar : QScrollBar {
            using QScrollBar::initStyleOption;
        } bar;
        bar.setOrientation(orientation);
        bar.setGeometry(orientation == Qt::Vertical ? QRect(0, 0, 16, 300) : QRect(0, 0, 300, 16));
        bar.setSliderPosition(40);
        QStyleOptionSlider option;
        const auto drawnWith = [&](const QStyle& style, qreal ratio) {
            QImage image(bar.size() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            QPainter painter(&image);
            style.drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, &bar);
            return image;
        };
        // A short slider, and one that fills most of the bar.
        for (const int pageStep : {10, 1000})
            for (const QStyle::SubControl active :
                 {QStyle::SC_ScrollBarSlider, QStyle::SC_ScrollBarAddLine})
                for (const QStyle::StateFlag in : {QStyle::State_MouseOver, QStyle::State_Sunken})
                    for (const QPalette::ColorGroup group :
                         {QPalette::Active, QPalette::Inactive}) {
                        bar.setPageStep(pageStep);
                        bar.initStyleOption(&option);
                        option.subControls = QStyle::SC_All;
                        option.activeSubControls = active;
                        option.state |= in;
                        option.palette.setCurrentColorGroup(group);
                        for (const qreal ratio : {1.0, 2.0})
                            QCOMPARE(drawnWith(frames, ratio), drawnWith(*fusion, ratio));
                    }
    }

    // Only Fusion gives way to it; a style the user chose stays.
    void usedInPlaceOfFusionOnly() {
        QApplication::setStyle(QStringLiteral("Windows"));
        platform::FusionFrames::useForApplication();
        QCOMPARE(QApplication::style()->name().toLower(), QStringLiteral("windows"));
        QApplication::setStyle(QStringLiteral("Fusion"));
        platform::FusionFrames::useForApplication();
        QStyle* style = QApplication::style();
        QVERIFY(dynamic_cast<platform::FusionFrames*>(style) != nullptr);
        platform::FusionFrames::useForApplication();
        QCOMPARE(QApplication::style(), style);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"

#include "TrendPlot.h"

#include "ZoomSpan.h"

#include "core/logging/LogModel.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace plot {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr double kEpochJulianDay = 2440588; // 1 January 1970
constexpr int kRecentColumns = 64;          // columns drawn again with each reading, at most

int yearOf(double localSeconds) {
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(localSeconds / kSecondsPerDay)))
        .year();
}

} // namespace

// The log keeps local times as "Julian day * 86400 + second of the day"; the time axis
// wants milliseconds since the epoch. The local time's distance from UTC is looked up at
// both ends of what is shown and, as long as no clock change lies between, used for all.
TrendPlot::AxisTime::AxisTime(double from, double to)
    : fromOffset_(offset(from)), toOffset_(offset(to)) {}

double TrendPlot::AxisTime::operator()(double localSeconds) const {
    const qint64 o = fromOffset_ == toOffset_ ? fromOffset_ : offset(localSeconds);
    return (localSeconds - kEpochJulianDay * kSecondsPerDay - static_cast<double>(o)) * 1000;
}

qint64 TrendPlot::AxisTime::offset(double localSeconds) {
    const auto s = static_cast<qint64>(std::floor(localSeconds));
    const QDateTime local(
        QDate::fromJulianDay(s / kSecondsPerDay),
        QTime::fromMSecsSinceStartOfDay(static_cast<int>(s % kSecondsPerDay * 1000)));
    return local.isValid() ? local.offsetFromUtc() : 0;
}

TrendPlot::TrendPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TrendPlot"));
    setAccessibleName(QStringLiteral("Log Plot"));

    chart_ = new QChart;
    chart_->setMargins(QMargins(4, 4, 4, 4));
    // Each value axis is titled with its name and units and drawn in its line's colour.
    chart_->legend()->hide();
    time_ = new QDateTimeAxis(chart_);
    time_->setFormat(QStringLiteral("hh:mm:ss"));
    time_->setTickCount(5);
    chart_->addAxis(time_, Qt::AlignBottom);
    for (size_t s = 0; s < series_.size(); ++s) {
        series_[s] = new QLineSeries(chart_);
        axes_[s] = new QValueAxis(chart_);
        chart_->addAxis(axes_[s], s == 0 ? Qt::AlignLeft : Qt::AlignRight);
        // The newest columns are a line of their own in the same colour, drawn again with
        // each reading while the older ones stay as they are.
        recent_[s] = new QLineSeries(chart_);
        for (QLineSeries* line : {series_[s], recent_[s]}) {
            chart_->addSeries(line);
            line->attachAxis(time_);
            line->attachAxis(axes_[s]);
        }
        const QColor colour = series_[s]->color();
        recent_[s]->setColor(colour);
        axes_[s]->setLinePenColor(colour);
        axes_[s]->setLabelsColor(colour);
        axes_[s]->setTitleBrush(colour);
    }

    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("TrendChart"));
    view_->setAccessibleName(QStringLiteral("Log Plot"));
    view_->setRenderHint(QPainter::Antialiasing, false);
    view_->setMinimumHeight(200);
    view_->setToolTip(QStringLiteral("Wheel: zoom the time axis. Drag: move along it. "
                                     "Double click: fit all."));
    view_->viewport()->installEventFilter(this);

    FitAllBut = new QPushButton(QStringLiteral("Fit All"), this);
    FitAllBut->setObjectName(QStringLiteral("FitAllBut"));
    FitAllBut->setAccessibleName(QStringLiteral("Fit All"));
    FitAllBut->setToolTip(QStringLiteral("Show the whole log and follow new readings."));
    connect(FitAllBut, &QPushButton::clicked, this, &TrendPlot::fitAll);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FitAllBut);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    setLog(nullptr);
}

void TrendPlot::setLog(const logging::LogModel* log) {
    if (log_ != nullptr)
        disconnect(log_, nullptr, this, nullptr);
    log_ = log;
    if (log_ != nullptr) {
        connect(log_, &logging::LogModel::readingsInserted, this, &TrendPlot::readingsInserted);
        connect(log_, &QAbstractItemModel::modelReset, this, [this] { readingsInserted(0, 0); });
        connect(log_, &QObject::destroyed, this, [this] { setLog(nullptr); });
    }
    const int shown = seriesCount();
    for (int s = 0; s < 2; ++s) {
        const bool on = s < shown;
        series_[static_cast<size_t>(s)]->setVisible(on);
        recent_[static_cast<size_t>(s)]->setVisible(on);
        axes_[static_cast<size_t>(s)]->setVisible(on);
        if (on)
            series_[static_cast<size_t>(s)]->setName(
                log_->headerData(2 + 2 * s, Qt::Horizontal).toString());
    }
    following_ = true;
    readingsInserted(0, 0);
}

QList<QPointF> TrendPlot::points(int which) const {
    const auto s = static_cast<size_t>(which);
    QList<QPointF> all = series_.at(s)->points();
    const QList<QPointF> recent = recent_.at(s)->points();
    // The recent line begins at the older line's last point.
    all.append(recent.mid(all.isEmpty() ? 0 : 1));
    return all;
}

bool TrendPlot::showsSeries(int which) const {
    return series_.at(static_cast<size_t>(which))->isVisible();
}

void TrendPlot::fitAll() {
    following_ = true;
    rebuild();
}

void TrendPlot::zoom(double factor, double anchor) {
    const int count = log_ != nullptr ? log_->rowCount() : 0;
    if (count == 0)
        return;
    if (stale_)
        rebuild();
    const auto seconds = [this](int i) { return static_cast<double>(log_->readingSeconds(i)); };
    std::tie(from_, to_) = zoomedSpan({from_, to_}, factor, anchor, count, seconds);
    following_ = false;
    rebuild();
}

void TrendPlot::pan(double fraction) {
    const double shift = (to_ - from_) * fraction;
    from_ += shift;
    to_ += shift;
    following_ = false;
    rebuild();
}

void TrendPlot::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_)
        rebuild();
}

void TrendPlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A new width wants new columns; a window being dragged bigger asks for that many
    // times, so the work is done once, after the resizing events.
    if (rebuildQueued_ || !isVisible())
        return;
    rebuildQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        rebuildQueued_ = false;
        const int wanted = following_ ? 2 * pixelColumns() : pixelColumns();
        if (columns_[0].count() != wanted)
            rebuild();
    });
}

bool TrendPlot::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_->viewport())
        return false;
    switch (event->type()) {
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const double steps = wheel->angleDelta().y() / 120.0;
        if (steps != 0)
            zoom(std::pow(0.8, steps), anchorOf(wheel->position().x()));
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        dragX_ = mouse->position().x();
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragX_ < 0 || !(mouse->buttons() & Qt::LeftButton))
            return false;
        const double width = std::max(1.0, chart_->plotArea().width());
        const double x = mouse->position().x();
        pan((dragX_ - x) / width);
        dragX_ = x;
        return true;
    }
    case QEvent::MouseButtonRelease:
        dragX_ = -1;
        return false;
    case QEvent::MouseButtonDblClick:
        fitAll();
        return true;
    default:
        return false;
    }
}

void TrendPlot::readingsInserted(int first, int count) {
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    if (!stale_ && count == 1 && first == seen_ && seen_ > 0)
        takeNewest();
    else
        rebuild();
}

int TrendPlot::seriesCount() const {
    if (log_ == nullptr)
        return 0;
    return log_->layout() == logging::LogModel::Layout::LevelProbe ? 2 : 1;
}

int TrendPlot::pixelColumns() const {
    return std::max(16, view_->width());
}

double TrendPlot::anchorOf(double x) const {
    const QRectF area = chart_->plotArea();
    return area.width() > 0 ? (x - area.left()) / area.width() : 0.5;
}

void TrendPlot::rebuild() {
    stale_ = false;
    seen_ = log_ != nullptr ? log_->rowCount() : 0;
    const auto read = [this](int which) {
        return [this, which](int i) {
            return std::pair{log_->readingSeconds(i), log_->readingValue(i, which)};
        };
    };
    const int shown = seriesCount();
    if (following_) {
        if (seen_ > 0) {
            // A clock set back leaves the log out of time order: the range is searched.
            first_ = last_ = static_cast<double>(log_->readingSeconds(0));
            for (int i = 1; i < seen_; ++i) {
                const auto t = static_cast<double>(log_->readingSeconds(i));
                first_ = std::min(first_, t);
                last_ = std::max(last_, t);
            }
        }
        for (int s = 0; s < shown; ++s) {
            MinMaxColumns& columns = columns_[static_cast<size_t>(s)];
            columns = MinMaxColumns::covering(first_, last_, 2 * pixelColumns());
            addReadings(columns, 0, seen_, read(s));
        }
    } else {
        const auto seconds = [this](int i) { return log_->readingSeconds(i); };
        const int begin = seen_ > 0 ? firstAtOrAfter(seen_, from_, seconds) : 0;
        const int end = seen_ > 0 ? firstAtOrAfter(seen_, to_, seconds) : 0;
        const int n = pixelColumns();
        for (int s = 0; s < shown; ++s) {
            MinMaxColumns& columns = columns_[static_cast<size_t>(s)];
            columns = MinMaxColumns(from_, (to_ - from_) / n, n);
            addReadings(columns, begin, end, read(s));
        }
    }
    publish();
}

void TrendPlot::takeNewest() {
    const int i = seen_;
    seen_ = log_->rowCount();
    const auto t = static_cast<double>(log_->readingSeconds(i));
    if (following_) {
        if (t < first_) {
            rebuild();
            return;
        }
        last_ = std::max(last_, t);
    } else if (t < from_ || t >= to_) {
        return;
    }
    // Drawing the whole line again costs a millisecond per thousand points or so; a reading
    // usually changes the last column only, so only the recent line is drawn again, unless
    // the grid widens, the axes must grow or the recent line has grown long.
    bool all = following_ && t > to_;
    const int shown = seriesCount();
    for (int s = 0; s < shown; ++s) {
        MinMaxColumns& columns = columns_[static_cast<size_t>(s)];
        while (following_ && t >= columns.end()) {
            columns.widen();
            all = true;
        }
        const double value = log_->readingValue(i, s);
        columns.add(t, value);
        const QValueAxis* axis = axes_[static_cast<size_t>(s)];
        all = all || value < axis->min() || value > axis->max();
    }
    const int column = columns_[0].columnOf(t);
    all = all || column < split_ || column - split_ > kRecentColumns;
    if (all)
        publish();
    else
        publishRecent();
}

void TrendPlot::publish() {
    if (following_)
        std::tie(from_, to_) = wholeLog(first_, last_, seen_);
    axisTime_ = AxisTime(from_, to_);
    const int shown = seriesCount();
    for (size_t s = static_cast<size_t>(shown); s < series_.size(); ++s) {
        series_[s]->clear();
        recent_[s]->clear();
    }
    // The recent line starts at the newest reading's column.
    const double newest = following_ ? last_ : std::min(last_, to_);
    split_ = seen_ > 0 ? columns_[0].columnOf(newest) : -1;
    if (split_ < 0)
        split_ = columns_[0].count();
    for (int s = 0; s < shown; ++s) {
        const auto& columns = columns_[static_cast<size_t>(s)].columns();
        QList<QPointF> points;
        points.reserve(2 * split_);
        double low = 0;
        double high = 0;
        bool any = false;
        for (size_t c = 0; c < columns.size(); ++c) {
            const Column& column = columns[c];
            if (column.empty())
                continue;
            if (static_cast<int>(c) < split_)
                appendPoints(points, column);
            low = any ? std::min(low, column.min) : column.min;
            high = any ? std::max(high, column.max) : column.max;
            any = true;
        }
        series_[static_cast<size_t>(s)]->replace(points);
        QValueAxis* axis = axes_[static_cast<size_t>(s)];
        const double pad = high > low ? (high - low) * 0.05 : std::max(1.0, std::fabs(high) * 0.01);
        if (any)
            axis->setRange(low - pad, high + pad);
        const QString name = log_->headerData(2 + 2 * s, Qt::Horizontal).toString();
        const QString units = seen_ > 0 ? log_->text(0, 3 + 2 * s) : QString();
        const QString title = units.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, units);
        if (axis->titleText() != title)
            axis->setTitleText(title);
    }
    publishRecent();
    const auto ms = [this](double t) {
        return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(axisTime_(t))));
    };
    if (seen_ > 0)
        time_->setRange(ms(from_), ms(to_));
    // Dates show when the plot spans more than a day, their years when it spans a new year.
    const QString format = yearOf(from_) != yearOf(to_)   ? QStringLiteral("dd MMM yyyy hh:mm")
                           : to_ - from_ > kSecondsPerDay ? QStringLiteral("dd MMM hh:mm")
                                                          : QStringLiteral("hh:mm:ss");
    if (time_->format() != format)
        time_->setFormat(format);
}

void TrendPlot::publishRecent() {
    const int shown = seriesCount();
    for (int s = 0; s < shown; ++s) {
        const auto& columns = columns_[static_cast<size_t>(s)].columns();
        const QLineSeries* history = series_[static_cast<size_t>(s)];
        QList<QPointF> points;
        // Joined to the line before it.
        if (history->count() > 0)
            points.append(history->at(history->count() - 1));
        for (size_t c = static_cast<size_t>(split_); c < columns.size(); ++c)
            if (!columns[c].empty())
                appendPoints(points, columns[c]);
        recent_[static_cast<size_t>(s)]->replace(points);
    }
}

void TrendPlot::appendPoints(QList<QPointF>& points, const Column& column) const {
    // The minimum and the maximum in the order they were taken; one point when they are one.
    const bool minFirst = column.minAt <= column.maxAt;
    points.append(
        {axisTime_(minFirst ? column.minAt : column.maxAt), minFirst ? column.min : column.max});
    if (column.minAt != column.maxAt || column.min != column.max)
        points.append({axisTime_(minFirst ? column.maxAt : column.minAt),
                       minFirst ? column.max : column.min});
}

} // namespace plot

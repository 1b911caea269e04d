#pragma once

#include "gui/plot/MinMaxColumns.h"

#include <QList>
#include <QPointF>
#include <QWidget>
#include <array>

class QPushButton;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace logging {
class LogModel;
}

namespace plot {

// A page's log as a trend over time: pressure and temperature on two axes with their units
// for a level probe, the level for an encoder. It reads the log itself, keeping only the
// minimum and maximum per pixel column, and follows each new reading until the user zooms or
// pans the time axis (mouse wheel, dragging); "Fit All" or a double click shows the whole log
// again and follows it.
class TrendPlot final : public QWidget {
    Q_OBJECT
public:
    explicit TrendPlot(QWidget* parent = nullptr);

    // The log shown, or none.
    void setLog(const logging::LogModel* log);

    // Shows the whole log and follows new readings.
    void fitAll();
    bool following() const { return following_; }
    // Zooms the time axis by a factor (below 1 zooms in) around the point at `anchor`
    // (0 the left edge of the plot area, 1 the right edge): in as far as about ten readings
    // across the plot, out as far as the whole log as "Fit All" shows it. An empty log
    // does not zoom.
    void zoom(double factor, double anchor);
    // Moves the time axis by a fraction of the time shown (positive: later).
    void pan(double fraction);

    // The time shown, in the log's local seconds.
    double shownFrom() const { return from_; }
    double shownTo() const { return to_; }
    // The points drawn of the log's first value (0: pressure, level) or second (1:
    // temperature), oldest first.
    QList<QPointF> points(int which) const;
    bool showsSeries(int which) const;
    QValueAxis* valueAxis(int which) const { return axes_.at(static_cast<size_t>(which)); }
    QDateTimeAxis* timeAxis() const { return time_; }

    QPushButton* FitAllBut;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readingsInserted(int first, int count);
    void rebuild();
    void takeNewest();
    void publish();
    void publishRecent();
    void appendPoints(QList<QPointF>& points, const Column& column) const;
    int seriesCount() const;
    int pixelColumns() const;
    double anchorOf(double x) const;

    const logging::LogModel* log_ = nullptr;
    bool following_ = true;
    bool stale_ = true;
    bool rebuildQueued_ = false;
    int seen_ = 0; // readings taken into the columns
    double from_ = 0;
    double to_ = 0;
    double first_ = 0; // the oldest and the newest reading's time, when following
    double last_ = 0;
    double dragX_ = -1;
    std::array<MinMaxColumns, 2> columns_;
    int split_ = 0; // the first column of the recent lines

    // Local seconds of the log to the time axis's milliseconds since the epoch.
    class AxisTime {
    public:
        AxisTime() = default;
        AxisTime(double from, double to);
        double operator()(double localSeconds) const;

    private:
        static qint64 offset(double localSeconds);
        qint64 fromOffset_ = 0;
        qint64 toOffset_ = 0;
    };
    AxisTime axisTime_;

    QChart* chart_;
    QChartView* view_;
    QDateTimeAxis* time_;
    std::array<QLineSeries*, 2> series_{}; // the older columns
    std::array<QLineSeries*, 2> recent_{}; // from the newest reading's column on
    std::array<QValueAxis*, 2> axes_{};
};

} // namespace plot

#pragma once

#include <QPointer>
#include <QString>

namespace levelprobe {

class FilterWindow;
class LevelFamily;

// A level probe's filter: the filter window (one for the whole run, created on first use),
// its query and set, and the answers it shows.
class Filter {
public:
    explicit Filter(LevelFamily& family);

    // Opens the window for the page shown, asks the sensor for its filter and shows the
    // window modally; the answer fills it while it is open.
    void mnuFilter_Click();
    void Command1_Click();
    void FilterSetingsBut_Click();

    void FilterQuery(int p);
    // Sends the boxes' values to page p. Values outside the spinners' ranges (readings 1-12,
    // interval 1-100) are refused with a message; false then, and nothing is sent.
    bool FilterSet(int p);
    // Writes the boxes without showing the window (as the reset does).
    void setBoxes(const QString& readings, const QString& interval);
    // A filter answer: shown in the window, if there is one.
    void showFilter(int readings, int interval, const QString& sampleRate);
    // The window's buttons follow the page lock.
    void setEnabled(bool enabled);

    FilterWindow& window();
    bool hasWindow() const { return !window_.isNull(); }

private:
    LevelFamily& family_;
    QPointer<FilterWindow> window_;
    int page_ = 0; // the page the window was opened for
};

} // namespace levelprobe

#pragma once

#include <QComboBox>
#include <optional>

namespace widgets {

// A drop-down list whose shown text can be set apart from its entries, as the pages need:
// "Select....." before anything is chosen, and an empty text while a query is in flight.
// Each entry may carry an item code (the sensor's number for that entry).
class DropDown final : public QComboBox {
    Q_OBJECT
public:
    explicit DropDown(QWidget* parent = nullptr);

    void addEntry(const QString& text, int itemCode);
    // The item code of the entry at index, or -1.
    int itemCode(int index) const;
    int selectedItemCode() const { return itemCode(currentIndex()); }
    // The index of the selected entry; empty when none is selected.
    std::optional<int> selectedIndex() const {
        return currentIndex() >= 0 ? std::optional<int>(currentIndex()) : std::nullopt;
    }

    // Shows the text with no entry selected.
    void setText(const QString& text);
    // Selects the entry at index, or shows nothing when there is no such entry.
    void selectOrBlank(std::optional<int> index);
    // The text shown: the selected entry's, or the text set with setText().
    QString text() const;

    void showPopup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* list_; // the window of the list that drops down
};

} // namespace widgets

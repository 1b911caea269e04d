#pragma once

#include <QList>
#include <QObject>

class QTreeView;

namespace widgets {

// Keeps a list's columns as wide as their widest text, header label included, the way a
// header fitting its sections to their contents does, but measures only the column whose
// text changed and each label once. The header's own fitting measured every label and
// every column again for each new text in any cell. The last column, when it stretches,
// takes the room that is left. The user cannot drag the columns' widths.
class ColumnFit final : public QObject {
public:
    // Owned by the list's header.
    explicit ColumnFit(QTreeView* list);

    // Fits every column again (after the labels or the font changed).
    void fitAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit(int first, int last);
    int labelWidth(int column);

    QTreeView* list_;
    QList<int> labelWidths_; // -1: not measured yet
};

} // namespace widgets

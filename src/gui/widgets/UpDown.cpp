#include "UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace widgets {

UpDown::UpDown(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)), minimum_(minimum),
      maximum_(maximum), value_(minimum) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFixedSize(18, 12);
    }
    up_->setAccessibleName(QStringLiteral("Up"));
    down_->setAccessibleName(QStringLiteral("Down"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { setValue(value_ + 1); });
    connect(down_, &QToolButton::clicked, this, [this] { setValue(value_ - 1); });
}

void UpDown::setValue(int value) {
    value = std::clamp(value, minimum_, maximum_);
    if (value == value_)
        return;
    value_ = value;
    Q_EMIT valueChanged(value_);
}

} // namespace widgets

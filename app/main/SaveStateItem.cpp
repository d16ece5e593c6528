#include "app/main/SaveStateItem.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolBar>

TSaveStateItem::TSaveStateItem(QToolBar& bar, QWidget* before) : bar_(bar), before_(before) {}

void TSaveStateItem::Show(const QString& text, const std::function<QString()>& tip, bool saving) {
    if (!label_ && text.isEmpty())
        return;
    if (!label_)
        Make();
    label_->setText(text);
    label_->setToolTip(text.isEmpty() ? QString() : tip());
    label_->setVisible(!text.isEmpty());
    busy_->setVisible(saving);
}

void TSaveStateItem::Make() {
    auto* box = new QWidget(&bar_);
    box->setObjectName("SaveStateBox");
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(4, 0, 4, 0);
    busy_ = new QProgressBar(box);
    busy_->setObjectName("SaveBusy");
    busy_->setRange(0, 0);  // busy, without a share done
    busy_->setTextVisible(false);
    busy_->setFixedSize(48, 12);
    busy_->setAccessibleName("Saving");
    label_ = new QLabel(box);
    label_->setObjectName("SaveState");
    label_->setTextFormat(Qt::PlainText);
    layout->addWidget(busy_);
    layout->addWidget(label_);
    QAction* at = nullptr;
    for (QAction* action : bar_.actions())
        if (bar_.widgetForAction(action) == before_)
            at = action;
    bar_.insertWidget(at, box);
}

#include "views/pie/PieLabelWidgets.h"

#include <QMouseEvent>

#include "views/common/NumberText.h"
#include "views/pie/PieLabels.h"

namespace {

void Style(QLabel* label, int pointSize) {
    label->setFont(QFont(QStringLiteral("Tahoma"), pointSize));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(kLabelGrey, kLabelGrey, kLabelGrey));
    label->setPalette(palette);
    label->setAutoFillBackground(false);  // transparent over the pie
}

void Show(QLabel* label) {
    label->setEnabled(true);
    label->show();
    label->raise();
}

void CreateCaption(QWidget* pie, const TPieLabelInput& input) {
    auto* caption = new TPieLabel(kCaptionTag, pie);
    Style(caption, kCaptionPointSize);
    caption->setWordWrap(true);
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setText(QString::fromStdString(input.caption));
    caption->setFixedSize(kCaptionWidth, caption->heightForWidth(kCaptionWidth));
    caption->move(CaptionLeft(input.geometry, caption->width()),
                  CaptionTop(input.geometry, caption->height()));
    Show(caption);
}

}  // namespace

TPieLabel::TPieLabel(int tag, QWidget* parent) : QLabel(parent), tag_(tag) {}

void TPieLabel::mousePressEvent(QMouseEvent* event) {
    // A left click is the label's own (the caption has no action for it);
    // other buttons, such as the context menu's, belong to the slice under
    // the pointer: ignored here, they go on to the pie.
    pressed_ = event->button() == Qt::LeftButton;
    if (pressed_)
        event->accept();
    else
        event->ignore();
}

void TPieLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click && OnClick)
        OnClick(this, mapToParent(event->position().toPoint()));
}

void CreateLBLSC(QWidget* pie, const TPieLabelInput& input,
                 const std::function<void(TPieLabel*, QPoint)>& onClick) {
    if (!input.names || !input.percents || !input.sizes || input.placeholder)
        return;
    if (input.names->empty() || input.percents->empty() || input.sizes->empty())
        return;
    CreateCaption(pie, input);
    const auto legend =
        LayoutPieLegend(input.geometry, input.labelRadius, *input.names, *input.percents);
    for (const TPieLegendEntry& entry : legend) {
        auto* name = new TPieLabel(NameLabelTag(entry.entry), pie);
        Style(name, kLegendPointSize);
        name->OnClick = onClick;
        name->setText(entry.nameText);
        // The size label goes one line below the name label's top, so the
        // name keeps to that first line instead of the label's middle.
        name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        name->setFixedSize(kNameLabelWidth, kNameLabelHeight);
        name->move(entry.nameLeft, entry.nameTop);
        Show(name);
        if (!entry.hasSizeLabel)
            continue;
        auto* size = new TPieLabel(SizeLabelTag(entry.entry), pie);
        Style(size, kLegendPointSize);
        size->OnClick = onClick;
        const auto r = static_cast<size_t>(entry.entry);
        if (entry.sizeShown && r < input.sizes->size())
            size->setText(QString::fromStdString(FormatMB((*input.sizes)[r])));
        size->adjustSize();
        size->move(name->x(), name->y() + size->height());
        Show(size);
    }
}

void RemovePieLabels(QWidget* pie) {
    for (TPieLabel* label : PieLabels(pie)) {
        label->hide();
        label->setParent(nullptr);
        label->deleteLater();
    }
}

QList<TPieLabel*> PieLabels(QWidget* pie) {
    return pie->findChildren<TPieLabel*>(QString(), Qt::FindDirectChildrenOnly);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_PieLabelWidgets.cpp"

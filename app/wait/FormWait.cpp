#include "app/wait/FormWait.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

#include "views/gradient/Gradient.h"

namespace {

const char* const kSlowHint = "It may take several minutes depending on speed of your computer";

// The button's glyph: a red disc with a white cross, drawn here so that the
// window needs no image files.
QIcon CancelGlyph() {
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(140, 20, 20), 1));
    painter.setBrush(QColor(210, 45, 40));
    painter.drawEllipse(QRectF(1.5, 1.5, 15, 15));
    painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6, 6), QPointF(12, 12));
    painter.drawLine(QPointF(12, 6), QPointF(6, 12));
    painter.end();
    return QIcon(pixmap);
}

}  // namespace

TFormWait::TFormWait(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
    setWindowTitle("Analizing");
    setFixedSize(kClientWidth, kClientHeight);

    gradient_ = new TGradient(this);
    gradient_->setGeometry(0, 0, kClientWidth, kClientHeight);
    // Button face at the top right running to white at the bottom left.
    gradient_->BeginLoad();
    gradient_->SetStyle(gsDiagonalLF);
    gradient_->SetColorBegin(clBtnFace);
    gradient_->SetColorEnd(clWhite);
    gradient_->EndLoad();
    gradient_->setToolTip(kSlowHint);

    label_ = new QLabel("Please wait ...", this);
    label_->move(12, 12);
    label_->adjustSize();
    label_->setToolTip(kSlowHint);

    // The live line has a fixed place between the label and the button, so
    // changing numbers never move either of them.
    progress_ = new QLabel(this);
    progress_->setGeometry(12, 32, kClientWidth - 24, 34);
    progress_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    progress_->setToolTip(kSlowHint);

    btnNo_ = new QToolButton(this);
    btnNo_->setGeometry(85, 71, 70, 25);
    btnNo_->setAutoRaise(true);
    btnNo_->setIcon(CancelGlyph());
    btnNo_->setIconSize(QSize(18, 18));
    btnNo_->setToolTip("Cancel analizing");
    btnNo_->setAccessibleName("Cancel analizing");
    label_->setAccessibleDescription(kSlowHint);
    btnNo_->setFocusPolicy(Qt::NoFocus);
    connect(btnNo_, &QToolButton::clicked, this, &TFormWait::CancelClicked);

    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &TFormWait::RefreshProgress);
    RefreshProgress();
}

void TFormWait::SetCountsSource(std::function<TWaitCounts()> source) {
    source_ = std::move(source);
}

void TFormWait::RefreshProgress() {
    const TWaitCounts counts = source_ ? source_() : TWaitCounts{0, 0, 0, false};
    const std::int64_t ms = elapsed_.isValid() ? elapsed_.elapsed() : 0;
    const QString line = QString::fromStdString(WaitProgressText(counts, ms));
    progress_->setText(line);
    SpeakProgress(line);
}

// The live line's accessible name is its text, renewed no more often than
// kSpokenMs: a label whose accessible name is set no longer tells readers of
// each new text itself, so the change told here is all they hear.
void TFormWait::SpeakProgress(const QString& line) {
    if (spoken_.isValid() && spoken_.elapsed() < kSpokenMs)
        return;
    spoken_.start();
    progress_->setAccessibleName(QString(line).replace(QLatin1Char('\n'), QStringLiteral(", ")));
    QAccessibleEvent changed(progress_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void TFormWait::Centre() {
    const QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!scr)
        return;
    const QRect area = scr->geometry();
    const QSize outer = isVisible() ? frameGeometry().size() : size();
    // Integer division truncates toward zero, as the placement rule asks.
    const int left = area.width() / 2 - outer.width() / 2;
    const int top = area.height() / 2 - outer.height() / 2;
    move(area.x() + left, area.y() + top);
}

void TFormWait::ShowWait() {
    elapsed_.start();
    spoken_.invalidate();
    RefreshProgress();
    Centre();
    show();
    Centre();  // the frame size is known only once the window is shown
    raise();
    refresh_.start();
}

void TFormWait::HideWait() {
    refresh_.stop();
    hide();
}

void TFormWait::closeEvent(QCloseEvent* event) {
    // No close box and no Alt+F4: only the scan's end hides this window.
    event->ignore();
}

void TFormWait::keyPressEvent(QKeyEvent* event) {
    event->accept();  // Esc and friends do nothing here
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_FormWait.cpp"

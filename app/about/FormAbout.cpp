#include "app/about/FormAbout.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

#include "app/about/AboutFigures.h"
#include "app/about/ProgramIcon.h"
#include "app/about/ProjectLinks.h"
#include "platform/desktop/ShellOpen.h"
#include "views/common/Colors.h"
#include "views/gradient/Gradient.h"

namespace cq::app {
namespace {

const QColor kMakerHoverColor(0, 0, 255);

// The OK button's picture: a check mark.
QIcon OkPicture() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 120, 40), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(4, 10.5), QPointF(8.5, 15), QPointF(16, 5)}));
    return QIcon(pixmap);
}

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace

TFormAbout::TFormAbout(QWidget* parent)
    : TFormAbout(platform::ReadMemoryStatus(), QLocale::system(), parent) {}

TFormAbout::TFormAbout(const platform::TMemoryStatus& memory, const QLocale& locale,
                       QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);

    BuildLayout();
    physMem_->setText(FormatPhysMem(memory.totalPhys, locale));
    physMem_->adjustSize();
    freeRes_->setText(FormatMemoryLoad(memory.memoryLoad));
    freeRes_->adjustSize();

    SetHomePageOpener({});
    SetMakerMail(MakerMailAddress());

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    WatchKeys(this);
}

void TFormAbout::BuildLayout() {
    gradient_ = new TGradient(this);
    gradient_->setGeometry(0, 0, kClientWidth, kClientHeight);
    gradient_->BeginLoad();
    gradient_->SetStyle(gsDiagonalLF);
    gradient_->SetColorBegin(RGBColor(207, 203, 194));
    gradient_->SetColorEnd(RGBColor(236, 235, 232));
    gradient_->EndLoad();

    programIcon_ = new QLabel(this);
    programIcon_->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon_->setGeometry(16, 16, 32, 32);
    programIcon_->setScaledContents(true);
    programIcon_->setPixmap(QPixmap::fromImage(ProgramIconImage(32)));
    programIcon_->setCursor(Qt::PointingHandCursor);

    lbl1_ = AddLabel(QStringLiteral("Cobaltquarry"), 60, 16);
    QFont title(QStringLiteral("Tahoma"), 18);
    title.setBold(true);
    lbl1_->setFont(title);
    lbl1_->adjustSize();
    lbl5_ = AddLabel(QStringLiteral("version 1.2"), 60, 64);
    lbl2_ = AddLabel(QString::fromUtf8(kMakerLine), 60, 88);
    lbl2_->setObjectName(QStringLiteral("lbl2"));
    lbl3_ = AddLabel(QStringLiteral("Memory"), 60, 124);
    QFont underlined = lbl3_->font();
    underlined.setUnderline(true);
    lbl3_->setFont(underlined);
    lbl6_ = AddLabel(QStringLiteral("Available:"), 60, 148);
    physMem_ = AddLabel(QString(), 172, 148);
    physMem_->setObjectName(QStringLiteral("PhysMem"));
    lbl4_ = AddLabel(QStringLiteral("Used:"), 60, 172);
    freeRes_ = AddLabel(QString(), 172, 176);
    freeRes_->setObjectName(QStringLiteral("FreeRes"));

    btnOK_ = new QToolButton(this);
    btnOK_->setObjectName(QStringLiteral("btnOK"));
    btnOK_->setGeometry(172, 216, 70, 29);
    btnOK_->setAutoRaise(true);
    btnOK_->setIcon(OkPicture());
    btnOK_->setIconSize(QSize(20, 20));
    btnOK_->setToolTip(QStringLiteral("OK"));
    // The icon and the button show pictures only: a reader hears these.
    btnOK_->setAccessibleName(QStringLiteral("OK"));
    programIcon_->setAccessibleName(QStringLiteral("Cobaltquarry home page"));
    connect(btnOK_, &QToolButton::clicked, this, &QWidget::hide);

    programIcon_->installEventFilter(this);
    lbl2_->installEventFilter(this);
}

QLabel* TFormAbout::AddLabel(const QString& text, int left, int top) {
    auto* label = new QLabel(text, this);
    // Transparent over the gradient: a label paints no background of its own.
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void TFormAbout::SetHomePageOpener(std::function<void()> opener) {
    if (!opener) {
        opener = [] {
            const QString address = HomePageAddress();
            if (!address.isEmpty()) {
                desktop::ShellOpen(address);
            }
        };
    }
    openHomePage_ = std::move(opener);
}

void TFormAbout::SetMakerMail(const QString& mailLink) {
    makerMail_ = mailLink;
    if (makerMail_.isEmpty()) {
        lbl2_->unsetCursor();
    } else {
        lbl2_->setCursor(Qt::PointingHandCursor);
    }
    SetMakerHover(false);
}

void TFormAbout::SetMakerHover(bool over) {
    SetTextColor(lbl2_, over && !makerMail_.isEmpty() ? kMakerHoverColor : Qt::black);
}

void TFormAbout::WatchKeys(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                hide();
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                if (watched == programIcon_) {
                    openHomePage_();
                    return true;
                }
                if (watched == lbl2_ && !makerMail_.isEmpty()) {
                    desktop::ShellOpen(makerMail_);
                    return true;
                }
            }
            break;
        case QEvent::Enter:
            if (watched == lbl2_) {
                SetMakerHover(true);
            }
            break;
        case QEvent::Leave:
            if (watched == lbl2_) {
                SetMakerHover(false);
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TFormAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace cq::app

// The meta-object code is compiled with this file rather than on its own.
#include "moc_FormAbout.cpp"

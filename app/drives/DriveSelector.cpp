#include "app/drives/DriveSelector.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "app/drives/DriveText.h"
#include "app/drives/PlainWarning.h"
#include "platform/DriveLetter.h"
#include "platform/DriveTable.h"

namespace {

QString FromBytes(const std::string& text) {
    return QString::fromLocal8Bit(text);
}
std::string ToBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// A small arrow pointing down, shown to the right of the caption.
QIcon DropGlyph() {
    return QApplication::style()->standardIcon(QStyle::SP_ArrowDown);
}

}  // namespace

std::vector<std::string> TDriveSelector::TableDriveNames() {
    const std::shared_ptr<const TDriveTable> table = TDriveTable::Current();
    std::vector<std::string> names;
    for (const TDrive& drive : table->Drives())
        names.push_back(table->DisplayName(drive.Letter));
    return names;
}

TDriveSelector::TDriveSelector(const TCurrentFolder& folder, THooks hooks, QToolButton* button)
    : folder_(folder),
      hooks_(std::move(hooks)),
      pmDrives_(std::make_unique<QMenu>()),
      driveIcon_(
          std::make_unique<QIcon>(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon))) {
    if (!hooks_.DriveNames)
        hooks_.DriveNames = &TDriveSelector::TableDriveNames;
    if (!hooks_.FixedDrive)
        hooks_.FixedDrive = [](const std::string& text) { return ::FixedDrive(text); };
    if (!hooks_.Refresh)
        hooks_.Refresh = &TDriveTable::Refresh;
    if (!hooks_.NotMounted)
        hooks_.NotMounted = [this](const std::string& text) {
            ShowPlainWarning(btnDrives_, FromBytes(DriveNotMountedText(text[0])));
        };
    ownsButton_ = button == nullptr;
    btnDrives_ = button ? button : new QToolButton();
    btnDrives_->setObjectName("btnDrives");
    btnDrives_->setAutoRaise(true);
    btnDrives_->setFont(QFont("Tahoma", 8));
    if (btnDrives_->icon().isNull()) {  // an owner's own glyph is kept
        btnDrives_->setIcon(DropGlyph());
        btnDrives_->setIconSize(QSize(10, 10));
    }
    btnDrives_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Right-to-left puts the glyph to the right of the caption.
    btnDrives_->setLayoutDirection(Qt::RightToLeft);
    btnDrives_->setFixedSize(kInitialWidth, kHeight);
    btnDrives_->setContextMenuPolicy(Qt::CustomContextMenu);
    pmDrives_->setObjectName("pmDrives");
    connect(pmDrives_.get(), &QMenu::aboutToShow, this, [this] {
        hooks_.Refresh();
        SetDrivesList();
    });
    connect(btnDrives_, &QToolButton::clicked, this, &TDriveSelector::btnDrivesClick);
    connect(btnDrives_, &QToolButton::customContextMenuRequested, this,
            [this](const QPoint& at) { pmDrives_->popup(btnDrives_->mapToGlobal(at)); });
}

TDriveSelector::~TDriveSelector() {
    // A button of our own that no tool bar took over; one that a tool bar
    // holds goes with the tool bar, which may already be gone.
    if (ownsButton_ && btnDrives_ && !btnDrives_->parent())
        delete btnDrives_.data();
}

void TDriveSelector::SetDriveIcon(const QIcon& icon) {
    *driveIcon_ = icon;
    for (QAction* item : pmDrives_->actions())
        item->setIcon(icon);
}

std::string TDriveSelector::Drive() const {
    return folder_.CurrentFolder();
}

bool TDriveSelector::FixedDrive(const std::string& driveText) const {
    if (driveText.size() != 2 || driveText[1] != ':' || !hooks_.FixedDrive)
        return false;
    std::string upper = driveText;
    upper[0] = UpperDriveLetter(upper[0]);
    return hooks_.FixedDrive(upper);
}

void TDriveSelector::SetDrivesList() {
    pmDrives_->clear();
    const std::vector<std::string> names =
        hooks_.DriveNames ? hooks_.DriveNames() : std::vector<std::string>();
    const std::string current = DriveText(Drive());
    for (const std::string& name : names) {
        const std::string text = DriveText(name);
        const std::string caption = DriveMenuCaption(name);
        if (text.find(':') != std::string::npos && FixedDrive(text)) {
            // "&" would otherwise turn into a mnemonic and vanish from the caption.
            QAction* item =
                pmDrives_->addAction(*driveIcon_, FromBytes(caption).replace("&", "&&"));
            connect(item, &QAction::triggered, this, [this, item] { menuDriveClick(item); });
        }
        if (text == current)
            SetCaption(FromBytes(caption).replace("&", "&&"));
    }
}

void TDriveSelector::SetCaption(const QString& caption) {
    btnDrives_->setText(caption);
    btnDrives_->setFixedWidth(FittingWidth());
}

int TDriveSelector::FittingWidth() const {
    // The caption's width plus the padding, and room for the glyph the
    // button shows beside it; never narrower than the button's design
    // width, so a short caption does not make it a sliver.
    const QString shown = btnDrives_->text().replace("&&", "&");
    int glyph = 0;
    if (!btnDrives_->icon().isNull()) {
        glyph = btnDrives_->iconSize().width() + 4;
    }
    const int fit = btnDrives_->fontMetrics().horizontalAdvance(shown) + kWidthPadding + glyph;
    return std::max({kInitialWidth, fit, btnDrives_->sizeHint().width()});
}

void TDriveSelector::btnDrivesClick() {
    pmDrives_->popup(btnDrives_->mapToGlobal(QPoint(0, btnDrives_->height())));
}

void TDriveSelector::menuDriveClick(QAction* item) {
    if (!item)
        return;
    const QString caption = item->text();
    const std::string text = DriveText(ToBytes(caption));
    if (text.find(':') == std::string::npos)
        return;
    if (!FixedDrive(text)) {
        std::string upper = text;
        upper[0] = UpperDriveLetter(upper[0]);
        hooks_.NotMounted(upper);
        return;
    }
    if (text == Drive())
        return;
    // The listing takes a drive root as "X:\"; the caption's letter is lower
    // case, drive letters are compared without case everywhere.
    std::string root = text;
    root[0] = UpperDriveLetter(root[0]);
    root += '\\';
    SwitchTo(caption, root);
}

void TDriveSelector::EnterDriveAt(const std::string& folder) {
    if (folder.size() < 2 || folder[1] != ':')
        return;
    const std::string text{UpperDriveLetter(folder[0]), ':'};
    if (!FixedDrive(text)) {
        hooks_.NotMounted(text);
        return;
    }
    QString caption = btnDrives_->text();
    for (const std::string& name : hooks_.DriveNames()) {
        if (DriveText(name) == text)
            caption = FromBytes(DriveMenuCaption(name)).replace("&", "&&");
    }
    SwitchTo(caption, folder);
}

void TDriveSelector::SwitchTo(const QString& caption, const std::string& folder) {
    SetCaption(caption);
    Q_EMIT FolderChosen(folder);
    Q_EMIT DriveChosen();
    Q_EMIT DriveSwitched();
}

void TDriveSelector::SetEnabled(bool enabled) {
    btnDrives_->setEnabled(enabled);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_DriveSelector.cpp"

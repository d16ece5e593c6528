#include "app/pie/PieHolder.h"

#include <QAction>
#include <QEvent>
#include <QToolButton>
#include <QToolTip>
#include <cmath>

#include "app/pie/PieAccessible.h"
#include "app/pie/PieButtonGlyphs.h"
#include "app/pie/PieControl.h"
#include "app/pie/PieDrawing.h"
#include "app/shell/ItemContextMenu.h"
#include "app/shell/ListedItems.h"
#include "app/shell/ShellEx.h"
#include "engine/ResultStore.h"
#include "platform/FileInfo.h"
#include "views/bar/BarData.h"
#include "views/common/ConvertError.h"
#include "views/common/DisplayText.h"
#include "views/common/ListLookup.h"
#include "views/common/NumberText.h"
#include "views/common/SpokenText.h"
#include "views/pie/PieData.h"
#include "views/pie/PieHint.h"
#include "views/pie/PieHitTest.h"
#include "views/pie/PieLabelWidgets.h"
#include "views/pie/PieZoom.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/ShellListModel.h"

namespace {

// Where the holder sits in the bar holder and the pie in the holder, and
// the strip of zoom and view buttons above the pie.
const QPoint kHolderPlace(404, 158);
const QPoint kPiePlace(4, 12);
const QRect kButtonStrip(4, 0, 93, 25);
constexpr int kButtonSize = 21;
constexpr int kButtonStep = 20;

QToolButton* FlatButton(QWidget* parent, int index, QAction* action) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setGeometry(index * kButtonStep, 0, kButtonSize, kButtonSize);
    if (action)
        button->setDefaultAction(action);
    return button;
}

QAction* Command(QObject* parent, const QString& name, const QString& hint, const QKeySequence& key,
                 const QIcon& glyph) {
    auto* action = new QAction(glyph, hint, parent);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    action->setShortcut(key);
    return action;
}

std::optional<QDateTime> LastWrite(const std::string& path) {
    TDirEntry entry;
    if (!LookupEntry(path, entry))
        return std::nullopt;
    // Invalid for seconds past what milliseconds in 64 bits can hold.
    const QDateTime time = QDateTime::fromSecsSinceEpoch(entry.LastWriteSeconds, Qt::UTC)
                               .addMSecs(entry.LastWriteNanos / 1000000);
    if (!time.isValid())
        return std::nullopt;
    return time.toLocalTime();
}

std::int64_t EntrySize(const std::string& path) {
    TDirEntry entry;
    return LookupEntry(path, entry) ? entry.Size : 0;
}

std::int64_t EntryAllocated(const std::string& path) {
    TDirEntry entry;
    return LookupEntry(path, entry) && !(entry.Attr & faDirectory) ? entry.DiskBytes : 0;
}

// A share as the views write percents ("0.0"); a malformed one as it is.
QString ShareText(std::string_view percent) {
    try {
        return QString::fromStdString(FormatPercent(static_cast<float>(StrToFloat(percent))));
    } catch (const EConvertError&) {
        return QString::fromUtf8(percent.data(), static_cast<int>(percent.size()));
    }
}

QString MBText(std::string_view size) {
    try {
        return SpokenBytesAsMB(size);
    } catch (const EConvertError&) {
        return QString::fromUtf8(size.data(), static_cast<int>(size.size()));
    }
}

}  // namespace

TPieHolder::TPieHolder(QWidget* parent)
    : QScrollArea(parent),
      content_(new QWidget),
      btnHolder_(new QWidget(content_)),
      pie_(new TPieControl(content_)),
      zoom_(kPieZoomStart) {
    // Screen readers see the pie as a chart of slices (TPieAccessible).
    InstallPieAccessibleFactory();
    setObjectName(QStringLiteral("pieHolder"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    content_->setObjectName(QStringLiteral("pieContent"));
    pie_->setObjectName(QStringLiteral("Pie"));
    pie_->move(kPiePlace);
    pie_->resize(261, 249);
    btnHolder_->setObjectName(QStringLiteral("btnHolder"));
    btnHolder_->setGeometry(kButtonStrip);
    btnHolder_->setAutoFillBackground(true);
    btnHolder_->setPalette(QPalette(Qt::white));
    CreateButtons();
    pie_->OnMouseDown = [this](Qt::MouseButton button, QPoint at) { PieMouseDown(button, at); };
    pie_->OnMouseMove = [this](QPoint at) { PieMouseMove(at); };
    pie_->OnHint = [this](QPoint at) { return PieHintAt(at); };
    pie_->OnKey = [this](int key) { return PieKey(key); };
    SetBackground(Qt::white);
    setWidget(content_);
    FitContent();
}

void TPieHolder::CreateButtons() {
    acZoomIN_ = Command(this, QStringLiteral("acZoomIN"), QStringLiteral("Zoom in"),
                        QKeySequence(Qt::CTRL | Qt::Key_I), ZoomInGlyph());
    acZoomOUT_ = Command(this, QStringLiteral("acZoomOUT"), QStringLiteral("Zoom out"),
                         QKeySequence(Qt::CTRL | Qt::Key_O), ZoomOutGlyph());
    acChangeColors_ = Command(this, QStringLiteral("acChangeColors"), QStringLiteral("New colors"),
                              QKeySequence(Qt::CTRL | Qt::Key_C), NewColorsGlyph());
    connect(acZoomIN_, &QAction::triggered, this, &TPieHolder::acZoomINExecute);
    connect(acZoomOUT_, &QAction::triggered, this, &TPieHolder::acZoomOUTExecute);
    connect(acChangeColors_, &QAction::triggered, this, &TPieHolder::acChangeColorsExecute);
    btnZIn_ = FlatButton(btnHolder_, 0, acZoomIN_);
    btnZIn_->setObjectName(QStringLiteral("btnZIn"));
    btnZOut_ = FlatButton(btnHolder_, 1, acZoomOUT_);
    btnZOut_->setObjectName(QStringLiteral("btnZOut"));
    btnNewCols_ = FlatButton(btnHolder_, 2, acChangeColors_);
    btnNewCols_->setObjectName(QStringLiteral("btnNewCols"));
    // Kept in its place on the strip, hidden and without a command.
    btnSave_ = FlatButton(btnHolder_, 3, nullptr);
    btnSave_->setObjectName(QStringLiteral("btnSave"));
    btnSave_->setAccessibleName(QStringLiteral("Save"));
    btnSave_->hide();
}

void TPieHolder::SetLinks(const TLinks& links) {
    links_ = links;
}

void TPieHolder::SetZoom(int zoom) {
    zoom_ = RangeZoom(zoom);
}

void TPieHolder::SetBackground(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAutoFillBackground(true);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    content_->setPalette(palette);
    content_->setAutoFillBackground(true);
}

void TPieHolder::AttachToBarHolder(QWidget* barHolder) {
    if (barHolder_)
        barHolder_->removeEventFilter(this);
    barHolder_ = barHolder;
    setParent(barHolder);
    move(kHolderPlace);
    barHolder->installEventFilter(this);
    SetPieHolderSize();
}

void TPieHolder::SetPieHolderSize() {
    if (!barHolder_)
        return;
    resize(barHolder_->width() - x(), barHolder_->height() - y());
}

bool TPieHolder::eventFilter(QObject* watched, QEvent* event) {
    // barHolderResize: the holder stays anchored to all four sides.
    if (watched == barHolder_ && event->type() == QEvent::Resize)
        SetPieHolderSize();
    return QScrollArea::eventFilter(watched, event);
}

void TPieHolder::FitContent() {
    const QRect used = pie_->geometry().united(btnHolder_->geometry());
    content_->resize(used.right() + 1, used.bottom() + 1);
}

bool TPieHolder::ListsEmpty() const {
    return !links_.store || !links_.pieData || links_.store->GlobalSLSEmpty() ||
           links_.pieData->PieSLSEmpty();
}

void TPieHolder::DrawPicture() {
    const TPieGeometry geometry = PieGeometryForZoom(zoom_);
    if (!PieDrawable(*links_.pieData))
        return;
    pie_->SetPicture(DrawPieImage(*links_.pieData, zoom_, links_.bar, devicePixelRatioF()));
    pie_->resize(2 * geometry.leftMargin + geometry.D, 2 * geometry.topMargin + geometry.D);
    FitContent();
}

void TPieHolder::DrawPieMain() {
    if (!links_.pieData)
        return;
    TPieData& data = *links_.pieData;
    data.CreatePieData();
    const std::string caption = data.PieSizes.empty() ? std::string() : FormatGB(data.PieSizes[0]);
    DrawPicture();
    RemovePieLabels(pie_);
    TPieLabelInput input;
    input.geometry = PieGeometryForZoom(zoom_);
    input.labelRadius = PieLabelRadius();
    input.caption = caption;
    input.names = &data.PieNames;
    input.percents = &data.PiePercents;
    input.sizes = &data.PieSizes;
    input.placeholder = data.PiePlaceholder;
    CreateLBLSC(pie_, input, [this](TPieLabel* label, QPoint at) { PieLBLClick(label, at); });
    SpeakSlices(caption);
    UpdateOutline();
}

int TPieHolder::ClickedPiece(int x, int y) const {
    if (ListsEmpty())
        return -1;
    return ::ClickedPiece(x, y, PieGeometryForZoom(zoom_), links_.pieData->PiePercents, false);
}

// The path of the slice under a point of the pie, if a listed slice is there
// (the remainder and points off the disc have none).
std::optional<std::string> TPieHolder::PathAt(QPoint at) const {
    const int index = ClickedPiece(at.x(), at.y());
    const TStringList& paths = links_.pieData->PiePaths;
    if (index < 0 || index >= static_cast<int>(paths.size()))
        return std::nullopt;
    return std::string(paths[static_cast<size_t>(index)]);
}

void TPieHolder::PieMouseDown(Qt::MouseButton button, QPoint at) {
    if (ListsEmpty())
        return;
    const std::optional<std::string> piece = PathAt(at);
    if (piece)
        ActOnPiece(*piece, button, at);
}

// Right button: the item's context menu at the point; any other: open a
// file, enter a folder, then refresh the views.
void TPieHolder::ActOnPiece(const std::string& path, Qt::MouseButton button, QPoint at) {
    if (button == Qt::RightButton) {
        const TShellFolder* item = links_.bar ? PathToTShellFolder(*links_.bar, path) : nullptr;
        TItemMenuLinks menu;
        menu.rereadAndRebuild = [this] { RereadAndRebuild(); };
        menu.store = links_.store;
        menu.storedChanged = links_.storedChanged;
        menu.followBehind = links_.followBehind;
        menu.note = links_.note;
        menu.foldersChanged = links_.foldersChanged;
        InvokeContextMenuIMP(links_.owner ? links_.owner : window(), item, pie_, at, menu);
        return;
    }
    const bool folderLink = links_.bar && LinkToFolder(*links_.bar, path);
    if (FileExists(path) && !folderLink) {
        ShellEx(path);
        return;
    }
    const bool folder = FolderExists(path) || folderLink;
    if (folder && links_.enterFolder) {
        links_.enterFolder(path);
    } else {
        if (folder && links_.bar)
            links_.bar->SetRoot(path);
        if (links_.views)
            links_.views->UpdateBarPie();
    }
    if (links_.treeVisible && links_.treeVisible() && links_.expandTree)
        links_.expandTree();
}

void TPieHolder::PieLBLClick(TPieLabel*, QPoint at) {
    // The redraw that the click causes deletes the label; let its click
    // handling end first and act from the window's queue, at the point that
    // was clicked, as a click on the pie there.
    QMetaObject::invokeMethod(
        this, [this, at] { PieLabelMessage(at); }, Qt::QueuedConnection);
}

void TPieHolder::PieLabelMessage(QPoint at) {
    PieMouseDown(Qt::LeftButton, at);
}

void TPieHolder::PieMouseMove(QPoint at) {
    if (!links_.store || links_.store->GlobalSLSEmpty())
        return;
    const std::optional<std::string> piece = PathAt(at);
    if (!piece) {
        // A hint still showing would name a slice the pointer has left.
        if (QToolTip::isVisible())
            QToolTip::hideText();
        return;
    }
    if (*piece == hoveredPath_)
        return;
    BuildHint(*piece);
    if (QToolTip::isVisible())
        ShowHintNow(at);
}

// The hint of one path: its display name, its size and its date; no size
// known, no hint.
void TPieHolder::BuildHint(const std::string& path) {
    const TResultStore& store = *links_.store;
    std::optional<std::string> sizeLine;
    const int stored = FindStrINSL(store.GlobalDirs(), path);
    if (stored < 0 && FileExists(path)) {
        sizeLine = store.DiskUsage ? FileSizeLine(FormatMB(std::to_string(EntryAllocated(path))),
                                                  kAllocatedLabel)
                                   : FileSizeLine(FormatMB(std::to_string(EntrySize(path))));
    } else if (stored >= 0) {
        if (links_.barData && !links_.barData->BarSizes.empty() &&
            stored < static_cast<int>(store.ShownSizes().size()))
            sizeLine = FolderSizeLine(FormatMB(store.ShownSizes()[static_cast<size_t>(stored)]),
                                      store.DiskUsage ? kAllocatedLabel : kSizeOnDiskLabel);
    }
    const std::string dateLine = HintDateLine(LastWrite(path), CurrentZoneBias());
    hoveredPath_ = path;
    const std::string shown = DisplayText(path).toStdString();
    pie_->setToolTip(QString::fromStdString(PieHintText(shown, sizeLine, dateLine)));
}

void TPieHolder::ShowHintNow(QPoint at) {
    if (pie_->toolTip().isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(pie_->mapToGlobal(at), pie_->toolTip(), pie_);
}

QString TPieHolder::PieHintAt(QPoint at) {
    PieMouseMove(at);
    if (ListsEmpty() || !PathAt(at))
        return QString();
    return pie_->toolTip();
}

int TPieHolder::SliceCount() const {
    if (ListsEmpty())
        return 0;
    const int n = static_cast<int>(links_.pieData->PiePercents.size());
    const int paths = static_cast<int>(links_.pieData->PiePaths.size());
    return std::max(0, std::min(n, paths) - 1);
}

QPoint TPieHolder::SliceMidPoint(int j) const {
    const TPieGeometry g = PieGeometryForZoom(zoom_);
    const TStringList& percents = links_.pieData->PiePercents;
    float start = 0.0f;
    for (int k = 1; k < j && k < static_cast<int>(percents.size()); ++k)
        start += PieSweep(percents[static_cast<size_t>(k)]);
    const float sweep =
        j < static_cast<int>(percents.size()) ? PieSweep(percents[static_cast<size_t>(j)]) : 0.0f;
    const double mid = (static_cast<double>(start) + sweep / 2.0 - 90.0) * M_PI / 180.0;
    const double r = PieShownRadius(zoom_) * 0.6;
    return QPoint(g.CentreX() + static_cast<int>(std::lround(r * std::sin(mid))),
                  g.CentreY() + static_cast<int>(std::lround(r * std::cos(mid))));
}

bool TPieHolder::PieKey(int key) {
    const int n = SliceCount();
    switch (key) {
        case Qt::Key_Right:
        case Qt::Key_Down:
            if (n > 0)
                ChooseSlice(keySlice_ % n + 1);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Up:
            if (n > 0)
                ChooseSlice(keySlice_ <= 1 ? n : keySlice_ - 1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (keySlice_ >= 1 && keySlice_ <= n) {
                const std::string path(links_.pieData->PiePaths[static_cast<size_t>(keySlice_)]);
                ActOnPiece(path, Qt::LeftButton, SliceMidPoint(keySlice_));
            }
            return true;
        case Qt::Key_Backspace:
            if (links_.folderUp)
                links_.folderUp();
            return true;
        default:
            return false;
    }
}

void TPieHolder::ChooseSlice(int j) {
    keySlice_ = j;
    keyFolder_ = links_.pieData->PiePaths.front();
    UpdateOutline();
    BuildHint(std::string(links_.pieData->PiePaths[static_cast<size_t>(j)]));
    ShowHintNow(SliceMidPoint(j));
}

// The outline follows the chosen slice through zooms; in another folder, or
// when the slice is gone, nothing is chosen until an arrow key is pressed.
void TPieHolder::UpdateOutline() {
    const int n = SliceCount();
    if (n == 0 || keySlice_ > n || links_.pieData->PiePaths.front() != keyFolder_)
        keySlice_ = 0;
    pie_->SetFocusSlice(keySlice_ - 1);
    if (keySlice_ == 0) {
        pie_->SetOutline(std::nullopt);
        return;
    }
    pie_->SetOutline(SliceShape(keySlice_));
}

TPieOutline TPieHolder::SliceShape(int j) const {
    const TStringList& percents = links_.pieData->PiePercents;
    const int listed = static_cast<int>(percents.size());
    float start = 0.0f;
    for (int k = 1; k < j && k < listed; ++k)
        start += PieSweep(percents[static_cast<size_t>(k)]);
    const TPieGeometry g = PieGeometryForZoom(zoom_);
    TPieOutline outline;
    outline.centre = QPointF(g.CentreX(), g.CentreY());
    outline.radius = PieShownRadius(zoom_);
    outline.startAngle = start;
    // The remainder fills the disc up to a full turn.
    outline.sweep =
        j < listed ? PieSweep(percents[static_cast<size_t>(j)]) : std::max(0.0f, 360.0f - start);
    return outline;
}

// The listed slices in angle order, then the remainder where it is drawn
// (more than one degree), each with the name, size and share that the
// legend and the bar list show.
void TPieHolder::SpeakSlices(const std::string& caption) {
    std::vector<TPieSlice> slices;
    const TPieData& data = *links_.pieData;
    const int n = SliceCount();
    std::int64_t listedBytes = 0;
    float listedShare = 0.0f;
    for (int j = 1; j <= n; ++j) {
        const auto at = static_cast<size_t>(j);
        const QString name = at < data.PieNames.size() ? DisplayText(data.PieNames[at]) : QString();
        const std::optional<QString> size =
            at < data.PieSizes.size() ? std::optional(MBText(data.PieSizes[at])) : std::nullopt;
        slices.push_back({name,
                          SpokenItem(name, size, SpokenShare(ShareText(data.PiePercents[at]))),
                          SliceShape(j)});
        listedShare += PieSweep(data.PiePercents[at]) / 3.6f;
        listedBytes += at < data.PieSizes.size() ? IntValFromSL(data.PieSizes, j) : 0;
    }
    const TPieOutline rest = SliceShape(n + 1);
    if (n > 0 && rest.sweep > 1.0) {
        const QString name = QStringLiteral("Other");
        const std::int64_t total = IntValFromSL(data.PieSizes, 0);
        const QString share =
            SpokenShare(QString::fromStdString(FormatPercent(100.0f - listedShare)));
        slices.push_back(
            {name,
             SpokenItem(name,
                        MBText(std::to_string(std::max<std::int64_t>(0, total - listedBytes))),
                        share),
             rest});
    }
    const QString folder = data.PiePaths.empty() ? QString() : DisplayText(data.PiePaths.front());
    pie_->SetSlices(std::move(slices), QStringLiteral("Pie chart of ") + folder,
                    QString::fromStdString(caption));
}

void TPieHolder::acZoomINExecute() {
    ApplyZoom(ZoomedIn(zoom_));
}

void TPieHolder::acZoomOUTExecute() {
    ApplyZoom(ZoomedOut(zoom_));
}

// A zoom redraws the same slices in the same colours: the pie lists are kept
// (FolderChanged off), only the picture's size changes.
void TPieHolder::ApplyZoom(int zoom) {
    if (!isHidden()) {
        if (links_.pieData)
            links_.pieData->FolderChanged = false;
        zoom_ = zoom;
        DrawPieMain();
    }
    if (links_.barData && links_.barHolderVisible && links_.barHolderVisible())
        links_.barData->CreateFolderBarData();
}

void TPieHolder::acChangeColorsExecute() {
    if (links_.views)
        links_.views->UpdateBarPie();
}

void TPieHolder::RereadAndRebuild() {
    if (links_.bar)
        links_.bar->Refresh();
    if (links_.views)
        links_.views->UpdateBarPie();
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_PieHolder.cpp"

#include "app/shell/ItemPropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <algorithm>
#include <new>

#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "engine/SpaceFacts.h"
#include "platform/NameText.h"
#include "views/common/ConvertError.h"
#include "views/common/ListLookup.h"
#include "views/common/NumberText.h"
#include "views/tree/ItemExclusion.h"
#include "views/tree/ShellFolder.h"

namespace {

QString PermissionText(QFileDevice::Permissions p) {
    const std::pair<QFileDevice::Permission, char> bits[] = {
        {QFileDevice::ReadOwner, 'r'},  {QFileDevice::WriteOwner, 'w'},
        {QFileDevice::ExeOwner, 'x'},   {QFileDevice::ReadGroup, 'r'},
        {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
        {QFileDevice::ReadOther, 'r'},  {QFileDevice::WriteOther, 'w'},
        {QFileDevice::ExeOther, 'x'}};
    QString text;
    for (const auto& [bit, letter] : bits)
        text += (p & bit) ? QLatin1Char(letter) : QLatin1Char('-');
    return text;
}

TAnalysedSizeLookup& AnalysedSize() {
    static TAnalysedSizeLookup lookup;
    return lookup;
}

TAnalysedSizeLookup& DuplicateBytes() {
    static TAnalysedSizeLookup lookup;
    return lookup;
}

TExclusionLookup& Exclusion() {
    static TExclusionLookup lookup;
    return lookup;
}

TDiskUsageLookup& DiskUsage() {
    static TDiskUsageLookup lookup;
    return lookup;
}

// A size text for a value of the stored results.
std::optional<std::int64_t> StoredValue(const TResultStore& store, const TStringList& list,
                                        const std::string& path) {
    if (store.GlobalSLSEmpty())
        return std::nullopt;
    const int k = FindStrINSL(store.GlobalDirs(), path);
    if (k < 0 || k >= static_cast<int>(list.size()))
        return std::nullopt;
    try {
        return StrToInt64(list[static_cast<size_t>(k)]);
    } catch (const EConvertError&) {
        return std::nullopt;  // a damaged entry counts as not analysed
    }
}

QString SizeText(const TShellFolder& item) {
    if (!item.IsFolder())
        return BytesText(item.Size());
    const std::optional<std::int64_t> analysed =
        AnalysedSize() ? AnalysedSize()(item.PathName()) : std::nullopt;
    if (!analysed)
        return QStringLiteral("(folder, not analysed)");
    return BytesText(*analysed) + QStringLiteral(", as analysed");
}

}  // namespace

void SetAnalysedSizeLookup(TAnalysedSizeLookup lookup) {
    AnalysedSize() = std::move(lookup);
}

TAnalysedSizeLookup StoredSizeLookup(const TResultStore& store) {
    return [&store](const std::string& path) -> std::optional<std::int64_t> {
        return StoredValue(store, store.GlobalDirSizes(), path);
    };
}

void SetExclusionLookup(TExclusionLookup lookup) {
    Exclusion() = std::move(lookup);
}

TExclusionLookup StoredExclusionLookup(const TResultStore& store) {
    return [&store](const TShellFolder& item) {
        // A folder the results hold was measured, whatever the rules say now.
        if (item.IsFolder() && StoredValue(store, store.GlobalDirSizes(), item.PathName()))
            return std::string();
        const std::string native = item.NativePath();
        const std::size_t slash = native.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string()
                                   : slash == 0               ? std::string("/")
                                                              : native.substr(0, slash);
        return TItemExclusion(store.GlobalExtras(), folder).Why(item);
    };
}

void SetDuplicateBytesLookup(TAnalysedSizeLookup lookup) {
    DuplicateBytes() = std::move(lookup);
}

void SetDiskUsageLookup(TDiskUsageLookup lookup) {
    DiskUsage() = std::move(lookup);
}

TDiskUsageLookup StoredDiskUsageLookup(const TResultStore& store) {
    return {[&store] { return store.DiskUsage; },
            [&store](const std::string& path) -> std::optional<std::int64_t> {
                if (!store.DiskUsageKnown())
                    return std::nullopt;
                return StoredValue(store, store.ShownSizes(), path);
            }};
}

QString BytesText(std::int64_t bytes) {
    // The user's own grouping (the process default is the C locale, kept for
    // number texts that are read back); grouped also under the C locale.
    QLocale locale = QLocale::system();
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    const QString unit = locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    const QString exact =
        QStringLiteral("%1 bytes").arg(locale.toString(static_cast<qlonglong>(bytes)));
    return bytes < 1024 ? exact : QStringLiteral("%1 (%2)").arg(exact, unit);
}

TItemPropertiesDialog::TItemPropertiesDialog(const TShellFolder& item, QWidget* parent)
    : QDialog(parent), form_(new QFormLayout) {
    const QString name = VisibleControls(item.DisplayName());
    setWindowTitle(QStringLiteral("Properties of %1").arg(name));
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(item.NativePath())));
    AddField(QStringLiteral("Name"), name);
    AddField(QStringLiteral("Type"), item.TypeText());
    AddField(QStringLiteral("Location"), VisibleControls(info.absolutePath()));
    AddField(QStringLiteral("Size"), SizeText(item));
    if (Exclusion())
        if (const std::string why = Exclusion()(item); !why.empty())
            AddField(QStringLiteral("Excluded by"), VisibleControls(QString::fromStdString(why)));
    if (DiskUsage().On && DiskUsage().On())
        AddDiskFields(item);
    if (item.IsFolder() && DuplicateBytes())
        if (const auto wasted = DuplicateBytes()(item.PathName()))
            AddField(QStringLiteral("Duplicated"),
                     BytesText(*wasted) + QStringLiteral(", as of the last duplicate search"));
    AddField(QStringLiteral("Modified"), item.DateText());
    AddField(QStringLiteral("Owner"), info.owner());
    AddField(QStringLiteral("Permissions"), PermissionText(info.permissions()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addWidget(buttons);
}

TItemPropertiesDialog::~TItemPropertiesDialog() {
    if (counter_)
        counter_->Cancel = true;
    if (counting_.joinable())
        counting_.join();
}

QLabel* TItemPropertiesDialog::AddField(const QString& caption, const QString& value) {
    auto* label = new QLabel(value);
    label->setTextFormat(Qt::PlainText);  // a name is never markup
    label->setObjectName(caption);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form_->addRow(caption + QLatin1Char(':'), label);
    return label;
}

// Where the space would come back from: the allocated bytes beside the
// size, what hard links keep elsewhere and what sparse files leave out.
void TItemPropertiesDialog::AddDiskFields(const TShellFolder& item) {
    if (!item.IsFolder()) {
        AddField(QStringLiteral("Allocated"), BytesText(item.Allocated()));
        AddField(QStringLiteral("Sparse"),
                 BytesText(std::max<std::int64_t>(0, item.Size() - item.Allocated())));
        return;
    }
    const std::optional<std::int64_t> allocated =
        DiskUsage().Allocated ? DiskUsage().Allocated(item.PathName()) : std::nullopt;
    AddField(QStringLiteral("Allocated"),
             allocated ? BytesText(*allocated) + QStringLiteral(", as analysed")
                       : QStringLiteral("(not known until the next scan)"));
    CountSpace(item.PathName());
}

void TItemPropertiesDialog::CountSpace(const std::string& driveForm) {
    QLabel* shared = AddField(QStringLiteral("Shared"), QStringLiteral("counting\u2026"));
    QLabel* sparse = AddField(QStringLiteral("Sparse"), QStringLiteral("counting\u2026"));
    counter_ = std::make_unique<TAnalizeDisk>();
    counter_->Directory = driveForm;
    counter_->Recurse = true;
    counter_->MakeFileSink = [] { return std::make_unique<TSpaceFactsSink>(); };
    counted_ = false;
    counting_ = std::thread([this, shared, sparse] {
        // On this thread an exception would end the program: a walk that
        // fails (memory running out) is told in the fields instead.
        std::optional<TSpaceFacts> facts;
        const char* failure = nullptr;
        try {
            counter_->Execute();
            if (counter_->Cancel)
                return;
            const std::unique_ptr<TFileSink> sink = counter_->TakeFileSink();
            const auto* space = dynamic_cast<const TSpaceFactsSink*>(sink.get());
            facts = space ? space->Facts() : TSpaceFacts{};
        } catch (const std::bad_alloc&) {
            failure = "not counted: there is not enough memory";
        } catch (...) {
            failure = "not counted";
        }
        try {
            ShowCounted(shared, sparse, facts, failure);
        } catch (...) {
        }
    });
}

void TItemPropertiesDialog::ShowCounted(QLabel* shared, QLabel* sparse,
                                        std::optional<TSpaceFacts> facts, const char* failure) {
    // The labels belong to the window's thread; the call is dropped with
    // the window.
    QMetaObject::invokeMethod(
        this,
        [this, shared, sparse, facts, failure] {
            if (!facts) {
                shared->setText(QString::fromLatin1(failure));
                sparse->setText(QString::fromLatin1(failure));
            } else {
                shared->setText(BytesText(facts->Shared) +
                                QStringLiteral(", with hard links outside it"));
                sparse->setText(BytesText(facts->Sparse) +
                                QStringLiteral(", left out by sparse files"));
            }
            counted_ = true;
        },
        Qt::QueuedConnection);
}

QString TItemPropertiesDialog::Field(const QString& caption) const {
    const auto* label = findChild<QLabel*>(caption);
    return label ? label->text() : QString();
}

TItemPropertiesDialog* ShowItemProperties(QWidget* owner, const TShellFolder& item) {
    auto* dialog = new TItemPropertiesDialog(item, owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_ItemPropertiesDialog.cpp"

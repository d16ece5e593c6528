#include "views/bar/BarRow.h"

#include <QFile>

#include "engine/DiskSizeList.h"
#include "views/common/NumberText.h"
#include "views/common/SpokenText.h"
#include "views/tree/IconCache.h"

TBarRow::TBarRow(std::shared_ptr<const TShellItems> listing, int index)
    : listing_(std::move(listing)), index_(index) {}

void TBarRow::Fill(QString mb, QString percent, bool sparseHint) {
    mb_ = std::move(mb);
    percent_ = std::move(percent);
    const TShellFolder& item = Item();
    sparse_ = sparseHint && !item.IsFolder() && LooksSparse(item.Size(), item.Allocated());
    filled_ = true;
}

QVariant TBarRow::data(int column, int role) const {
    QVariant set = QTreeWidgetItem::data(column, role);
    if (set.isValid() || column < 0 || column > 3) {
        return set;
    }
    return Shown(column, role);
}

QVariant TBarRow::Shown(int column, int role) const {
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return Text(column);
        case Qt::DecorationRole:
            // The index is the one the item's own cache handed out; the
            // icons the list draws are those of the program's shared cache.
            return column == 0 ? QVariant(TIconCache::System().Icon(Item().ImageIndex()))
                               : QVariant();
        default:
            break;
    }
    if (!filled_) {
        return QVariant();
    }
    switch (role) {
        case Qt::TextAlignmentRole:
            return column == 1
                       ? QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter))
                       : QVariant();
        case kRawPathRole:
            return column == 3 ? QVariant(QByteArray::fromStdString(Item().PathName()))
                               : QVariant();
        case Qt::AccessibleTextRole:
            return Spoken(column);
        case Qt::AccessibleDescriptionRole:
            return text(3);
        case Qt::ToolTipRole:
            return sparse_ ? QVariant(SparseHint()) : QVariant();
        default:
            return QVariant();
    }
}

QVariant TBarRow::Text(int column) const {
    if (column == 0) {
        return Item().DisplayName();
    }
    if (!filled_) {
        return QVariant();
    }
    switch (column) {
        case 1:
            return mb_;
        case 2:
            return percent_;
        default:
            return QFile::decodeName(QByteArray::fromStdString(Item().PathName()));
    }
}

// An excluded item's size is the word itself, not a number of MB.
QString TBarRow::SpokenSize() const {
    return text(1) == QLatin1String(kExcludedText) ? text(1) : SpokenMB(text(1));
}

// What a screen reader says for the cells, from the texts they show: the
// name cell speaks the whole row, the bar cell its share.
QVariant TBarRow::Spoken(int column) const {
    switch (column) {
        case 0:
            return SpokenItem(text(0), SpokenSize(), SpokenShare(text(2)));
        case 1:
            return SpokenSize();
        case 2:
            return SpokenShare(text(2));
        default:
            return QStringLiteral("Bar of ") + SpokenShare(text(2));
    }
}

QString TBarRow::SparseHint() const {
    const TShellFolder& item = Item();
    return QStringLiteral("Sparse file: %1 MB in size, %2 MB allocated on the disk")
        .arg(QString::fromStdString(FormatMB(std::to_string(item.Size()))),
             QString::fromStdString(FormatMB(std::to_string(item.Allocated()))));
}

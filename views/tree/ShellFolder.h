#pragma once
// One item of a folder listing, or the listed folder itself: its path in the
// drive form ("C:\home\anna", "C:\" for a drive root), its display name, its
// kind and attributes as the listing saw them, its small-icon index and the
// detail texts of the listing's columns after the name.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TIconCache;

// folder, the separator unless folder ends in it, and name, made in one
// allocation of the right size (a listing makes one for every entry).
std::string JoinedPath(const std::string& folder, char separator, std::string_view name);

class TShellFolder {
  public:
    // What the entry is. Only the kind decides whether an item belongs to the
    // folder group: a link to a folder is opened like a folder, while the
    // type text is a translated description that proves nothing.
    enum class TKind { Folder, FolderLink, File, Other };

    struct TData {
        std::string path;  // drive form, raw name bytes
        // Where the entry lies on the file system: the folder it was listed
        // in, shared by all that folder's items, or with nativeIsFolder set
        // the entry's own path; none for an entry that lies nowhere on this
        // machine.
        std::shared_ptr<const std::string> nativeFolder;
        std::string name;     // last component as the file system reports it
        QString displayName;  // name decoded with the locale
        TKind kind = TKind::Other;
        std::uint32_t attributes = 0;  // attribute bits of the directory listing
        std::int64_t size = 0;         // logical size; 0 for a folder
        std::int64_t allocated = 0;    // bytes it takes on the disk; 0 for a folder
        std::int64_t lastWrite = 0;    // seconds since the epoch, UTC
        bool link = false;             // a symbolic link (never followed for its size)
        bool exists = true;            // the entry's attributes could be read
        bool nativeIsFolder = false;   // nativeFolder is the entry's own path
        std::uint8_t excluded = 0;     // left out by an imported scan: why (TDirEntry)
    };

    TShellFolder() = default;
    TShellFolder(TData data, TIconCache* icons);

    const std::string& PathName() const { return data_.path; }
    // The same entry as the file system names it; empty when it lies
    // nowhere on this machine (an item of an imported scan).
    std::string NativePath() const;
    const std::string& Name() const { return data_.name; }
    const QString& DisplayName() const { return data_.displayName; }
    TKind Kind() const { return data_.kind; }
    bool IsFolder() const { return data_.kind == TKind::Folder || data_.kind == TKind::FolderLink; }
    bool IsLink() const { return data_.link; }
    std::uint32_t Attributes() const { return data_.attributes; }
    std::int64_t Size() const { return data_.size; }
    std::int64_t Allocated() const { return data_.allocated; }
    std::int64_t LastWrite() const { return data_.lastWrite; }
    bool Exists() const { return data_.exists; }
    // Why an imported scan left the item out (TExcludedReason); 0 when it
    // did not, and for every item on this machine.
    std::uint8_t ImportedExclusion() const { return data_.excluded; }

    // The type's MIME name (by the name only; no file is opened), the key of
    // the item's icon. Worked out on first use: a listing of a hundred
    // thousand files must not pay for type lookups that nothing shows.
    QString TypeName() const;
    // Index of the item's small icon in the program's icon cache; -1 when
    // the item was made without a cache.
    int ImageIndex() const;

    // Detail texts of the columns "Size", "Type" and "Date Modified".
    QString SizeText() const;
    QString TypeText() const;
    QString DateText() const;
    QStringList Details() const { return {SizeText(), TypeText(), DateText()}; }

  private:
    TData data_;
    TIconCache* icons_ = nullptr;
    mutable QString typeName_;
    mutable int imageIndex_ = -2;
};

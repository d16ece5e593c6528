#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct chmFile;
struct chmUnitInfo;

namespace cq::help {

// Read access to one compiled HTML help file through chmlib.
// Paths inside the archive are absolute ("/Html/Tree.html"); lookups ignore
// case and accept backslashes, as help topics are often written with them.
class ChmArchive {
  public:
    explicit ChmArchive(const QString& fileName);
    ~ChmArchive();

    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    const QString& FileName() const { return fileName_; }

    bool Contains(const QString& path) const;
    // The object's bytes; empty when it does not exist.
    QByteArray Read(const QString& path) const;
    // Every file object (directories and internal streams left out).
    QStringList Files() const;

    // From the archive's system header, each "" when absent; the contents
    // and index files fall back to the first .hhc / .hhk object.
    QString DefaultTopic() const { return defaultTopic_; }
    QString ContentsFile() const { return contentsFile_; }
    QString IndexFile() const { return indexFile_; }
    QString Title() const { return title_; }

    // "Html\Tree.html" or "Html/Tree.html" -> "/Html/Tree.html".
    static QString NormalizePath(const QString& path);

  private:
    bool Resolve(const QString& path, chmUnitInfo& ui) const;
    void ReadSystemHeader();
    QString FirstFileWithSuffix(const QString& suffix) const;

    QString fileName_;
    chmFile* file_ = nullptr;
    QString defaultTopic_;
    QString contentsFile_;
    QString indexFile_;
    QString title_;
};

}  // namespace cq::help

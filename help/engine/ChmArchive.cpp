#include "help/engine/ChmArchive.h"

#include <chm_lib.h>

#include <QFile>

namespace cq::help {
namespace {

// Records of the #SYSTEM object: code, then a length-prefixed value.
enum SystemCode : quint16 {
    kContentsFile = 0,
    kIndexFile = 1,
    kDefaultTopic = 2,
    kTitle = 3,
};

quint16 ReadWord(const QByteArray& data, int pos) {
    return quint16(quint8(data[pos])) | quint16(quint8(data[pos + 1]) << 8);
}

// System header strings are NUL-terminated inside their record.
QString RecordText(const QByteArray& record) {
    const int end = record.indexOf('\0');
    return QString::fromLocal8Bit(end < 0 ? record : record.left(end));
}

int CollectFile(chmFile*, chmUnitInfo* ui, void* context) {
    const QByteArray path(ui->path);
    // Internal streams start with "::" or "/#" / "/$"; directories end in "/".
    if (path.startsWith('/') && !path.startsWith("/#") && !path.startsWith("/$") &&
        !path.endsWith('/')) {
        static_cast<QStringList*>(context)->append(QString::fromUtf8(path));
    }
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

ChmArchive::ChmArchive(const QString& fileName) : fileName_(fileName) {
    file_ = chm_open(QFile::encodeName(fileName).constData());
    if (file_ != nullptr) {
        ReadSystemHeader();
    }
}

ChmArchive::~ChmArchive() {
    if (file_ != nullptr) {
        chm_close(file_);
    }
}

QString ChmArchive::NormalizePath(const QString& path) {
    QString normal = path;
    normal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!normal.startsWith(QLatin1Char('/'))) {
        normal.prepend(QLatin1Char('/'));
    }
    return normal;
}

bool ChmArchive::Resolve(const QString& path, chmUnitInfo& ui) const {
    const QByteArray name = NormalizePath(path).toUtf8();
    // Directories are objects too, but never pages.
    return file_ != nullptr && !name.endsWith('/') && name.size() < CHM_MAX_PATHLEN &&
           chm_resolve_object(file_, name.constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

bool ChmArchive::Contains(const QString& path) const {
    chmUnitInfo ui;
    return Resolve(path, ui);
}

QByteArray ChmArchive::Read(const QString& path) const {
    chmUnitInfo ui;
    if (!Resolve(path, ui)) {
        return {};
    }
    // Help pages are small; anything claiming more than 64 MB is damaged.
    constexpr LONGUINT64 kMaxObject = 64u << 20;
    if (ui.length == 0 || ui.length > kMaxObject) {
        return {};
    }
    QByteArray data(int(ui.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(
        file_, &ui, reinterpret_cast<unsigned char*>(data.data()), 0, LONGINT64(ui.length));
    if (got <= 0) {
        return {};
    }
    data.truncate(int(got));
    return data;
}

QStringList ChmArchive::Files() const {
    QStringList files;
    if (file_ != nullptr) {
        chm_enumerate(file_, CHM_ENUMERATE_ALL, CollectFile, &files);
    }
    return files;
}

void ChmArchive::ReadSystemHeader() {
    const QByteArray system = Read(QStringLiteral("/#SYSTEM"));
    // A version word, then records of code, length and value.
    int pos = 4;
    while (pos + 4 <= system.size()) {
        const quint16 code = ReadWord(system, pos);
        const quint16 length = ReadWord(system, pos + 2);
        pos += 4;
        if (pos + length > system.size()) {
            break;
        }
        const QString text = RecordText(system.mid(pos, length));
        pos += length;
        if (text.isEmpty()) {
            continue;
        }
        switch (code) {
            case kContentsFile:
                contentsFile_ = NormalizePath(text);
                break;
            case kIndexFile:
                indexFile_ = NormalizePath(text);
                break;
            case kDefaultTopic:
                defaultTopic_ = NormalizePath(text);
                break;
            case kTitle:
                title_ = text;
                break;
            default:
                break;
        }
    }
    if (contentsFile_.isEmpty() || !Contains(contentsFile_)) {
        contentsFile_ = FirstFileWithSuffix(QStringLiteral(".hhc"));
    }
    if (indexFile_.isEmpty() || !Contains(indexFile_)) {
        indexFile_ = FirstFileWithSuffix(QStringLiteral(".hhk"));
    }
}

QString ChmArchive::FirstFileWithSuffix(const QString& suffix) const {
    for (const QString& file : Files()) {
        if (file.endsWith(suffix, Qt::CaseInsensitive)) {
            return file;
        }
    }
    return {};
}

}  // namespace cq::help

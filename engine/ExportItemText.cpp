#include "engine/ExportItemText.h"

#include "platform/DirListing.h"

namespace {

void AppendExportNumber(std::string& out, const char* key, std::uint64_t value) {
    out += ",\"";
    out += key;
    out += "\":";
    out += std::to_string(value);
}

void AppendSizes(std::string& out, const TDirEntry& e) {
    if (e.StatSize > 0)
        AppendExportNumber(out, "asize", static_cast<std::uint64_t>(e.StatSize));
    if (e.DiskBytes > 0)
        AppendExportNumber(out, "dsize", static_cast<std::uint64_t>(e.DiskBytes));
}

}  // namespace

void AppendExportString(std::string& out, std::string_view name) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    out += '"';
}

void AppendExportItem(std::string& out, const TDirEntry& e, std::uint64_t parentDevice,
                      const char* flag) {
    out += "{\"name\":";
    AppendExportString(out, e.Name);
    AppendSizes(out, e);
    if (e.Device != parentDevice)
        AppendExportNumber(out, "dev", e.Device);
    if (e.LastWriteSeconds > 0)
        AppendExportNumber(out, "mtime", static_cast<std::uint64_t>(e.LastWriteSeconds));
    if (!(e.Attr & faDirectory) && e.Links > 1) {
        AppendExportNumber(out, "ino", e.Inode);
        out += ",\"hlnkc\":true";
        AppendExportNumber(out, "nlink", e.Links);
    }
    if (e.IsLink || (e.Attr & faSysFile))
        out += ",\"notreg\":true";
    if (flag != nullptr)
        out += flag;
    out += "}";
}

void AppendExcludedItem(std::string& out, std::string_view name, bool cacheFolder) {
    if (cacheFolder)
        out += "[";
    out += "{\"name\":";
    AppendExportString(out, name);
    out += cacheFolder ? ",\"excluded\":\"pattern\"}]" : ",\"dev\":0,\"excluded\":\"pattern\"}";
}

#pragma once
// What the pie drawing asks of the file system about its slices: whether a
// slice's path is now a folder, a file or gone, its attribute bits, and the
// current folder's listing. The window answers from the platform layer; tests
// and tools answer from a table.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

// Attribute bits of a listed entry, as the directory listing reports them.
constexpr std::uint32_t kPieAttrReadOnly = 0x01;
constexpr std::uint32_t kPieAttrHidden = 0x02;
constexpr std::uint32_t kPieAttrSystem = 0x04;
constexpr std::uint32_t kPieAttrDirectory = 0x10;
constexpr std::uint32_t kPieAttrTemporary = 0x100;
constexpr std::uint32_t kPieAttrCompressed = 0x800;

enum class TPieEntryKind { Missing, Folder, File };

struct TPieEntryState {
    TPieEntryKind Kind = TPieEntryKind::Missing;
    std::uint32_t Attributes = 0;
};

// An item of the current folder's listing.
struct TPieListedItem {
    std::uint32_t Attributes = 0;
    bool ShellReadOnly = false;  // the listing reports the item read-only
};

class TPieFileProbe {
  public:
    virtual ~TPieFileProbe() = default;
    // The current folder's listing holds at least one item.
    virtual bool ListingHasItems() const = 0;
    // What is at the path (drive form) now.
    virtual TPieEntryState Probe(const std::string& path) const = 0;
    // The listing's item with exactly this path, if there is one.
    virtual std::optional<TPieListedItem> ListedItem(const std::string& path) const = 0;
};

// A probe answered from tables filled in advance.
class TPieFileTable : public TPieFileProbe {
  public:
    // An entry that exists on disk; listed: also an item of the listing.
    void AddEntry(const std::string& path, TPieEntryKind kind, std::uint32_t attributes = 0,
                  bool listed = true, bool shellReadOnly = false);
    // A listing item whose path no longer exists on disk.
    void AddVanished(const std::string& path, std::uint32_t attributes = 0);

    bool ListingHasItems() const override { return !listed_.empty(); }
    TPieEntryState Probe(const std::string& path) const override;
    std::optional<TPieListedItem> ListedItem(const std::string& path) const override;

  private:
    std::map<std::string, TPieEntryState> entries_;
    std::map<std::string, TPieListedItem> listed_;
};

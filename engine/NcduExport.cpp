#include "engine/NcduExport.h"

#include <exception>
#include <memory>
#include <new>
#include <vector>

#include "engine/ExcludeWalk.h"
#include "engine/ParallelExport.h"
#include "platform/DirListing.h"
#include "platform/FileInfo.h"
#include "platform/KernelFileSystem.h"
#include "platform/WalkBounds.h"

namespace {

// Past this depth a folder is listed and closed again, and the folders in it
// are opened by their whole path: a deep tree never runs out of descriptors.
constexpr std::size_t kOpenDepth = 128;

// One folder being written: its entries, read at once, and the next one.
struct TFrame {
    std::unique_ptr<TDirListing> Listing;  // open while its subfolders are opened from it
    std::string Native;
    std::vector<TDirEntry> Entries;
    std::size_t Next = 0;
    std::uint64_t Device = 0;
    TExcludeState Exclude;  // with exclude rules
};

std::string Header(const TExportSettings& s) {
    std::string text = "[1,2,{\"progname\":";
    AppendExportString(text, s.ProgName);
    text += ",\"progver\":";
    AppendExportString(text, s.ProgVer);
    text += ",\"timestamp\":" + std::to_string(s.Timestamp) + "},\n";
    return text;
}

class TExporter {
  public:
    TExporter(const TExportSettings& s, TExportOutput& out) : s_(s), out_(out) {
        if (s.Exclude != nullptr && !s.Exclude->Empty())
            exclude_ = std::make_unique<TExcludeWalk>(*s.Exclude);
    }

    // Writes the tree below Root, whose listing is open, after the header.
    bool Run(const TDirEntry& root, std::unique_ptr<TDirListing> listing, std::string& error) {
        bounds_ =
            std::make_unique<TWalkBounds>(s_.NativeRoot, listing->Device(), listing->MountId());
        text_ += "[";
        Info(root, root.Device + 1);  // the root always names its device
        Open(std::move(listing), s_.NativeRoot, root.Device,
             exclude_ ? s_.Exclude->FolderState(s_.NativeRoot) : TExcludeState());
        while (!stack_.empty()) {
            if (s_.Cancel != nullptr && s_.Cancel->load()) {
                error = "cancelled";
                return false;
            }
            Step();
            if (text_.size() >= (1 << 16))
                Emit();
        }
        text_ += "]\n";
        Emit();
        return true;
    }

  private:
    void Emit() {
        out_.Write(text_);
        text_.clear();
    }

    void Info(const TDirEntry& e, std::uint64_t parentDevice, const char* flag = nullptr) {
        AppendExportItem(text_, e, parentDevice, flag);
    }

    void Open(std::unique_ptr<TDirListing> listing, std::string native, std::uint64_t device,
              TExcludeState exclude) {
        TFrame frame;
        frame.Exclude = std::move(exclude);
        frame.Native = std::move(native);
        frame.Device = device;
        TDirEntry e;
        while (listing->Next(e))
            frame.Entries.push_back(e);
        if (stack_.size() < kOpenDepth)
            frame.Listing = std::move(listing);
        if (s_.Progress != nullptr)
            s_.Progress->Folders.fetch_add(1, std::memory_order_relaxed);
        stack_.push_back(std::move(frame));
    }

    void Step() {
        TFrame& top = stack_.back();
        if (top.Next == top.Entries.size()) {
            text_ += "]";
            stack_.pop_back();
            return;
        }
        const TDirEntry& e = top.Entries[top.Next++];
        text_ += ",\n";
        if (Excluded(top, e))
            return;
        if (!(e.Attr & faDirectory)) {
            Info(e, top.Device);
            if (s_.Progress != nullptr) {
                s_.Progress->Files.fetch_add(1, std::memory_order_relaxed);
                s_.Progress->Bytes.fetch_add(static_cast<std::uint64_t>(e.StatSize),
                                             std::memory_order_relaxed);
            }
            return;
        }
        Folder(top, e);
    }

    void Folder(const TFrame& parent, const TDirEntry& e) {
        if (e.OtherMount && !Enters(parent, e)) {
            Info(e, parent.Device,
                 KernelFs(parent, e) ? ",\"excluded\":\"kernfs\"" : ",\"excluded\":\"othfs\"");
            return;
        }
        std::string native = parent.Native;
        if (native.back() != '/')
            native += '/';
        native += e.Name;
        auto listing = parent.Listing
                           ? std::make_unique<TDirListing>(parent.Listing->Fd(), e.Name,
                                                           TDirListing::kNoReadOnly)
                           : std::make_unique<TDirListing>(native, TDirListing::kNoReadOnly);
        text_ += "[";
        if (!listing->IsOpen()) {
            Info(e, parent.Device, ",\"read_error\":true");
            text_ += "]";
            return;
        }
        Info(e, parent.Device);
        TExcludeState exclude;
        if (exclude_) {
            exclude_->Enter(parent.Exclude);
            exclude = exclude_->ChildState(e.Name);
        }
        Open(std::move(listing), std::move(native), e.Device, std::move(exclude));
    }

    // Writes the entry as left out when the rules exclude it.
    bool Excluded(const TFrame& parent, const TDirEntry& e) {
        if (!exclude_)
            return false;
        exclude_->Enter(parent.Exclude);
        const bool folder = e.Attr & faDirectory;
        const int why =
            exclude_->Reason(parent.Listing ? parent.Listing->Fd() : -1,
                             parent.Listing ? e.Name : parent.Native + "/" + e.Name, folder);
        if (why == -1)
            return false;
        AppendExcludedItem(text_, e.Name, why == TExcludeWalk::kCache);
        return true;
    }

    // A folder of a kernel file system is named so, not as just another one.
    static bool KernelFs(const TFrame& parent, const TDirEntry& e) {
        return parent.Listing ? IsKernelFileSystem(parent.Listing->Fd(), e.Name)
                              : IsKernelFileSystem(-1, parent.Native + "/" + e.Name);
    }

    bool Enters(const TFrame& parent, const TDirEntry& e) const {
        if (parent.Listing)
            return bounds_->EntersEntry(parent.Listing->Fd(), e);
        const TDirListing reopened(parent.Native, TDirListing::kNoReadOnly);
        return reopened.IsOpen() && bounds_->EntersEntry(reopened.Fd(), e);
    }

    const TExportSettings& s_;
    TExportOutput& out_;
    std::unique_ptr<TWalkBounds> bounds_;
    std::vector<TFrame> stack_;
    std::string text_;
    std::unique_ptr<TExcludeWalk> exclude_;
};

}  // namespace

bool ExportNcdu(const TExportSettings& settings, TExportOutput& out, std::string& error) {
    TDirEntry root;
    if (!LookupNative(settings.NativeRoot, root) || !(root.Attr & faDirectory)) {
        error = settings.NativeRoot + ": not a folder that can be read";
        return false;
    }
    auto listing = std::make_unique<TDirListing>(settings.NativeRoot, TDirListing::kNoReadOnly);
    if (!listing->IsOpen()) {
        error = settings.NativeRoot + ": cannot be read";
        return false;
    }
    root.Name = settings.NativeRoot;
    // Whichever thread it happened on, a failure ends the export here with
    // its message, after every lister has ended.
    try {
        out.Write(Header(settings));
        if (settings.Threads > 1)
            return ExportNcduParallel(settings, root, std::move(listing), out, error);
        return TExporter(settings, out).Run(root, std::move(listing), error);
    } catch (const std::bad_alloc&) {
        error = settings.NativeRoot + ": cannot be exported: there is not enough memory";
    } catch (const std::exception& e) {
        error = settings.NativeRoot + ": cannot be exported: " + e.what();
    }
    return false;
}

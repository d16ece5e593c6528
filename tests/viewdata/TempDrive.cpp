#include "tests/viewdata/TempDrive.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

std::string MountOf(const QTemporaryDir& dir) {
    return dir.path().toStdString();
}

}  // namespace

TTempDrive::TTempDrive() : table_(TDriveTable({TDrive{'T', MountOf(dir_)}})) {}

std::string TTempDrive::Native(const std::string& relative) const {
    return relative.empty() ? MountOf(dir_) : MountOf(dir_) + "/" + relative;
}

void TTempDrive::MakeFolder(const std::string& relative) const {
    std::filesystem::create_directories(Native(relative));
}

void TTempDrive::MakeFile(const std::string& relative, long long size) const {
    const std::string path = Native(relative);
    if (!std::ofstream(path, std::ios::binary | std::ios::trunc)) {
        throw std::runtime_error("cannot make " + relative);
    }
    // Sparse: the logical size is what the views read, no blocks are needed.
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
}

void TTempDrive::MakeLink(const std::string& target, const std::string& relative) const {
    std::filesystem::create_symlink(target, Native(relative));
}

void TTempDrive::Remove(const std::string& relative) const {
    std::filesystem::remove_all(Native(relative));
}

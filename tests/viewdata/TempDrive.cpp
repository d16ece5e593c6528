#include "tests/viewdata/TempDrive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
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
    const int fd = ::open(Native(relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::ftruncate(fd, size) != 0) {
        throw std::runtime_error("cannot make " + relative);
    }
    ::close(fd);
}

void TTempDrive::MakeLink(const std::string& target, const std::string& relative) const {
    std::filesystem::create_symlink(target, Native(relative));
}

void TTempDrive::Remove(const std::string& relative) const {
    std::filesystem::remove_all(Native(relative));
}

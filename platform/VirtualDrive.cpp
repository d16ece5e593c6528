#include "platform/VirtualDrive.h"

#include "platform/DriveForm.h"

namespace {
const TVirtualDrive* installed = nullptr;
}  // namespace

const TVirtualDrive* VirtualDriveFor(std::string_view driveForm) {
    if (installed == nullptr || DriveLetterOf(driveForm) != installed->Letter())
        return nullptr;
    return installed;
}

TScopedVirtualDrive::TScopedVirtualDrive(const TVirtualDrive& drive) : previous_(installed) {
    installed = &drive;
}

TScopedVirtualDrive::~TScopedVirtualDrive() {
    installed = previous_;
}

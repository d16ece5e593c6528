#include "views/common/DisplayText.h"

#include "platform/DriveForm.h"
#include "platform/NameText.h"

QString DisplayText(std::string_view escaped) {
    return VisibleName(UnescapeName(escaped));
}

#include "app/drives/DriveText.h"

#include "platform/DriveLetter.h"

namespace {

char LowerAZ(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// "... (X:)": the form every display name of the drive table ends in.
bool EndsInDriveTag(const std::string& text) {
    const std::size_t n = text.size();
    return n >= 4 && text[n - 1] == ')' && text[n - 2] == ':' && text[n - 4] == '(';
}

}  // namespace

std::string DriveText(const std::string& text) {
    // A display name is a mount point followed by " (X:)", and a mount point
    // may itself contain a colon; the tag at the end is then the only
    // reliable place of the letter.
    if (EndsInDriveTag(text))
        return text.substr(text.size() - 3, 2);
    // Otherwise: from the character before the first colon up to, but not
    // including, the last character ("C:\" -> "C:", "C:\Data" -> "C:\Dat").
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return text.empty() ? text : text.substr(0, text.size() - 1);
    const std::size_t from = colon == 0 ? 0 : colon - 1;
    const std::size_t end = text.size() - 1;
    return end > from ? text.substr(from, end - from) : std::string();
}

std::string DriveMenuCaption(const std::string& displayName) {
    std::string caption = displayName;
    for (std::size_t i = 0; i < caption.size(); ++i)
        caption[i] = i == 0 ? UpperDriveLetter(caption[i]) : LowerAZ(caption[i]);
    return caption;
}

std::string DriveNotMountedText(char letter) {
    return std::string("Drive \"") + UpperDriveLetter(letter) +
           ":\\\" is not mounted. Its stored results are kept.";
}

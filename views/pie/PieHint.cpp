#include "views/pie/PieHint.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kDayNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char kLineBreak[] = "\r\n";

// Day 0 of the date count in which times are kept.
QDateTime ZeroDate() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0));
}

}  // namespace

int CurrentZoneBias() {
    return -QDateTime::currentDateTime().offsetFromUtc() / 60;
}

std::string HintZonePart(int biasMinutes) {
    const int magnitude = std::abs(biasMinutes);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%c%02d%02d", biasMinutes >= 0 ? '+' : '-',
                  magnitude / 60 % 100, magnitude % 60);
    return buffer;
}

std::string HintDateText(const std::optional<QDateTime>& localTime, int biasMinutes) {
    const QDateTime when = localTime && localTime->isValid() ? *localTime : ZeroDate();
    const QDate date = when.date();
    const QTime time = when.time();
    // The file system keeps times to two seconds.
    const int second = time.second() - time.second() % 2;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", time.hour(), time.minute(), second);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s, %d %s %d %s %s", kDayNames[date.dayOfWeek() - 1],
                  date.day(), kMonthNames[date.month() - 1], date.year(), clock,
                  HintZonePart(biasMinutes).c_str());
    return buffer;
}

std::string HintDateLine(const std::optional<QDateTime>& localTime, int biasMinutes) {
    return "Modified: " + HintDateText(localTime, biasMinutes);
}

std::string FileSizeLine(const std::string& megabytes, const char* label) {
    return label + megabytes + kLineBreak;
}

std::string FolderSizeLine(const std::string& megabytes, const char* label) {
    return label + megabytes + "MB" + kLineBreak;
}

std::string PieHintText(const std::string& path, const std::optional<std::string>& sizeLine,
                        const std::string& dateLine) {
    if (!sizeLine)
        return std::string();
    return path + kLineBreak + *sizeLine + dateLine;
}

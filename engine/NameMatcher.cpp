#include "engine/NameMatcher.h"

#include "engine/NameFold.h"
#include "platform/NamePattern.h"

TNameMatcher::TNameMatcher(const TFindQuery& query)
    : mode_(query.Mode), ignoreCase_(query.IgnoreCase), pattern_(query.Pattern) {
    if (pattern_.empty()) {
        error_ = "The pattern is empty.";
        return;
    }
    if (mode_ == TFindMode::Contains && ignoreCase_)
        pattern_ = FoldNameCase(pattern_);
    if (mode_ != TFindMode::Regex)
        return;
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (ignoreCase_)
        options |= QRegularExpression::CaseInsensitiveOption;
    regex_ = QRegularExpression(QString::fromStdString(pattern_), options);
    if (!regex_.isValid())
        error_ = "The regular expression is not valid: " + regex_.errorString().toStdString() +
                 " at " + std::to_string(regex_.patternErrorOffset()) + ".";
    else
        regex_.optimize();
}

bool TNameMatcher::Matches(std::string_view rawName) const {
    switch (mode_) {
        case TFindMode::Wildcard:
            return NameMatchesWildcard(pattern_, rawName, ignoreCase_);
        case TFindMode::Contains:
            if (!ignoreCase_)
                return rawName.find(pattern_) != std::string_view::npos;
            return FoldNameCase(rawName).find(pattern_) != std::string::npos;
        case TFindMode::Regex:
            return regex_.match(DecodeNameUtf8(rawName)).hasMatch();
    }
    return false;
}

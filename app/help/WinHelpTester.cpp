#include "app/help/WinHelpTester.h"

namespace cq::app {

bool TWinHelpTester::CanShowALink(const QString&, const QString&) {
    return false;
}

bool TWinHelpTester::CanShowTopic(const QString&, const QString&) {
    return false;
}

bool TWinHelpTester::CanShowContext(int, const QString&) {
    return false;
}

QStringList TWinHelpTester::GetHelpStrings(const QString& aLink) {
    return {QStringLiteral(": ") + aLink};
}

QString TWinHelpTester::GetHelpPath() {
    return {};
}

QString TWinHelpTester::GetDefaultHelpFile() {
    return {};
}

}  // namespace cq::app

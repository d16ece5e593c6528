#include "tests/pieui/UiScript.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
constexpr int kPollMs = 10;
constexpr int kMaxPolls = 500;  // five seconds for one step
}  // namespace

QMenu* ShownMenu() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void TUiScript::Start(QList<TStep> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    polls_ = 0;
    QTimer::singleShot(0, &alive_, [this] { Poll(); });
}

void TUiScript::Poll() {
    if (Finished())
        return;
    if (steps_[next_]()) {
        ++next_;
        polls_ = 0;
        if (Finished())
            return;
    } else if (++polls_ > kMaxPolls) {
        // Give up on a widget that never came; the test's checks then fail.
        next_ = steps_.size();
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        return;
    }
    QTimer::singleShot(kPollMs, &alive_, [this] { Poll(); });
}

TUiScript::TStep TUiScript::ChooseMenuItem(const QString& text, QString* seenItems) {
    return [text, seenItems] {
        QMenu* menu = ShownMenu();
        if (!menu || !menu->isVisible())
            return false;
        for (QAction* action : menu->actions()) {
            if (seenItems && !action->isSeparator())
                *seenItems += action->text() + (action->isEnabled() ? "|" : "(off)|");
        }
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return true;
            }
        }
        return false;
    };
}

TUiScript::TStep TUiScript::PressKeyInMenu(int key) {
    return [key] {
        QMenu* menu = ShownMenu();
        if (!menu || !menu->isVisible())
            return false;
        QTest::keyClick(menu, static_cast<Qt::Key>(key));
        return true;
    };
}

TUiScript::TStep TUiScript::ClickMessageBoxButton(int standardButton, QString* seenText) {
    return [standardButton, seenText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return false;
        if (seenText)
            *seenText = box->windowTitle() + "|" + box->text();
        QAbstractButton* button =
            box->button(static_cast<QMessageBox::StandardButton>(standardButton));
        if (!button)
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
        return true;
    };
}

TUiScript::TStep TUiScript::TypeIntoInputDialog(const QString& text, bool accept) {
    return [text, accept] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return false;
        auto* edit = dialog->findChild<QLineEdit*>();
        if (!edit)
            return false;
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, accept ? Qt::Key_Return : Qt::Key_Escape);
        return true;
    };
}

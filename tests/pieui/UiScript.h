#pragma once
// Drives modal menus and dialogs from inside their own event loops: each step
// waits (polling the event loop) until its widget is shown, then acts on it
// like a user would, with clicks and keys.
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QMessageBox;
class QWidget;

class TUiScript {
  public:
    using TStep = std::function<bool()>;  // true once it has acted

    // Runs the steps in order from the event loop, starting now.
    void Start(QList<TStep> steps);
    bool Finished() const { return next_ >= steps_.size(); }
    int StepsDone() const { return next_; }

    // Steps for the common cases.
    static TStep ChooseMenuItem(const QString& text, QString* seenItems = nullptr);
    static TStep PressKeyInMenu(int key);
    static TStep ClickMessageBoxButton(int standardButton, QString* seenText = nullptr);
    static TStep TypeIntoInputDialog(const QString& text, bool accept);

  private:
    void Poll();

    QList<TStep> steps_;
    int next_ = 0;
    int polls_ = 0;
    // The context of the polls: a poll still waiting when the script goes
    // (with its test) is dropped, never run on a script that is gone.
    QObject alive_;
};

// The visible popup menu, if one is up.
QMenu* ShownMenu();

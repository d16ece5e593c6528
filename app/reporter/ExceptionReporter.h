#pragma once

#include <QApplication>
#include <QString>
#include <functional>

// What the user is told about an exception that no command handled.
struct TExceptionReport {
    QString Kind;   // the exception's type, e.g. "EConvertError"
    QString Text;   // its message
    QString Trace;  // the call stack at the throw; empty when none was had
};

// The application object: every event, and so every command, runs through
// notify. An exception that escapes a command ends that command there; the
// user sees a dialog with the error and its stack, and the program goes on.
class TCobaltApplication : public QApplication {
    Q_OBJECT
  public:
    TCobaltApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows a report. The default is the dialog; tests may watch instead.
    using TPresenter = std::function<void(const TExceptionReport&)>;
    void SetPresenter(TPresenter presenter) { FPresenter = std::move(presenter); }

    int ReportCount() const { return FReportCount; }
    const TExceptionReport& LastReport() const { return FLast; }

    // The report dialog (modal, "Cobaltquarry" caption, the trace under
    // "Show Details...").
    static void ShowReportDialog(const TExceptionReport& report);

  private:
    void Report(TExceptionReport report);
    void Present();

    TPresenter FPresenter;
    TExceptionReport FLast;
    int FReportCount = 0;
    bool FPending = false;
    bool FShowing = false;
};

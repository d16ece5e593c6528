#include "app/reporter/ExceptionReporter.h"

#include <cxxabi.h>

#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#include "app/reporter/ThrowTrace.h"

namespace {

QString TypeName(const std::type_info& type) {
    int status = 0;
    char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    QString result =
        status == 0 && name ? QString::fromLatin1(name) : QString::fromLatin1(type.name());
    std::free(name);
    return result;
}

}  // namespace

TCobaltApplication::TCobaltApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TCobaltApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Report({TypeName(typeid(error)), QString::fromLocal8Bit(error.what()), LastThrowTrace()});
    } catch (...) {
        Report({"unknown exception", "An unknown error occurred.", LastThrowTrace()});
    }
    ClearThrowTrace();
    return false;
}

void TCobaltApplication::Report(TExceptionReport report) {
    ++FReportCount;
    FLast = std::move(report);
    // The dialog comes after the failed event has been left: an error in a
    // paint must not open a modal loop inside the paint.
    if (!FPending) {
        FPending = true;
        QTimer::singleShot(0, this, [this] { Present(); });
    }
}

void TCobaltApplication::Present() {
    FPending = false;
    // One dialog at a time: errors while it is open are counted, not stacked.
    if (FShowing) {
        return;
    }
    FShowing = true;
    TExceptionReport report = FLast;
    if (FPresenter) {
        FPresenter(report);
    } else {
        ShowReportDialog(report);
    }
    FShowing = false;
}

void TCobaltApplication::ShowReportDialog(const TExceptionReport& report) {
    QMessageBox box(QMessageBox::Critical, "Cobaltquarry", report.Text, QMessageBox::Ok,
                    activeWindow());
    box.setObjectName("exceptionReport");
    box.setTextFormat(Qt::PlainText);  // a report may quote a file name
    box.setInformativeText(
        QString("The command was stopped (%1). The program goes on.").arg(report.Kind));
    if (!report.Trace.isEmpty()) {
        box.setDetailedText(report.Trace);
    }
    box.exec();
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_ExceptionReporter.cpp"

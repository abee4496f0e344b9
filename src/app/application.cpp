#include "application.h"

#include <QtDebug>
#include <stdexcept>

namespace kerf {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

Application* Application::instance() {
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::setExceptionHandler(ExceptionHandler handler) { handler_ = std::move(handler); }

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        report(std::runtime_error("Unknown error"));
    }
    return false;
}

void Application::report(const std::exception& error) {
    // The handler shows a message box; an exception thrown while reporting one must not
    // start an endless chain of reports.
    if (!handler_ || reporting_) {
        qCritical("Exception caught: %s", error.what());
        return;
    }
    reporting_ = true;
    try {
        handler_(error);
    } catch (const std::exception& nested) {
        qCritical("Exception caught while reporting an exception: %s", nested.what());
    } catch (...) {
        qCritical("Unknown exception caught while reporting an exception");
    }
    reporting_ = false;
}

}  // namespace kerf

#pragma once
// The application object. Every event reaches its handler through notify(); an exception
// that escapes a handler is caught here, once for the whole program, and handed to the
// exception handler that the window installs. The interrupted handler is not resumed and
// the event loop runs on.

#include <QApplication>
#include <exception>
#include <functional>

namespace kerf {

class Application : public QApplication {
    Q_OBJECT
  public:
    using ExceptionHandler = std::function<void(const std::exception&)>;

    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The running application object, or nullptr when the program runs under a plain
    // QApplication (then exceptions from handlers are not caught).
    static Application* instance();

    void setExceptionHandler(ExceptionHandler handler);
    bool hasExceptionHandler() const { return static_cast<bool>(handler_); }

  private:
    void report(const std::exception& error);

    ExceptionHandler handler_;
    bool reporting_ = false;
};

}  // namespace kerf

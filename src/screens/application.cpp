#include "screens/application.h"

#include <cstdio>
#include <exception>
#include <new>

#include "screens/app_context.h"

namespace tavrel::screens {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

QString stoppedActionMessage(const QString& reason) {
    QString text = QStringLiteral("This action has caused an unknown error");
    if (!reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(reason);
    return text + QStringLiteral(" and has been stopped. The editor keeps your values; apply or "
                                 "save them before you try the action again.");
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        report(stoppedActionMessage(QStringLiteral("not enough memory")));
    } catch (const std::exception& error) {
        report(stoppedActionMessage(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        report(stoppedActionMessage({}));
    }
    return false;
}

void Application::report(const QString& text) {
    // The box runs an event loop of its own; a failure inside it is only written
    // out, never asked about in a second box.
    if (reporting_ || !messages_) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return;
    }
    reporting_ = true;
    try {
        messages_->inform(activeWindow(), text);
    } catch (...) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    reporting_ = false;
}

} // namespace tavrel::screens

#pragma once

#include <QApplication>

namespace tavrel::screens {

class MessageSeam;

// The program's application object. An exception that escapes an event handler
// stops that one action and is told in a message box; the program, its windows and
// every value stay as they are. Without this, Qt ends the program on the spot and
// every value not applied or saved is lost.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Where a stopped action is told; until set, it goes to the error output.
    void setMessages(MessageSeam* messages) { messages_ = messages; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void report(const QString& text);

    MessageSeam* messages_ = nullptr;
    bool reporting_ = false;
};

// The message for an action stopped by an exception; `reason` is empty when the
// exception says nothing a user can read.
QString stoppedActionMessage(const QString& reason);

} // namespace tavrel::screens

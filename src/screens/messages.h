#pragma once

#include <QList>
#include <QString>
#include <QTime>
#include <QWidget>

class QPlainTextEdit;

namespace tavrel::screens {

// A status text as the main window showed it, and when.
struct StatusMessage {
    QTime time;
    QString text;
};

// "Messages": every status text of this run, oldest first, each whole and with its
// time, for the user who missed one or wants to read a long one again.
class Form_Messages : public QWidget {
    Q_OBJECT
public:
    explicit Form_Messages(const QList<StatusMessage>& messages, QWidget* parent = nullptr);

    void add(const StatusMessage& message);

private:
    QPlainTextEdit* text_;
};

} // namespace tavrel::screens

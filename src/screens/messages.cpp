#include "screens/messages.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tavrel::screens {

Form_Messages::Form_Messages(const QList<StatusMessage>& messages, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("Form_Messages"));
    setWindowTitle(QStringLiteral("Messages"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("Text_Messages"));
    // Read and copied, never typed into.
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setPlaceholderText(QStringLiteral("No messages yet."));
    text_->setMinimumSize(text_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 70,
                          text_->fontMetrics().lineSpacing() * 12);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    for (const StatusMessage& message : messages)
        add(message);
}

void Form_Messages::add(const StatusMessage& message) {
    text_->appendPlainText(message.time.toString(QStringLiteral("HH:mm:ss")) +
                           QStringLiteral("  ") + message.text);
    // The newest stays in view.
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

} // namespace tavrel::screens

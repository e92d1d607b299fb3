#include "screens/screen_test_support.h"

#include <QtTest>

namespace tavrel::test {

void RecordingSeam::inform(QWidget*, const QString& text) {
    shown.push_back({text, {}});
}

bool RecordingSeam::ask(QWidget*, const QString& text, const QString& title) {
    shown.push_back({text, title});
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QWidget* child(QWidget* parent, const QString& name) {
    auto* found = parent->findChild<QWidget*>(name);
    if (!found)
        qWarning("no child widget called %s", qPrintable(name));
    return found;
}

} // namespace tavrel::test

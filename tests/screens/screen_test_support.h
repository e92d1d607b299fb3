#pragma once

#include <QString>
#include <QWidget>

#include <deque>
#include <vector>

#include "core/editor_state.h"
#include "core/settings_store.h"
#include "screens/app_context.h"

namespace tavrel::test {

// Records every message and question and answers questions from a queue (No when
// the queue is empty), so no test ever blocks on a modal box.
class RecordingSeam final : public screens::MessageSeam {
public:
    struct Shown {
        QString text;
        QString title; // empty for a plain message
    };
    void inform(QWidget* parent, const QString& text) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;

    std::vector<Shown> shown;
    std::deque<bool> answers;
};

// A store, editor state, recording seam and context, fresh for each test.
struct ScreenFixture {
    SettingsStore store;
    EditorState state;
    RecordingSeam seam;
    screens::AppContext context{store, state, seam};
};

// The child widget called `name` (objectName), failing the test when missing.
QWidget* child(QWidget* parent, const QString& name);

} // namespace tavrel::test

#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_store.h"

namespace tavrel {

// One undoable step: the slots one command changed, and the command's name for a
// change of many values at once (empty for a single value's change).
struct HistoryStep {
    std::vector<SlotChange> changes;
    std::string what;
};

// Undo and redo of value changes. It learns of every change through the store's
// change hook (`record`) and plays steps back through the store itself. It also
// remembers the values last read from, applied to, saved to or loaded from a file,
// so the program can tell whether closing would lose work.
class History {
public:
    static constexpr std::size_t kDefaultLimit = 1000;
    explicit History(std::size_t limit = kDefaultLimit) : limit_(limit) {}

    // A new step. Drops whatever could have been redone; the oldest step goes when
    // the history is full. Ignored while a step is being played back.
    void record(const std::vector<SlotChange>& changes, std::string_view what);

    // The step an undo or a redo would play, or null.
    const HistoryStep* nextUndo() const { return done_.empty() ? nullptr : &done_.back(); }
    const HistoryStep* nextRedo() const { return undone_.empty() ? nullptr : &undone_.back(); }

    // Puts back the values before (undo) or after (redo) the step in one change of
    // the store, and returns the step played; null when there is none.
    const HistoryStep* undo(SettingsStore& store);
    const HistoryStep* redo(SettingsStore& store);

    void clear();

    // The values that a file holds now; the current values differ from them while
    // there are changes that only the editor knows.
    void markSaved(const ValueSet& values) { saved_ = values; }
    bool unsaved(const ValueSet& values) const { return values != saved_; }

private:
    void play(SettingsStore& store, const HistoryStep& step, bool forward);

    std::size_t limit_;
    std::deque<HistoryStep> done_;
    std::deque<HistoryStep> undone_;
    bool playing_ = false;
    ValueSet saved_{};
};

} // namespace tavrel

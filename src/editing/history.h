#pragma once

#include <cstddef>
#include <deque>
#include <optional>
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

// What the editor last did with a file that holds every value.
enum class FileEvent { Read, Applied, Saved, Loaded };

// Undo and redo of value changes. It learns of every change through the store's
// change hook (`record`) and plays steps back through the store itself. It also
// remembers what the game's file and the settings file last saved or loaded hold,
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

    // The values a file holds now: the game's file after a read or an Apply, the
    // settings file called `file` after a save or a load.
    void markFile(FileEvent event, const ValueSet& values, std::string_view file = {});
    // The question to ask before `action` (closing, or anything else that replaces
    // every value) would lose values that no file holds, neither the game's file nor
    // the settings file last saved or loaded; empty when it loses nothing.
    std::string closingQuestion(const ValueSet& values, std::string_view action = "closing") const;

private:
    void play(SettingsStore& store, const HistoryStep& step, bool forward);

    std::size_t limit_;
    std::deque<HistoryStep> done_;
    std::deque<HistoryStep> undone_;
    bool playing_ = false;
    ValueSet inGame_{};
    std::optional<ValueSet> inSettingsFile_;
    std::string settingsFile_;
    FileEvent settingsEvent_ = FileEvent::Saved;
};

} // namespace tavrel

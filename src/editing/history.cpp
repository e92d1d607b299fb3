#include "editing/history.h"

namespace tavrel {

void History::record(const std::vector<SlotChange>& changes, std::string_view what) {
    if (playing_ || changes.empty())
        return;
    undone_.clear();
    done_.push_back({changes, std::string(what)});
    while (done_.size() > limit_)
        done_.pop_front();
}

const HistoryStep* History::undo(SettingsStore& store) {
    if (done_.empty())
        return nullptr;
    // Moved first, so that whoever the store tells of the change sees the history
    // as it is after the undo.
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    play(store, undone_.back(), false);
    return &undone_.back();
}

const HistoryStep* History::redo(SettingsStore& store) {
    if (undone_.empty())
        return nullptr;
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    play(store, done_.back(), true);
    return &done_.back();
}

void History::clear() {
    done_.clear();
    undone_.clear();
}

void History::play(SettingsStore& store, const HistoryStep& step, bool forward) {
    ValueSet values = store.values();
    for (const SlotChange& change : step.changes)
        values[static_cast<std::size_t>(change.record - 1)] =
            forward ? change.after : change.before;
    playing_ = true;
    store.assign(values, step.what);
    playing_ = false;
}

void History::markFile(FileEvent event, const ValueSet& values, std::string_view file) {
    if (event == FileEvent::Read || event == FileEvent::Applied) {
        inGame_ = values;
        return;
    }
    inSettingsFile_ = values;
    settingsFile_ = file;
    settingsEvent_ = event;
}

std::string History::closingQuestion(const ValueSet& values, std::string_view action) const {
    if (values == inGame_ || values == inSettingsFile_)
        return {};
    std::string text = "Your changes have not been applied to the game";
    if (!inSettingsFile_)
        text += " and are not saved in any settings file.";
    else
        text += ", and they differ from " + settingsFile_ + ", the settings file you " +
                (settingsEvent_ == FileEvent::Saved ? "saved" : "loaded") + " last.";
    return text.append(" Apply them before ").append(action).append("?");
}

} // namespace tavrel

#include "editing/value_origins.h"

#include <utility>

namespace tavrel {

void ValueOrigins::set(std::vector<std::string> layers, const ValueSet& read, std::string readAs) {
    layers_ = std::move(layers);
    // A reader that names no layer tells nothing of where values come from.
    if (!layers_.empty())
        layers_.resize(kSlotCount);
    read_ = read;
    readAs_ = std::move(readAs);
}

void ValueOrigins::clear() {
    layers_.clear();
    readAs_.clear();
}

ValueOrigins::Origin ValueOrigins::of(int record, std::int32_t now) const {
    if (!known() || record < 1 || record > kSlotCount)
        return {};
    const auto at = static_cast<std::size_t>(record - 1);
    return {now == read_[at] ? Origin::Kind::Read : Origin::Kind::Edited, layers_[at], read_[at]};
}

} // namespace tavrel

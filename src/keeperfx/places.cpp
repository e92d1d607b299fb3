#include "keeperfx/places.h"

#include <cstddef>

namespace tavrel::keeperfx {

const Place& placeOf(int record) {
    return places_data::kPlaces[static_cast<std::size_t>(record - 1)];
}

} // namespace tavrel::keeperfx

#pragma once

#include <array>
#include <string_view>

namespace tavrel {

inline constexpr int kTemplateTexts = 87;

// The whole game file in a compact notation: "*" a tab, "+" CR LF, "=" the next
// slot's value, "/" a second copy of a value written elsewhere, anything else itself.
// Only the concatenation of the texts matters.
const std::array<std::string_view, kTemplateTexts>& CreatureTemplate();

} // namespace tavrel

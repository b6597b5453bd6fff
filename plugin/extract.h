// Marker extraction: every value the system reads from a web answer, a header
// block or JSON-like text is the text between a left and a right marker.
// Nothing is parsed and no escape is decoded; the first occurrence wins.
#pragma once

#include <optional>

#include "common/text.h"

namespace orvanta {

// Text between the first left marker at or after start and the next right
// marker after it; "#引号" in either marker stands for '"'. Case is ignored
// unless case_sensitive. A missing marker or an empty right marker: empty.
Text ExtractBetween(std::string_view text, std::string_view left, std::string_view right,
                    std::optional<int> start = std::nullopt, bool case_sensitive = false);
// Value of "key":"value" (quoted values only).
Text StringField(std::string_view json, std::string_view key);
// Raw bytes after "key": up to the next comma (not converted).
Text NumberField(std::string_view json, std::string_view key);
// The exported cut: always ignores case, no start, "#引号" taken literally.
Text TextBetween(std::string_view text, std::string_view left, std::string_view right);
// A list answer cut at "},{".
TextArray SplitListItems(std::string_view answer);

}  // namespace orvanta

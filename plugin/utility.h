// The work routines of two exported text utilities.
#pragma once

#include "common/clock.h"
#include "common/text.h"

namespace orvanta {

// Removes every ASCII space, every CR LF pair and every backslash-r pair
// (escaped line breaks), in that order; lone CR or LF, tabs and full-width
// spaces stay.
Text RemoveSpacesAndLineBreaks(const Text& text);
// "2015/1/9": year/month/day without zero padding.
Text SlashDate(const Time& time);
Text TodaySlashDate();

}  // namespace orvanta

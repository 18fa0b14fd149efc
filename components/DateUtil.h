// Date helpers of the component library: the start-up flag about the short date format.
#pragma once

// Whether the system's short date format shows four-digit years; set at start-up, read by nothing.
extern bool LongYearInShortDate;

void DateUtilInitialization();

#include "DateUtil.h"

#include "SysUtils.h"

bool LongYearInShortDate = false;

void DateUtilInitialization() { LongYearInShortDate = AnsiUpperCase(ShortDateFormat).find("YYYY") != std::string::npos; }

// Dataset routines shared by the in-memory dataset and the data-aware grid: locating a record by
// its key values with a plain scan, and the empty test.
#pragma once

#include "DB.h"

#include <string>

// Positions DataSet on the first record whose key fields ("a;b", names as FieldByName takes them)
// match KeyValues (one value for one field, else an array with one element per field) and says
// whether one did. Plain string fields honour loCaseInsensitive and loPartialKey; every other kind
// compares its value for equality. The record already shown wins without a scan; after a miss the
// dataset is back on the record it was on.
bool LocateByScan(TDataSet* DataSet, const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);

// True when DataSet is closed or stands both at its beginning and at its end.
bool DataSetIsEmpty(TDataSet* DataSet);

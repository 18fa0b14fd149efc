// Dataset routines shared by the in-memory dataset and the data-aware grid: locating a record by
// its key values with a plain scan, the empty test, and the layout of a dataset's fields (order,
// display width, visibility) kept through the form placement's storage routines.
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

// DefaultSectionName of the dataset's owner when that is a form, else the dataset's name.
std::string DataSetSectionName(TDataSet* DataSet);
// Section, or DataSetSectionName when Section is empty.
std::string SectionOrDataSetName(TDataSet* DataSet, const std::string& Section);
// Every field's "index,display width,visible (1 or 0)" under dataset name + field name; Storage is
// a storage object as the placement routines take it (TRegIniFile or TCustomIniFile).
void StoreFieldLayout(TDataSet* DataSet, TObject* Storage, const std::string& Section);
// Reads the values back; missing or non-numeric words keep the field's own. Fields are then moved
// to their stored positions, the first claimant of a position winning; positions out of range are
// never applied.
void LoadFieldLayout(TDataSet* DataSet, TObject* Storage, const std::string& Section, bool RestoreVisible);

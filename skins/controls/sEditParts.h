// What the skinned controls (edits, memo, rich edit, tree and list views, combo boxes) do alike with
// the skin data, bound label and disabled look each of them holds.
#pragma once

#include "sCommonData.h"
#include "sConst.h"

// The skin data (with a cache bitmap unless told otherwise) and the bound label a skinned control
// owns, made for it in its constructor; Section, when given, is the skin data's section until one is
// set.
inline void MakeSkinParts(TWinControl* Control, int ControlKind, const char* Section, TsCommonData*& Data,
                          TsBoundLabel*& Label, bool WithCache = true) {
    Data = Create<TsCommonData>(Control, WithCache);
    Data->ControlKind = ControlKind;
    if (Section && Data->SkinSection().empty())
        Data->SetSkinSection(Section);
    Label = Create<TsBoundLabel>(Control, Data);
}

// Takes the published values of another skin data or bound label; the control's own objects stay.
inline void AssignSkinData(TsCommonData* Own, TsCommonData* Value) {
    if (Value && Value != Own)
        Own->Assign(Value);
}
inline void AssignBoundLabel(TsBoundLabel* Own, TsBoundLabel* Value) {
    if (Value && Value != Own)
        Own->Assign(Value);
}
// A changed disabled look is painted again.
inline void ChangeDisabledKind(TsDisabledKind& Own, TsDisabledKind Value, TsCommonData* Data) {
    if (Value == Own)
        return;
    Own = Value;
    Data->Invalidate();
}

// What the skinned edit-like controls (edit, mask edit, memo, rich edit) do alike with the skin
// data, bound label and disabled look each of them holds.
#pragma once

#include "sCommonData.h"
#include "sConst.h"

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

#include "ActnList.h"

void TCustomAction::DefineClass(TClassBuilder<TCustomAction>& B) {
    B.Property("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption).TypeName("TCaption");
    B.Property("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
}

#include "Classes.h"

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) {
    // Dest->Assign(this) came here because this class cannot copy itself into Dest; the message
    // names the source (or "nil") and the target.
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + (Dest ? Dest->ClassName() : std::string("nil")));
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() { return ClassName(); }


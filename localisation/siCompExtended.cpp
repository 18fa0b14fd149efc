// Extended translations as they are stored: a property path, its type kind and its values per
// language, the values travelling as the binary property "ValuesEx".
#include "siComp.h"

#include <algorithm>

void TsiExtendedItem::DefineClass(TClassBuilder<TsiExtendedItem>& B) {
    using C = TsiExtendedItem;
    B.Property("Identifier", &C::Identifier, &C::SetIdentifier);
    B.Property("PropertyType", &C::PropertyType, &C::SetPropertyType).Default(tkUnknown);
    B.Property("IsRoot", &C::IsRoot).Stored(false);
}

TsiCustomLang* TsiExtendedItem::Lang() const {
    return Collection() ? DynCast<TsiCustomLang>(Collection()->GetOwner()) : nullptr;
}

bool TsiExtendedItem::IsRoot() const {
    TsiCustomLang* L = Lang();
    if (!L || !L->Owner())
        return false;
    const std::string Prefix = L->Owner()->ClassName() + ".";
    return FIdentifier.compare(0, Prefix.size(), Prefix) == 0;
}

std::string TsiExtendedItem::GetDisplayName() { return FIdentifier.empty() ? TCollectionItem::GetDisplayName() : FIdentifier; }

void TsiExtendedItem::AssignTo(TPersistent* Dest) {
    if (auto* D = DynCast<TsiExtendedItem>(Dest)) {
        D->FIdentifier = FIdentifier;
        D->FValues = FValues;
        D->FPropertyType = FPropertyType;
    } else
        TCollectionItem::AssignTo(Dest);
}

void TsiExtendedItem::DefineProperties(TFiler& Filer) {
    TCollectionItem::DefineProperties(Filer);
    auto* Ancestor = DynCast<TsiExtendedItem>(Filer.Ancestor());
    Filer.DefineBinaryProperty(
        "ValuesEx", [this](TStream& S) { ReadValuesEx(S); }, [this](TStream& S) { WriteValuesEx(S); },
        !FValues.empty() && (!Ancestor || Ancestor->FValues != FValues));
}

void TsiExtendedItem::ReadValuesEx(TStream& Stream) {
    std::string Bytes(static_cast<size_t>(Stream.Size() - Stream.Position()), '\0');
    if (!Bytes.empty())
        Stream.ReadBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
    FWideValues.clear();
    if (Bytes.find('\0') == std::string::npos) {
        FValues = Bytes;
        return;
    }
    // A UTF-16 payload follows four bytes; one too short to hold them holds no text.
    if (Bytes.size() >= 4) {
        FWideValues.resize((Bytes.size() - 4) / 2);
        std::copy_n(Bytes.data() + 4, FWideValues.size() * 2, reinterpret_cast<char*>(FWideValues.data()));
    }
    FValues = WideToAnsi(FWideValues);
}

void TsiExtendedItem::WriteValuesEx(TStream& Stream) {
    if (!FValues.empty())
        Stream.WriteBuffer(FValues.data(), static_cast<LongInt>(FValues.size()));
}

TsiExtendedItem* TsiExtendedItems::FindItem(const std::string& Identifier) const {
    for (int I = 0; I < Count(); ++I)
        if (AnsiSameText(Items(I)->Identifier(), Identifier))
            return Items(I);
    return nullptr;
}

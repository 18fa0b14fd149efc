// Extended translations: a dotted property path from the owner or one of its components, its type
// kind and its values per language (stored as the binary property "ValuesEx"); resolving the path,
// reading and writing the property as text, applying the active language's values.
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

std::string TsiExtendedItem::Identifier() const {
    TsiCustomLang* L = Lang();
    if (!FStartComponent || !L || !L->Owner())
        return FIdentifier;
    const size_t Dot = FIdentifier.find('.');
    const std::string Rest = Dot == std::string::npos ? std::string() : FIdentifier.substr(Dot);
    return (FStartComponent == L->Owner() ? L->Owner()->ClassName() : FStartComponent->Name()) + Rest;
}

bool TsiExtendedItem::IsRoot() const {
    TsiCustomLang* L = Lang();
    if (!L || !L->Owner())
        return false;
    const std::string Prefix = L->Owner()->ClassName() + ".";
    return Identifier().compare(0, Prefix.size(), Prefix) == 0;
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

// ---------------------------------------------------------------------------------------------
// Paths

namespace {
// Steps from O into its property named by Segment (an item of it for a collection); null when there
// is none. A malformed or out-of-range index makes the path unresolved rather than ending the whole
// language switch.
TObject* StepInto(TObject* O, const std::string& Segment) {
    const TIndexedSegment S = ParseIndexedSegment(Segment);
    PPropInfo P = GetPropInfo(O, S.Name, tkProperties - TTypeKinds{tkUnknown});
    TObject* Next = GetObjectProperty(O, P);
    if (auto* C = DynCast<TCollection>(Next); C && Segment.find('[') != std::string::npos)
        return S.Index >= 0 && S.Index < C->Count() ? C->Items(S.Index) : nullptr;
    return Next;
}

PPropInfo LastProperty(TObject* Holder, const std::string& Identifier) {
    if (!Holder)
        return nullptr;
    const size_t Dot = Identifier.rfind('.');
    return GetPropInfo(Holder, Identifier.substr(Dot == std::string::npos ? 0 : Dot + 1),
                       tkProperties - TTypeKinds{tkUnknown});
}
}  // namespace

TObject* TsiCustomLang::ResolvePathOwner(const std::string& Identifier) {
    if (!Owner())
        return nullptr;
    size_t Dot = Identifier.find('.');
    if (Dot == std::string::npos)
        return nullptr;
    TObject* O = Identifier.compare(0, Dot, Owner()->ClassName()) == 0 ? Owner() : OwnerComponent(Identifier.substr(0, Dot));
    for (size_t From = Dot + 1; O; From = Dot + 1) {
        Dot = Identifier.find('.', From);
        if (Dot == std::string::npos)
            return O;
        O = StepInto(O, Identifier.substr(From, Dot - From));
    }
    return nullptr;
}

TTypeKind TsiCustomLang::GetPropertyTypeKind(const std::string& Identifier) {
    TObject* Holder = ResolvePathOwner(Identifier);
    PPropInfo P = LastProperty(Holder, Identifier);
    if (!P)
        return tkUnknown;
    if (P->PropType->Kind == tkClass)
        return FindStringListAccess(GetObjectProperty(Holder, P)) ? tkClass : tkUnknown;
    return P->PropType->Kind;
}

std::string TsiCustomLang::GetPropertyText(const std::string& Identifier) {
    TObject* Holder = ResolvePathOwner(Identifier);
    PPropInfo P = LastProperty(Holder, Identifier);
    if (!P)
        return {};
    switch (GetPropertyTypeKind(Identifier)) {
    case tkInteger:
    case tkInt64:
        return std::to_string(P->GetOrd(Holder));
    case tkChar:
        return std::string(1, static_cast<char>(P->GetOrd(Holder)));
    case tkString:
    case tkLString:
    case tkWString:
        return GetStringPropertyText(Holder, P);
    case tkWChar:
        return WideToAnsi(std::wstring(1, static_cast<wchar_t>(P->GetOrd(Holder))), CharsetCodePage(FActiveCharset));
    case tkEnumeration:
        return GetEnumProp(Holder, P);
    case tkFloat:
        return FloatToStr(static_cast<double>(P->GetFloat(Holder)));
    case tkSet:
        return GetSetProp(Holder, P);
    case tkClass: {
        TObject* V = GetObjectProperty(Holder, P);
        return FindStringListAccess(V)->GetCommaText(V);
    }
    default:
        return {};
    }
}

void TsiCustomLang::SetPropertyText(const std::string& Identifier, const std::string& Text) {
    try {
        TObject* Holder = ResolvePathOwner(Identifier);
        PPropInfo P = LastProperty(Holder, Identifier);
        if (!P)
            return;
        switch (GetPropertyTypeKind(Identifier)) {
        case tkInteger:
            P->SetOrd(Holder, StrToInt(Text));
            break;
        case tkInt64:
            SetInt64Prop(Holder, P, StrToInt64(Text));
            break;
        case tkString:
        case tkLString:
        case tkWString:
            SetStringProperty(Holder, P, Text);
            break;
        case tkEnumeration:
            SetEnumProp(Holder, P, Text);
            break;
        case tkFloat:
            P->SetFloat(Holder, StrToFloat(Text));
            break;
        case tkSet:
            SetSetProp(Holder, P, Text);
            break;
        case tkClass:
            if (auto* L = DynCast<TStrings>(GetObjectProperty(Holder, P)))
                WriteListLines(L, P, Text);
            break;
        default:
            break;
        }
    } catch (const Exception&) {
        // A value that does not fit its property leaves the property as it was.
    }
}

void TsiCustomLang::ApplyExtendedTranslations() {
    const char D = DelimChar();
    for (int I = 0; I < FExtendedTranslations->Count(); ++I) {
        TsiExtendedItem* Item = FExtendedTranslations->Items(I);
        const std::string& Values = Item->Values();
        std::string Text = ExtractDelimitedField(Values, D, FActiveLanguage - 1);
        if (Text.empty() && FUseDefaultLanguage && FActiveLanguage != FDefaultLanguage)
            Text = ExtractDelimitedField(Values, D, FDefaultLanguage - 1);
        std::string First = ExtractDelimitedField(Values, D, 0);
        if (First.empty())
            First = ExtractDelimitedField(Values, D, 1);
        if (Text.empty() && FActiveLanguage != 1 && TestModeActive())
            Text = PseudoTranslate(First);
        if (Text.empty() && FTranslateType == ttGetDefault)
            Text = First;
        if (!Text.empty())
            SetPropertyText(Item->Identifier(), Text);
    }
}

void TsiCustomLang::SyncExtendedValues() {
    const char D = DelimChar();
    for (int I = FExtendedTranslations->Count() - 1; I >= 0; --I) {
        TsiExtendedItem* Item = FExtendedTranslations->Items(I);
        const std::string Id = Item->Identifier();
        if (!LastProperty(ResolvePathOwner(Id), Id)) {
            Item->Free();
            continue;
        }
        const std::string Current = GetPropertyText(Id);
        if (ExtractDelimitedField(Item->Values(), D, FActiveLanguage - 1) == Current)
            continue;
        // The other languages' values are carried over field by field, each in its own place.
        std::string V;
        for (int N = 1; N <= FNumOfLanguages; ++N)
            (V += N == FActiveLanguage ? Current : ExtractDelimitedField(Item->Values(), D, N - 1)) += D;
        Item->SetValues(V);
    }
}

void TsiCustomLang::ReplaceDelimiterInValues(char OldChar, char NewChar) {
    for (int I = 0; I < FExtendedTranslations->Count(); ++I) {
        TsiExtendedItem* Item = FExtendedTranslations->Items(I);
        std::string V = Item->Values();
        std::replace(V.begin(), V.end(), OldChar, NewChar);
        Item->SetValues(V);
    }
}

bool TsiCustomLang::IsTextFromAction(TObject* Target, int Kind) {
    if (!Target || (Kind != 0 && Kind != 1))
        return false;
    const char* Name = Kind == 0 ? "Caption" : "Hint";
    TObject* Action = GetObjectProperty(Target, GetPropInfo(Target, "Action", ObjectKinds));
    if (!Action)
        return false;
    PPropInfo Mine = GetPropInfo(Target, Name, StringKinds);
    PPropInfo Its = GetPropInfo(Action, Name, StringKinds);
    return Mine && Its && GetStringPropertyText(Target, Mine) == GetStringPropertyText(Action, Its);
}

void TsiCustomLang::AttachExtendedItems() {
    for (int I = FExtendedTranslations->Count() - 1; I >= 0; --I) {
        TsiExtendedItem* Item = FExtendedTranslations->Items(I);
        const std::string& Id = Item->StoredIdentifier();
        const std::string First = Id.substr(0, Id.find('.'));
        TComponent* Start = First == Owner()->ClassName() ? Owner() : OwnerComponent(First);
        if (Start)
            Item->SetStartComponent(Start);
        else
            Item->Free();
    }
}

void TsiCustomLang::ForgetStartComponent(TComponent* C) {
    for (int I = 0; I < FExtendedTranslations->Count(); ++I)
        if (FExtendedTranslations->Items(I)->StartComponent() == C)
            FExtendedTranslations->Items(I)->SetStartComponent(nullptr);
}

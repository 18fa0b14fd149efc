// The component reaches its owner's components only by name: published properties found by name,
// strings written with the charset of the active language; and the routines that split, rearrange
// and transform delimited entries.
#include "siComp.h"

#include "Graphics.h"

#include <algorithm>

TSetPropertyHook SetPropertyHook = nullptr;

// ---------------------------------------------------------------------------------------------
// TsiPropInfoList

TsiPropInfoList::TsiPropInfoList(TObject* AObject, TTypeKinds Filter) {
    if (!AObject)
        throw Exception("NIL passed as AObject in TsiPropInfoList.Create!");
    FList = GetPropList(AObject, Filter);
}

PPropInfo TsiPropInfoList::Find(const std::string& Name) const {
    for (PPropInfo P : FList)
        if (AnsiSameText(P->Name, Name))
            return P;
    return nullptr;
}

PPropInfo TsiPropInfoList::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
    return FList[static_cast<size_t>(Index)];
}

TTypeKinds PropertyKindFilter(TStringsType Kind) {
    return Kind == stFonts || Kind == stMultiLines ? ObjectKinds : StringKinds;
}

// ---------------------------------------------------------------------------------------------
// Property access

TObject* GetObjectProperty(TObject* Object, PPropInfo Prop) {
    if (!Object || !Prop || Prop->PropType->Kind != tkClass)
        return nullptr;
    return Prop->GetObj(Object);
}

bool HasProperty(TObject* Component, const std::string& Name, TTypeKinds Kinds, const std::string& TypeName) {
    if (!Component)
        return false;
    PPropInfo P = GetPropInfo(Component, Name, tkProperties);
    return P && Kinds.Contains(P->PropType->Kind) && (TypeName.empty() || SameText(P->PropType->Name, TypeName));
}

namespace {
TFont* FontOf(TObject* Component) {
    if (!Component)
        return nullptr;
    return DynCast<TFont>(GetObjectProperty(Component, GetPropInfo(Component, "Font", ObjectKinds)));
}
}  // namespace

std::string FontNameOf(TObject* Component) {
    TFont* F = FontOf(Component);
    return F ? F->Name() : std::string();
}

Byte FontCharsetOf(TObject* Component) {
    TFont* F = FontOf(Component);
    return F ? static_cast<Byte>(F->Charset()) : 0;
}

std::string TsiCustomLang::GetStringPropertyText(TObject* Object, PPropInfo Prop) {
    if (Prop->PropType->Kind == tkWString) {
        std::wstring W = GetWideStrProp(Object, Prop);
        return FStoreAsUTF8 ? UTF8Encode(W) : WideToAnsi(W, CharsetCodePage(FActiveCharset));
    }
    return GetStrProp(Object, Prop);
}

void TsiCustomLang::SetStringProperty(TObject* Object, PPropInfo Prop, std::string Text) {
    if (!Object)
        return;
    if (SetPropertyHook)
        SetPropertyHook(Object, Prop, Text);
    if (Prop->PropType->Kind == tkWString)
        SetWideStrProp(Object, Prop, FStoreAsUTF8 ? UTF8Decode(Text) : AnsiToWide(Text, CharsetCodePage(FActiveCharset)));
    else
        SetStrProp(Object, Prop, Text);
}

std::string TsiCustomLang::ReadPropertyByName(TObject* Component, const std::string& Name) {
    PPropInfo P = Component ? GetPropInfo(Component, Name, tkProperties) : nullptr;
    return P ? GetStringPropertyText(Component, P) : std::string();
}

void TsiCustomLang::WritePropertyByName(TObject* Component, const std::string& Name, const std::string& Text) {
    if (PPropInfo P = Component ? GetPropInfo(Component, Name, tkProperties) : nullptr)
        SetStringProperty(Component, P, Text);
}

TStrings* TsiCustomLang::FindListProperty(const std::string& Name) {
    return DynCast<TStrings>(GetObjectProperty(this, GetPropInfo(this, Name, ObjectKinds)));
}

std::string TsiCustomLang::StripDelimiters(std::string_view Entry) const {
    const char D = DelimChar();
    size_t First = Entry.find_first_not_of(D);
    if (First == std::string_view::npos)
        return {};
    return std::string(Entry.substr(First, Entry.find_last_not_of(D) - First + 1));
}

// ---------------------------------------------------------------------------------------------
// Text routines

int CompareTextNoCase(std::string_view A, std::string_view B) { return AnsiCompareText(A, B); }

int CompareTextExact(std::string_view A, std::string_view B) { return AnsiCompareStr(A, B); }

std::string ReplaceText(std::string_view Text, std::string_view Old, std::string_view New, bool All) {
    // An empty pattern is found everywhere: replacing it would never end.
    if (Old.empty())
        return std::string(Text);
    std::string R;
    size_t From = 0;
    for (;;) {
        int P = FindSubstring(Old, Text.substr(From));
        if (P == 0)
            break;
        R.append(Text.substr(From, static_cast<size_t>(P - 1))).append(New);
        From += static_cast<size_t>(P - 1) + Old.size();
        if (!All)
            break;
    }
    return R.append(Text.substr(From));
}

std::string DeleteField(std::string_view Entry, int N, char D) {
    const int C = CountDelimiters(Entry, std::string_view(&D, 1));
    std::string R = ExtractDelimitedField(Entry, D, 0) + D;
    for (int I = 1; I <= C; ++I)
        if (I != N)
            (R += ExtractDelimitedField(Entry, D, I)) += D;
    return R;
}

std::string MoveField(std::string_view Entry, int From, int To, char D) {
    if (From == To)
        return std::string(Entry);
    const int M = CountDelimiters(Entry, std::string_view(&D, 1)) - 1;
    std::vector<int> Order;
    for (int I = 1; I <= M; ++I)
        if (I != From)
            Order.push_back(I);
    // Field From goes where field To stood before the move.
    const int At = std::clamp(To - 1, 0, static_cast<int>(Order.size()));
    Order.insert(Order.begin() + At, From);
    std::string R = ExtractDelimitedField(Entry, D, 0) + D;
    for (int I : Order)
        (R += ExtractDelimitedField(Entry, D, I)) += D;
    return R;
}

namespace {
template <class F>
void RewriteEntries(TStrings* List, F Rewrite) {
    for (int I = List->Count() - 1; I >= 0; --I)
        List->SetStrings(I, Rewrite(List->Strings(I)));
}
}  // namespace

void DeleteColumn(TStrings* List, int N, char D) {
    RewriteEntries(List, [&](const std::string& E) { return DeleteField(E, N, D); });
}

void MoveColumn(TStrings* List, int From, int To, char D) {
    if (From != To)
        RewriteEntries(List, [&](const std::string& E) { return MoveField(E, From, To, D); });
}

TIndexedSegment ParseIndexedSegment(std::string_view Segment) {
    TIndexedSegment R;
    const size_t Open = Segment.find('['), Close = Segment.find(']');
    R.Name = std::string(Segment.substr(0, Open));
    LongInt Index = -1;
    if (Open != std::string_view::npos && Close != std::string_view::npos && Close > Open &&
        TryStrToInt(std::string(Segment.substr(Open + 1, Close - Open - 1)), Index) && Index >= 0)
        R.Index = Index;
    return R;
}

bool ListHasKey(TStrings* List, std::string_view Key, char D) {
    for (int I = 0; I < List->Count(); ++I)
        if (AnsiSameText(EntryKey(List->Strings(I), D), Key))
            return true;
    return false;
}

bool IsExtraDialogCaption(std::string_view Text) {
    for (int I = 0; I < StandardDialogCaptionCount; ++I) {
        std::string S = DialogCaptionDefaults[static_cast<size_t>(I)];
        S.erase(std::remove(S.begin(), S.end(), '&'), S.end());
        if (S == Text)
            return false;
    }
    return true;
}

bool IsSibFileName(std::string_view FileName) { return AnsiUpperCase(ExtractFileExt(FileName)) == ".SIB"; }

std::string FlipCase(std::string_view Text) {
    std::string R(Text);
    for (char& Ch : R) {
        char Buf[2] = {Ch, 0};
        if (IsCharUpperA(Ch))
            CharLowerA(Buf);
        else
            CharUpperA(Buf);
        Ch = Buf[0];
    }
    return R;
}

std::string ExpandChars(std::string_view Text, char PadChar, int Percent) {
    if (Text.find('%') != std::string_view::npos || Text.empty())
        return std::string(Text);
    const int Len = static_cast<int>(Text.size());
    int N = static_cast<int>(static_cast<Int64>(Len) * Percent / 100);
    std::string R;
    for (int I = 1; I <= Len; ++I) {
        R += Text[static_cast<size_t>(I - 1)];
        int K = N / (Len - I + 1);
        R.append(static_cast<size_t>(std::max(K, 0)), PadChar);
        N -= K;
    }
    return R;
}

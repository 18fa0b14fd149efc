// Applying a language to the owner: captions, hints, display labels, fonts with their charsets,
// multi-line texts, other strings, collection items, the process's formats and the extended
// translations; every key resolved by name at the moment of application.
#include "siComp.h"

#include "Forms.h"
#include "StdCtrls.h"

namespace {
bool IsForm(TComponent* C) { return C && C->InheritsFrom(TCustomForm::StaticClass()); }

// The charset number of a table name (compared without regard to case), or -1.
int CharsetOfNameNoCase(const std::string& Name) {
    for (const auto& C : CharsetNames)
        if (SameText(Name, C.Name))
            return C.Charset;
    return -1;
}

// A collection key split as component "." collection path "[" index "]" "." item path D.
struct TCollectionKey {
    std::string Component, CollectionPath, ItemPath;
    int Index = -1;  // -1: not a valid index
};

TCollectionKey SplitCollectionKey(const std::string& Entry, char D) {
    TCollectionKey K;
    const size_t Dot = Entry.find('.');
    K.Component = Entry.substr(0, Dot);
    const size_t Open = Entry.find('['), Close = Entry.find(']');
    if (Dot == std::string::npos || Open == std::string::npos || Close == std::string::npos || Open < Dot || Close < Open)
        return K;
    const TIndexedSegment Collection = ParseIndexedSegment(std::string_view(Entry).substr(Dot + 1, Close - Dot));
    K.CollectionPath = Collection.Name;
    K.Index = Collection.Index;
    const std::string Rest = Close + 2 <= Entry.size() ? Entry.substr(Close + 2) : std::string();
    K.ItemPath = Rest.substr(0, Rest.find(D));
    return K;
}

// The text before and after the first "." ("" after when there is none).
std::pair<std::string, std::string> SplitFirstDot(const std::string& Path) {
    const size_t Dot = Path.find('.');
    if (Dot == std::string::npos)
        return {Path, std::string()};
    return {Path.substr(0, Dot), Path.substr(Dot + 1)};
}
}  // namespace

bool FollowsParentFont(TComponent* C) {
    PPropInfo P = GetPropInfo(C, "ParentFont", TTypeKinds{tkEnumeration});
    return C->InheritsFrom(TControl::StaticClass()) && P && GetOrdProp(C, P) != 0;
}

bool TsiCustomLang::IsOwnerTranslated() { return !Owner() || FDoNotTranslate->IndexOf(Owner()->ClassName()) < 0; }

TComponent* TsiCustomLang::OwnerComponent(const std::string& Name) const {
    return Owner() && !Name.empty() ? Owner()->FindComponent(Name) : nullptr;
}

TComponent* TsiCustomLang::OwnerOrComponent(const std::string& Name) const {
    if (TComponent* C = OwnerComponent(Name))
        return C;
    return Owner() && (Name == Owner()->ClassName() || Name == Owner()->Name()) ? Owner() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The whole application

void TsiCustomLang::ApplyTranslation() {
    if (Quiet || !Owner())
        return;
    RefreshActiveCharset();
    auto Changed = [this](std::initializer_list<int> Kinds) {
        for (int K : Kinds)
            if (FChangedKind == K)
                return true;
        return false;
    };
    // Fonts and their character sets come before any text: a control reads its texts in the code
    // page of its font's character set, so a text set earlier would be read in the old language's.
    if (Changed({-1, stFonts, stCharSets}) && !FOwnerHasNoFont)
        ApplyKindList(Fonts(), stFonts);
    ApplyOwnerFont();
    if (FTranslateExtendedFirst && FChangedKind == -1)
        ApplyExtendedTranslations();
    try {
        ApplyOwnerText(Captions(), "Caption");
        ApplyOwnerText(Hints(), "Hint");
    } catch (const Exception&) {
        // The owner's own texts never stop the rest of the application.
    }
    if (Changed({-1, stCaptions}))
        ApplyKindList(Captions(), stCaptions);
    if (Changed({-1, stHints}))
        ApplyKindList(Hints(), stHints);
    if (Changed({-1, stDisplayLabels}))
        ApplyKindList(DisplayLabels(), stDisplayLabels);
    if (Changed({-1, stMultiLines}))
        ApplyKindList(MultiLines(), stMultiLines);
    if (Changed({-1, stOtherStrings}))
        ApplyKindList(OtherStrings(), stOtherStrings);
    if (Changed({-1, stLocales}) && FChangeLocales)
        ApplyKindList(Locales(), stLocales);
    if (Changed({-1, stCollections}))
        ApplyKindList(Collections(), stCollections);
    if (!FTranslateExtendedFirst && FChangedKind == -1)
        ApplyExtendedTranslations();
    OnChangeLanguage(this);
}

void TsiCustomLang::ApplyOwnerText(TStrings* List, const char* Property) {
    const std::string Class = Owner()->ClassName();
    if (List->Count() == 0 || !IsOwnerTranslated() || FSmartExcludeProps->IndexOf(Class + "." + Property) >= 0 ||
        !HasProperty(Owner(), Property, StringKinds))
        return;
    const std::string Entry = List->Strings(0);
    if (!AnsiSameText(EntryKey(Entry, DelimChar()), Class))
        return;
    std::string Value = FieldWithDefault(Entry, FActiveLanguage);
    if (Value.empty() && FTranslateType == ttGetDefault)
        EntryValueAt(List, 0, Value, true);
    if (!Value.empty())
        WritePropertyByName(Owner(), Property, Value);
}

void TsiCustomLang::ApplyOwnerFont() {
    const std::string Class = Owner()->ClassName();
    if (Fonts()->Count() == 0 || !IsOwnerTranslated() || FSmartExcludeProps->IndexOf(Class + ".Font") >= 0 ||
        !HasProperty(Owner(), "Font", ObjectKinds, "TFont"))
        return;
    const std::string Entry = Fonts()->Strings(0);
    if (!AnsiSameText(EntryKey(Entry, DelimChar()), Class))
        return;
    auto* Font = DynCast<TFont>(GetObjectProperty(Owner(), GetPropInfo(Owner(), "Font")));
    if (!Font)
        return;
    std::string Name = ExtractDelimitedField(Entry, DelimChar(), FActiveLanguage);
    if (Name.empty() && FTranslateType == ttGetDefault)
        EntryValueAt(Fonts(), 0, Name, true);
    if (!Name.empty())
        Font->SetName(Name);
    std::string Charset;
    EntryValueOfKey(CharSets(), Class, Charset, FActiveLanguage);
    for (const auto& C : CharsetNames)
        if (Charset == C.Name)
            Font->SetCharset(C.Charset);
}

// ---------------------------------------------------------------------------------------------
// One list

std::string TsiCustomLang::ValueToApply(TStrings* List, int Index, std::string_view Entry, bool Pseudo) {
    std::string Value = FieldWithDefault(Entry, FActiveLanguage);
    if (Value.empty() && Pseudo && FActiveLanguage > 1 && TestModeActive())
        Value = PseudoTranslateEntry(Entry);
    if (Value.empty() && FTranslateType == ttGetDefault)
        EntryValueAt(List, Index, Value, true);
    return Value;
}

void TsiCustomLang::ApplyKindList(TStrings* List, TStringsType Kind) {
    TidyKindList(List, Kind);
    if (List->Count() == 0)
        return;
    if (Kind == stCollections)
        return ApplyCollections(List);
    const char D = DelimChar();
    const bool Dotted = Kind == stMultiLines || Kind == stOtherStrings;
    int Start = 0;
    if ((Kind == stCaptions || Kind == stHints || Kind == stFonts) && IsForm(Owner()) && IsOwnerTranslated() &&
        List->Strings(0).find(Owner()->ClassName() + D) != std::string::npos)
        Start = 1;
    for (int I = Start; I < List->Count(); ++I) {
        std::string Entry;
        try {
            Entry = List->Strings(I);
        } catch (const Exception&) {
        }
        std::string Name = Entry.substr(0, Entry.find(D)), Property = KindPropertyNames[Kind], SubProperty;
        if (Dotted) {
            const size_t Dot = Name.find('.');
            std::tie(Property, SubProperty) = SplitFirstDot(Dot == std::string::npos ? std::string() : Name.substr(Dot + 1));
            Name = Name.substr(0, Dot);
        }
        if (FDoNotTranslate->IndexOf(Name) >= 0)
            continue;
        std::string Value = ValueToApply(List, I, Entry, Kind != stFonts && Kind != stLocales && Kind != stCharSets);
        if (Kind == stLocales) {
            if (!Value.empty())
                ApplyLocale(Name, Value);
            continue;
        }
        TComponent* C = OwnerOrComponent(Name);
        PPropInfo P = C ? GetPropInfo(C, Property, tkProperties) : nullptr;
        if (!P || !P->HasGetter || !P->HasSetter)
            continue;
        try {
            if (Kind == stFonts) {
                auto* Font = DynCast<TFont>(GetObjectProperty(C, P));
                if (!Font)
                    continue;
                const bool ParentFont = FollowsParentFont(C);
                std::string Charset;
                EntryValueOfKey(CharSets(), Name, Charset, FActiveLanguage);
                if (int N = CharsetOfNameNoCase(Charset); N >= 0 && !ParentFont)
                    Font->SetCharset(static_cast<TFontCharset>(N));
                if (!Value.empty() && !ParentFont) {
                    Font->SetName(Value);
                    SetObjectProp(C, P, Font);
                }
            } else if (Kind == stMultiLines) {
                if (Value.empty())
                    continue;
                TObject* Holder = C;
                PPropInfo ListProp = P;
                if (!SubProperty.empty()) {
                    Holder = GetObjectProperty(C, P);
                    ListProp = Holder ? GetPropInfo(Holder, SubProperty, ObjectKinds) : nullptr;
                }
                TStrings* Target = nullptr;
                try {
                    Target = DynCast<TStrings>(GetObjectProperty(Holder, ListProp));
                } catch (const Exception&) {
                }
                if (!Target || Target->CommaText() == Value)
                    continue;
                // A list control keeps its selection, and a memo's lines are written unwrapped so that
                // line I of the value lands on line I of the text.
                auto* ListControl = DynCast<TCustomListControl>(C);
                const int Selected = ListControl ? ListControl->ItemIndex() : -1;
                auto* Memo = DynCast<TCustomMemo>(C);
                const bool Wrapped = Memo && Memo->WordWrap();
                if (Wrapped)
                    Memo->SetWordWrap(false);
                WriteListLines(Target, ListProp, Value);
                if (ListControl)
                    ListControl->SetItemIndex(Selected);
                if (Wrapped)
                    Memo->SetWordWrap(true);
            } else {
                if (Value.empty())
                    continue;
                TObject* Holder = C;
                PPropInfo Target = P;
                if (Kind == stOtherStrings && !SubProperty.empty()) {
                    Holder = GetObjectProperty(C, P);
                    Target = Holder ? GetPropInfo(Holder, SubProperty, tkProperties) : nullptr;
                    if (Target && GetStringPropertyText(Holder, Target) != Value)
                        SetStringProperty(Holder, Target, Value);
                    continue;
                }
                if (!StringKinds.Contains(P->PropType->Kind))
                    continue;
                const std::string Current = GetStringPropertyText(C, P);
                if (Current == Value)
                    continue;
                // A relative path is written only when it names another file than the current text.
                if ((Kind == stDisplayLabels || Kind == stOtherStrings) &&
                    (Value.find("..") != std::string::npos || Value.find(".\\") != std::string::npos) &&
                    ExpandFileName(Value) == Current)
                    continue;
                SetStringProperty(C, P, Value);
            }
        } catch (const EListError&) {
        } catch (const Exception&) {
            if (Kind == stFonts || Kind == stMultiLines)
                throw;
        }
    }
}

void TsiCustomLang::WriteListLines(TStrings* Target, PPropInfo Prop, const std::string& Value) {
    TStringList Lines;
    Lines.SetCommaText(Value);
    TUpdateGuard Update(Target);
    for (int I = 0; I < Lines.Count(); ++I) {
        std::string Line = Lines.Strings(I);
        if (SetPropertyHook)
            SetPropertyHook(Target, Prop, Line);
        if (I < Target->Count())
            Target->SetStrings(I, Line);
        else
            Target->Add(Line);
    }
    while (Target->Count() > Lines.Count())
        Target->Delete(Target->Count() - 1);
}

void TsiCustomLang::ApplyCollections(TStrings* List) {
    const char D = DelimChar();
    for (int I = 0; I < List->Count(); ++I) {
        const std::string Entry = List->Strings(I);
        const TCollectionKey Key = SplitCollectionKey(Entry, D);
        if (FDoNotTranslate->IndexOf(Key.Component) >= 0)
            continue;
        std::string Value = ValueToApply(List, I, Entry, true);
        // A stale or malformed index leaves this entry out, not the rest of the switch.
        TComponent* C = OwnerComponent(Key.Component);
        if (!C || Key.Index < 0)
            continue;
        try {
            const auto [First, Second] = SplitFirstDot(Key.CollectionPath);
            TObject* Holder = GetObjectProperty(C, GetPropInfo(C, First, tkProperties));
            if (!Second.empty())
                Holder = Holder ? GetObjectProperty(Holder, GetPropInfo(Holder, Second, tkProperties)) : nullptr;
            auto* Collection = DynCast<TCollection>(Holder);
            if (!Collection || Key.Index >= Collection->Count())
                continue;
            TObject* Item = Collection->Items(Key.Index);
            auto [ItemProp, SubProp] = SplitFirstDot(Key.ItemPath);
            if (!SubProp.empty()) {
                PPropInfo P = GetPropInfo(Item, ItemProp, ObjectKinds);
                if (!P || !P->HasGetter || !P->HasSetter)
                    continue;
                Item = GetObjectProperty(Item, P);
                ItemProp = SubProp;
            }
            PPropInfo P = Item ? GetPropInfo(Item, ItemProp, tkProperties) : nullptr;
            if (!P)
                continue;
            if (auto* Lines = DynCast<TStrings>(GetObjectProperty(Item, P))) {
                if (!Value.empty() && Lines->CommaText() != Value)
                    WriteListLines(Lines, P, Value);
            } else if (StringKinds.Contains(P->PropType->Kind) && !Value.empty()) {
                std::string Current;
                try {
                    Current = GetStringPropertyText(Item, P);
                } catch (const Exception&) {
                }
                if (Current != Value)
                    SetStringProperty(Item, P, Value);
            }
        } catch (const EListError&) {
        }
    }
}

void TsiCustomLang::ApplyLocale(const std::string& Item, const std::string& Value) {
    static const std::pair<const char*, std::string*> Texts[] = {
        {"Currency String", &CurrencyString}, {"Short Date Format", &ShortDateFormat},
        {"Long Date Format", &LongDateFormat}, {"Time AM String", &TimeAMString},
        {"Time PM String", &TimePMString},     {"Short Time Format", &ShortTimeFormat},
        {"Long Time Format", &LongTimeFormat}};
    static const std::pair<const char*, char*> Chars[] = {{"Thousand Separator", &ThousandSeparator},
                                                          {"Decimal Separator", &DecimalSeparator},
                                                          {"Date Separator", &DateSeparator},
                                                          {"Time Separator", &TimeSeparator}};
    static const std::tuple<const char*, std::string*, int> Names[] = {{"Short Month Names", ShortMonthNames, 12},
                                                                       {"Long Month Names", LongMonthNames, 12},
                                                                       {"Short Day Names", ShortDayNames, 7},
                                                                       {"Long Day Names", LongDayNames, 7}};
    for (const auto& [Name, Target] : Texts)
        if (Item == Name)
            *Target = Value;
    for (const auto& [Name, Target] : Chars)
        if (Item == Name)
            *Target = Value[0];
    for (const auto& [Name, Target, Count] : Names)
        if (Item == Name) {
            TStringList L;
            L.SetCommaText(Value);
            for (int I = 0; I < L.Count() && I < Count; ++I)
                Target[I + 1] = L.Strings(I);
        }
}

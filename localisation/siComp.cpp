// The translation component: construction, properties and their setters, the finishing step after
// loading, notifications and the single-value setter.
#include "siComp.h"

#include "Forms.h"

#include <algorithm>

namespace {
const char* const SOnlyOneLang = "Only one TsiCustomLang component per Form/DataModule allowed!";
const char* const SLangNameNotListed = "Language name shall be included in LangNames property!";

// Refuses a second translation component before the newcomer joins its owner, so that nothing is
// left behind.
TComponent* CheckNoOtherLang(TComponent* AOwner) {
    if (AOwner)
        for (int I = 0; I < AOwner->ComponentCount(); ++I)
            if (AOwner->Components(I)->InheritsFrom(TsiCustomLang::StaticClass()))
                throw Exception(SOnlyOneLang);
    return AOwner;
}

TOwned<TStringList> NewList() { return TOwned<TStringList>(Create<TStringList>()); }

std::string WithoutAmpersands(std::string S) {
    S.erase(std::remove(S.begin(), S.end(), '&'), S.end());
    return S;
}

std::string JoinNames(const std::string* Names, int Count) {
    std::string R;
    for (int I = 0; I < Count; ++I)
        R += (I ? "," : "") + Names[I];
    return R;
}

// The framework's text for standard caption I, or "" before the unit's start-up.
std::string FrameworkDialogText(int I) {
    const auto& T = FrameworkDialogTexts();
    return I < static_cast<int>(T.size()) ? T[static_cast<size_t>(I)] : std::string();
}

bool Holds(TStrings* List, const std::string& S) { return List->IndexOf(S) >= 0; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TsiCustomLang::TsiCustomLang(TComponent* AOwner) : TComponent(CheckNoOtherLang(AOwner)) {
    for (auto& L : FLists)
        L = NewList();
    FDoNotTranslate = NewList();
    FLangNames = NewList();
    FLangNames->Add("Language N1");
    FLanguage = "Language N1";
    const char D = DelimChar();
    for (int I = 0; I < StandardDialogCaptionCount; ++I) {
        std::string Key = WithoutAmpersands(DialogCaptionDefaults[static_cast<size_t>(I)]);
        DlgsCaptions()->Add(Key + D + FrameworkDialogText(I) + D);
    }
    FLocaleDefaults = {CurrencyString,
                       std::string(1, ThousandSeparator),
                       std::string(1, DecimalSeparator),
                       std::string(1, DateSeparator),
                       ShortDateFormat,
                       LongDateFormat,
                       std::string(1, TimeSeparator),
                       TimeAMString,
                       TimePMString,
                       ShortTimeFormat,
                       LongTimeFormat,
                       JoinNames(&ShortMonthNames[1], 12),
                       JoinNames(&LongMonthNames[1], 12),
                       JoinNames(&ShortDayNames[1], 7),
                       JoinNames(&LongDayNames[1], 7)};
    FExcludedProperties = NewList();
    FStringsTypes = NewList();
    FStringsTypes->Add("TIB_STRINGLIST");
    FStringsTypes->Add("TSTRINGLIST");
    FSmartExcludeProps = NewList();
    FFixedLanguages = NewList();
    FStringsIndex.reset(Create<TsiStringsCollection>(this));
    FResourceIndex.reset(Create<TsiStringsCollection>(this));
    FExtendedTranslations.reset(Create<TsiExtendedItems>(this));
    if (AOwner) {
        PPropInfo Font = GetPropInfo(AOwner, "Font");
        FOwnerHasNoFont = !(Font && Font->PropType->Kind == tkClass && SameText(Font->PropType->Name, "TFont"));
    }
    for (const char* Name : {"Category", "SecondaryShortCuts", "HelpKeyword", "InitialDir", "HelpKeyword", "ActivePage",
                             "ImeName", "DefaultExt", "FileName", "FieldName", "PickList", "DisplayFormat", "EditMask",
                             "KeyList", "LookupDisplayFields", "DropDownSpecRow", "TableName", "DatabaseName",
                             "IndexName", "MasterFields"})
        FExcludedProperties->Add(Name);
    DecodeEscapes = DefaultDecodeEscapes;
}

TsiCustomLang::~TsiCustomLang() {
    ReleaseResourceStrings(this);
    if (FLangDispatcher)
        FLangDispatcher->Unlink(this);
}

void TsiCustomLang::DefineClass(TClassBuilder<TsiCustomLang>& B) {
    using C = TsiCustomLang;
    B.Property("Version", &C::Version, &C::SetVersion);
    B.Property("IsInheritedOwner", &C::IsInheritedOwner, &C::SetIsInheritedOwner).Default(false);
    B.Property("StringsTypes", &C::StringsTypes, &C::SetStringsTypes);
    B.Property("SmartExcludeProps", &C::SmartExcludeProps, &C::SetSmartExcludeProps)
        .Stored(&C::IsSmartExcludePropsStored);
    B.Property("HandleResourceStrings", &C::HandleResourceStrings, &C::SetHandleResourceStrings).Default(false);
    B.Property("ResourceLanguageIndex", &C::ResourceLanguageIndex, &C::SetResourceLanguageIndex).Default(1);
    B.Property("TranslateExtendedFirst", &C::TranslateExtendedFirst, &C::SetTranslateExtendedFirst).Default(false);
    B.Property("UseDefaultLanguage", &C::UseDefaultLanguage, &C::SetUseDefaultLanguage).Default(false);
    B.Property("DefaultLanguage", &C::DefaultLanguage, &C::SetDefaultLanguage).Default(1);
    B.Property("AutoSkipEmpties", &C::AutoSkipEmpties, &C::SetAutoSkipEmpties).Default(true);
    B.Property("StoreAsUTF8", &C::StoreAsUTF8, &C::SetStoreAsUTF8).Default(false);
    B.Property("UseTaskMsgDlg", &C::UseTaskMsgDlg, &C::SetUseTaskMsgDlg).Default(true);
    B.Property("OnLanguageChanging", &C::OnLanguageChanging, &C::OnLanguageChanging);
}

void TsiLang::DefineClass(TClassBuilder<TsiLang>& B) {
    using C = TsiCustomLang;
    // The lists travel in "TranslationData", not as properties of their own.
    B.Property("Captions", &C::Captions, &C::SetCaptions).Stored(false);
    B.Property("Hints", &C::Hints, &C::SetHints).Stored(false);
    B.Property("DisplayLabels", &C::DisplayLabels, &C::SetDisplayLabels).Stored(false);
    B.Property("Strings", &C::Strings, &C::SetStrings).Stored(false);
    B.Property("Fonts", &C::Fonts, &C::SetFonts).Stored(false);
    B.Property("MultiLines", &C::MultiLines, &C::SetMultiLines).Stored(false);
    B.Property("DlgsCaptions", &C::DlgsCaptions, &C::SetDlgsCaptions).Stored(false);
    B.Property("OtherStrings", &C::OtherStrings, &C::SetOtherStrings).Stored(false);
    B.Property("Locales", &C::Locales, &C::SetLocales).Stored(false);
    B.Property("CharSets", &C::CharSets, &C::SetCharSets).Stored(false);
    B.Property("Collections", &C::Collections, &C::SetCollections).Stored(false);
    B.Property("NumOfLanguages", &C::NumOfLanguages, &C::SetNumOfLanguages).Default(1);
    B.Property("ActiveLanguage", &C::ActiveLanguage, &C::SetActiveLanguage).Default(1);
    B.Property("ChangeLocales", &C::ChangeLocales, &C::SetChangeLocales).Default(false);
    B.Property("LangDispatcher", &C::LangDispatcher, &C::SetLangDispatcher);
    B.Property("OnChangeLanguage", &C::OnChangeLanguage, &C::OnChangeLanguage);
    B.Property("LangDelim", &C::LangDelim, &C::SetLangDelim).Default(9);
    B.Property("DoNotTranslate", &C::DoNotTranslate, &C::SetDoNotTranslate)
        .Stored(&C::IsDoNotTranslateStored);
    B.Property("LangNames", &C::LangNames, &C::SetLangNames);
    B.Property("Language", &C::Language, &C::SetLanguage);
    B.Property("TranslateType", &C::TranslateType, &C::SetTranslateType).Default(ttNoChange);
    B.Property("Options", &C::Options, &C::SetOptions).Default(TsiLangOptions{});
    B.Property("NeedAllDlgs", &C::NeedAllDlgs, &C::SetNeedAllDlgs).Default(false);
    B.Property("ChangingCursor", &C::ChangingCursor, &C::SetChangingCursor).TypeName("TCursor").Default(-1);
    B.Property("ExcludedProperties", &C::ExcludedProperties, &C::SetExcludedProperties)
        .Stored(&C::IsExcludedPropertiesStored);
    B.Property("DoRaiseExceptions", &C::DoRaiseExceptions, &C::SetDoRaiseExceptions).Default(false);
    B.Property("ExtendedTranslations", &C::ExtendedTranslations, &C::SetExtendedTranslations)
        .Stored(&C::IsExtendedTranslationsStored);
}

// ---------------------------------------------------------------------------------------------
// Framework hooks

void TsiCustomLang::Loaded() {
    TComponent::Loaded();
    if (Quiet || !Owner())
        return;
    AdjustDialogCaptions();
    if (FOptions.Contains(loUseExtCommonStrings)) {
        DlgsCaptions()->Clear();
        Locales()->Clear();
    }
    if (FLangDelim == 9)
        SetLangDelim(1);
    if (HasTabDelimitedEntries())
        ReplaceDelimiter('\t', DelimChar());
    if (Locales()->Count() == 11) {
        const char D = DelimChar();
        for (int I = 11; I < LocaleItemCount; ++I)
            Locales()->Add(LocaleItemNames[static_cast<size_t>(I)] + std::string(1, D) + FLocaleDefaults[static_cast<size_t>(I)] + D);
    }
    ApplyExcludedProperties();
    if (Designing())
        PadAllEntries();
    else
        BuildIndex(this, FStringsIndex.get(), 0);
    if (FLangDispatcher && !Quiet) {
        FLangDispatcher->Link(this);
        RefreshActiveCharset();
    }
    if (FIsInheritedOwner)
        ApplyTranslation();
    else
        RefreshActiveCharset();
    if (!Designing() && FHandleResourceStrings && !ResourceStringsOwner)
        TakeResourceStrings();
    if (Designing())
        AttachExtendedItems();
}

bool TsiCustomLang::HasTabDelimitedEntries() {
    auto Tabs = [](TStrings* L) { return L->Count() > 0 ? CountDelimiters(L->Strings(0), "\t") : -1; };
    if (Tabs(DlgsCaptions()) > 0 || Tabs(Locales()) > 0)
        return true;
    for (TStrings* L : {Captions(), Locales(), Hints()})
        if (Tabs(L) == FNumOfLanguages + 1)
            return true;
    return false;
}

void TsiCustomLang::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && (AComponent == FLangDispatcher || AComponent == FCharsetReference)) {
        // Forgetting the dispatcher takes this component off its list too: a dispatcher freed after
        // its removal notice would otherwise wait for ever for this entry to leave.
        if (AComponent == FLangDispatcher) {
            FLangDispatcher->Unlink(this);
            FLangDispatcher = nullptr;
        }
        if (AComponent == FCharsetReference)
            FCharsetReference = nullptr;
        return;
    }
    if (AComponent->InheritsFrom(TsiCustomLang::StaticClass()))
        return;
    if (Operation == opRemove) {
        int I = FDoNotTranslate->IndexOf(AComponent->Name());
        if (I >= 0)
            FDoNotTranslate->Delete(I);
    }
    const std::pair<TStrings*, TStringsType> Kinds[] = {
        {Captions(), stCaptions},         {Hints(), stHints},           {DisplayLabels(), stDisplayLabels},
        {Fonts(), stFonts},               {MultiLines(), stMultiLines}, {OtherStrings(), stOtherStrings},
        {CharSets(), stFonts},            {Collections(), stCollections}, {SmartExcludeProps(), stOtherStrings}};
    for (const auto& [L, Kind] : Kinds)
        DeleteComponentKeys(L, AComponent, Kind, Operation);
    if (Operation == opRemove && !AComponent->Name().empty()) {
        const std::string Prefix = AComponent->Name() + ".";
        for (int I = FExtendedTranslations->Count() - 1; I >= 0; --I)
            if (FExtendedTranslations->Items(I)->Identifier().compare(0, Prefix.size(), Prefix) == 0)
                FExtendedTranslations->Items(I)->Free();
    }
    if (Operation == opRemove)
        ForgetStartComponent(AComponent);
}

void TsiCustomLang::DeleteComponentKeys(TStrings* List, TComponent* Component, TStringsType Kind, TOperation Operation) {
    if (!Designing() || Operation != opRemove || List->Count() == 0 || List->Strings(0).empty())
        return;
    std::string Prefix = Component == Owner() ? Owner()->ClassName() : Component->Name();
    Prefix += (Kind == stMultiLines || Kind == stOtherStrings || Kind == stCollections) ? '.' : DelimChar();
    for (int I = List->Count() - 1; I >= 0; --I) {
        try {
            if (List->Strings(I).compare(0, Prefix.size(), Prefix) == 0)
                List->Delete(I);
        } catch (const Exception&) {
        }
    }
}

bool TsiCustomLang::IsStringsTypeClass(const std::string& ClassName) { return Holds(FStringsTypes.get(), ClassName); }

TStrings* TsiCustomLang::GetKindList(TStringsType Kind) {
    std::string Name = GetEnumName(TypeInfoFor<TStringsType>(), Kind).substr(2);
    PPropInfo P = GetPropInfo(this, Name, TTypeKinds{tkClass});
    return P ? DynCast<TStrings>(P->GetObj(this)) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Single values

void TsiCustomLang::SetTranslation(TStrings* List, const std::string& Text, const std::string& Key, int Language) {
    const char D = DelimChar();
    const std::string Value = FStoreAsUTF8 ? AnsiToUtf8(Text, CharsetOfLanguage(Language)) : Text;
    if (List == Strings() && !Designing()) {
        for (TsiStringsCollection* Index : {FStringsIndex.get(), FResourceIndex.get()}) {
            int I = Index->IndexOfKey(Key);
            if (I < 0)
                continue;
            TStringList* Texts = Index->Items(I)->LanguageTexts;
            while (Texts->Count() < Language)
                Texts->Add("");
            Texts->SetStrings(Language - 1, Value);
        }
    }
    int Found = -1;
    for (int I = 0; I < List->Count() && Found < 0; ++I)
        if (AnsiSameText(ExtractDelimitedField(List->Strings(I), D, 0), Key))
            Found = I;
    if (Found < 0)
        return;
    std::string Entry = List->Strings(Found);
    int Delims = CountDelimiters(Entry, std::string(1, D));
    std::string Result;
    if (Delims < Language) {
        // An entry too short for the language gets the missing fields instead of losing the value.
        Result = Entry + std::string(static_cast<size_t>(Language - Delims), D) + Value + D;
    } else {
        int Seen = 0;
        bool Placed = false;
        for (char Ch : Entry) {
            if (Ch == D) {
                ++Seen;
                if (Seen == Language)
                    continue;
                if (Seen == Language + 1) {
                    Result += D;
                    Result += Value;
                    Placed = true;
                }
            } else if (Seen == Language)
                continue;
            Result += Ch;
        }
        if (!Placed)
            Result += D + Value;
    }
    List->SetStrings(Found, Result);
}

void TsiCustomLang::SetTranslationByRef(TStrings* ListRef, const std::string& Key, int Language, const std::string& Text) {
    SetTranslation(ListRef, Text, Key, Language);
}

// ---------------------------------------------------------------------------------------------
// List upkeep run by the finishing step and the setters

void TsiCustomLang::ReplaceDelimiter(char Old, char New) {
    for (auto& L : FLists)
        for (int I = 0; I < L->Count(); ++I) {
            std::string S = L->Strings(I);
            if (S.find(Old) == std::string::npos)
                continue;
            std::replace(S.begin(), S.end(), Old, New);
            L->SetStrings(I, S);
        }
    ReplaceDelimiterInValues(Old, New);
}

bool TsiCustomLang::IsPropertyExcluded(const std::string& ComponentName, const std::string& PropertyPath) {
    if (PropertyPath.find('.') == std::string::npos) {
        if (Holds(FExcludedProperties.get(), PropertyPath))
            return true;
    } else {
        for (int N = 1;; ++N) {
            if (WordPosition(N, PropertyPath, ".") == 0)
                break;
            if (Holds(FExcludedProperties.get(), ExtractWord(N, PropertyPath, ".")))
                return true;
        }
    }
    if (Holds(FSmartExcludeProps.get(), ComponentName + "." + PropertyPath) || PropertyPath == "Name")
        return true;
    TComponent* C = Owner() ? Owner()->FindComponent(ComponentName) : nullptr;
    return C && Holds(FSmartExcludeProps.get(), "!" + C->ClassName() + "." + PropertyPath);
}

void TsiCustomLang::ApplyExcludedProperties() {
    bool Cleared[KindCount] = {};
    auto ClearWhenExcluded = [&](const char* Prop, std::initializer_list<TStringsType> Kinds) {
        if (!Holds(FExcludedProperties.get(), Prop))
            return;
        for (TStringsType K : Kinds) {
            List(K)->Clear();
            Cleared[K] = true;
        }
    };
    ClearWhenExcluded("Caption", {stCaptions});
    ClearWhenExcluded("Hint", {stHints});
    ClearWhenExcluded("DisplayLabel", {stDisplayLabels});
    ClearWhenExcluded("Font", {stFonts, stCharSets});
    ClearWhenExcluded("Charset", {stCharSets});

    const std::string D(1, DelimChar());
    for (TStringsType K : {stCaptions, stHints, stDisplayLabels, stFonts, stCharSets, stMultiLines, stOtherStrings,
                           stCollections}) {
        if (Cleared[K])
            continue;
        TStrings* L = List(K);
        for (int I = L->Count() - 1; I >= 0; --I) {
            const std::string Entry = L->Strings(I);
            bool Excluded;
            if (K == stCollections) {
                const std::string Delims = ".[" + D;
                std::string Comp = ExtractWord(1, Entry, Delims);
                Excluded = IsPropertyExcluded(Comp, ExtractWord(2, Entry, Delims)) ||
                           IsPropertyExcluded(Comp, ExtractWord(4, Entry, Delims));
            } else if (K == stCaptions || K == stHints || K == stFonts || K == stCharSets) {
                static const char* const Props[] = {"Caption", "Hint", "", "Font"};
                Excluded = IsPropertyExcluded(ExtractDelimitedField(Entry, D[0], 0), K == stCharSets ? "CharSet" : Props[K]);
            } else {
                const std::string Delims = "." + D;
                Excluded = IsPropertyExcluded(ExtractWord(1, Entry, Delims), ExtractWord(2, Entry, Delims));
            }
            if (Excluded)
                L->Delete(I);
        }
    }
}

void TsiCustomLang::AdjustDialogCaptions() {
    TStrings* L = DlgsCaptions();
    const char D = DelimChar();
    if (FNeedAllDlgs && L->Count() < DialogCaptionCount) {
        for (int I = L->Count(); I < DialogCaptionCount; ++I) {
            const char* Default = DialogCaptionDefaults[static_cast<size_t>(I)];
            std::string Value = I < StandardDialogCaptionCount ? FrameworkDialogText(I) : std::string(Default);
            Value = ToStorage(Value, FActiveCharset);
            L->Add(WithoutAmpersands(Default) + D + Value + D);
        }
    } else if (!FNeedAllDlgs && L->Count() == DialogCaptionCount) {
        for (int I = L->Count() - 1; I >= 0; --I) {
            std::string Key = EntryKey(L->Strings(I), D);
            bool Standard = false;
            for (int S = 0; S < StandardDialogCaptionCount && !Standard; ++S)
                Standard = Key == WithoutAmpersands(DialogCaptionDefaults[static_cast<size_t>(S)]);
            if (!Standard)
                L->Delete(I);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Property setters

void TsiCustomLang::SetKindList(TStringsType Kind, TStrings* Value) {
    TStrings* Own = List(Kind);
    if (Value == Own)
        return;
    Own->Assign(Value);
    if (Kind == stDlgsCaptions)
        return;
    // Lookups go through the index, so a replaced Strings list must reach it at once.
    if (Kind == stStrings)
        RebuildIndexes(this);
    FChangedKind = Kind;
    ApplyTranslation();
}

void TsiCustomLang::SetStringsTypes(TStrings* Value) {
    if (Value == FStringsTypes.get())
        return;
    FStringsTypes->Assign(Value);
    if (!Loading())
        CollectProperties();
}

void TsiCustomLang::SetSmartExcludeProps(TStrings* Value) {
    if (Value == FSmartExcludeProps.get())
        return;
    FSmartExcludeProps->Assign(Value);
    if (!Loading())
        CollectProperties();
}

void TsiCustomLang::SetDoNotTranslate(TStrings* Value) {
    if (Value == FDoNotTranslate.get())
        return;
    FDoNotTranslate->Assign(Value);
    if (!Loading())
        ApplyDoNotTranslate();
}

void TsiCustomLang::SetExcludedProperties(TStrings* Value) {
    if (Value == FExcludedProperties.get())
        return;
    FExcludedProperties->Assign(Value);
    if (!Loading()) {
        ApplyExcludedProperties();
        CollectProperties();
    }
}

void TsiCustomLang::SetExtendedTranslations(TsiExtendedItems* Value) {
    // Copied, not adopted: the component owns exactly one collection and frees it.
    if (Value != FExtendedTranslations.get())
        FExtendedTranslations->Assign(Value);
}

void TsiCustomLang::SetDefaultLanguage(int Value) {
    // While loading the language count may not have been read yet.
    if (Loading() || (Value >= 1 && Value <= FNumOfLanguages))
        FDefaultLanguage = Value;
}

void TsiCustomLang::SetChangeLocales(bool Value) {
    if (Value == FChangeLocales)
        return;
    FChangeLocales = Value;
    if (Value && Locales()->Count() == 0) {
        const char D = DelimChar();
        for (int I = 0; I < LocaleItemCount; ++I)
            Locales()->Add(LocaleItemNames[static_cast<size_t>(I)] + std::string(1, D) + FLocaleDefaults[static_cast<size_t>(I)] + D);
    }
}

void TsiCustomLang::SetOptions(TsiLangOptions Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    if (Designing() && Value.Contains(loUseExtCommonStrings)) {
        DlgsCaptions()->Clear();
        Locales()->Clear();
    }
}

void TsiCustomLang::SetNeedAllDlgs(bool Value) {
    FNeedAllDlgs = Value;
    if (!Loading())
        AdjustDialogCaptions();
}

void TsiCustomLang::SetLangDelim(Byte Value) {
    if (Value == FLangDelim)
        return;
    if (!Loading())
        ReplaceDelimiter(DelimChar(), static_cast<char>(Value));
    FLangDelim = Value;
}

void RaiseLanguageRangeError(TComponent* Owner, int Value, int Count) {
    if (Owner)
        throw ELanguageError("%s: %d - is not a valid property value!\rValue must be within [1..%d]!",
                             {Owner->ClassName(), Value, Count});
    throw ELanguageError("%d - is not a valid property value!\rValue must be within [1..%d]!", {Value, Count});
}

void RaiseLanguageCountError(int Value) {
    throw ELanguageError(IntToStr(Value) + " - is not a valid property value !\rValue must be more than ZERO !");
}

void TsiCustomLang::SetActiveLanguage(int Value) {
    if (Value == FActiveLanguage)
        return;
    if (Value < 1 || Value > FNumOfLanguages) {
        if (Loading())
            return;
        RaiseLanguageRangeError(Owner(), Value, FNumOfLanguages);
    }
    FChangedKind = -1;
    bool CursorChanged = false;
    if (FChangingCursor != -1 && Screen && Screen->Cursor() == crDefault && !Designing()) {
        Screen->SetCursor(FChangingCursor);
        CursorChanged = true;
    }
    auto RestoreCursor = [&] {
        if (CursorChanged)
            Screen->SetCursor(crDefault);
    };
    try {
        if (Designing() && (FLangDispatcher || !Loading()))
            CollectProperties();
        if (!Loading() && !DrivenByDispatcher && OnLanguageChanging) {
            bool AllowChange = true;
            OnLanguageChanging(this, Value, AllowChange);
            if (!AllowChange) {
                RestoreCursor();
                return;
            }
        }
        FActiveLanguage = Value;
        if (!Loading()) {
            if (FLangNames->Count() >= Value)
                FLanguage = FLangNames->Strings(Value - 1);
            ApplyTranslation();
        }
    } catch (...) {
        RestoreCursor();
        throw;
    }
    RestoreCursor();
}

void TsiCustomLang::SetNumOfLanguages(int Value) {
    if (Value == FNumOfLanguages)
        return;
    if (Value < 1)
        RaiseLanguageCountError(Value);
    if (Value < FNumOfLanguages) {
        const std::string D(1, DelimChar());
        for (auto& L : FLists)
            for (int I = 0; I < L->Count(); ++I) {
                std::string Entry = L->Strings(I);
                int Cut = WordPosition(Value + 2, Entry, D);
                if (Cut > 0)
                    L->SetStrings(I, Entry.substr(0, static_cast<size_t>(Cut - 1)));
            }
    }
    FNumOfLanguages = Value;
    while (FLangNames->Count() < Value)
        FLangNames->Add("Language N" + IntToStr(FLangNames->Count() + 1));
    while (FLangNames->Count() > Value)
        FLangNames->Delete(FLangNames->Count() - 1);
    if (!Loading()) {
        PadAllEntries();
        RebuildIndexes(this);
    }
}

void TsiCustomLang::SetLanguage(const std::string& Value) {
    if (Value == FLanguage)
        return;
    int Index = FLangNames->IndexOf(Value);
    if (Index < 0) {
        if (!Loading())
            throw ELanguageError(SLangNameNotListed);
        Index = FLangNames->Add(Value);
    }
    FLanguage = Value;
    if (!Loading() && !Quiet)
        SetActiveLanguage(Index + 1);
}

void TsiCustomLang::SetLangNames(TStrings* Value) {
    // Without names there would be no language at all: an empty list changes nothing.
    if (Value == FLangNames.get() || Value->Count() == 0)
        return;
    FLangNames->Assign(Value);
    if (FLangNames->Count() >= FActiveLanguage)
        FLanguage = FLangNames->Strings(FActiveLanguage - 1);
    FNumOfLanguages = FLangNames->Count();
}

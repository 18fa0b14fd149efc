// The translation component every window and data module holds: its texts in every language, kept
// in one string list per kind of text and stored in the form resource as "TranslationData"; the
// sorted index its message lookups go through; and the unit's start-up and shut-down.
//
// An entry is key, D, value of language 1, D, value of language 2, D ... with D = LangDelim
// (character 1 in every form of the program); CR and LF inside values travel as characters 25 and 26.
#pragma once

#include "Classes.h"
#include "Lists.h"
#include "MemIni.h"
#include "SysUtils.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class TsiCustomLang;

DECLARE_ENUM(TStringsType, stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines, stDlgsCaptions, stStrings,
             stOtherStrings, stLocales, stCollections, stCharSets, stListView_TreeView_Items)
DECLARE_ENUM(TTranslateType, ttNoChange, ttGetDefault)
DECLARE_ENUM(TsiLangOption, loUseExtUDStrings, loUseExtCommonStrings)
DECLARE_SET(TsiLangOptions, TsiLangOption)

inline constexpr int KindCount = 12;  // stCaptions .. stListView_TreeView_Items

DECLARE_EXCEPTION(ELanguageError, Exception);

// (Sender, the new language, var AllowChange): asked before the language changes.
using TLanguageChangingEvent = TMethodOf<TObject*, int, bool&>;
DECLARE_EVENT_NAME(TLanguageChangingEvent)

// ---------------------------------------------------------------------------------------------
// Unit tables

inline constexpr int StandardDialogCaptionCount = 15;
inline constexpr int DialogCaptionCount = 86;
inline constexpr int LocaleItemCount = 15;

// English captions of the standard message dialogs (the first 15) and of the file, colour, font,
// print and find dialogs, with their access-key ampersands.
extern const std::array<const char*, DialogCaptionCount> DialogCaptionDefaults;
extern const std::array<const char*, LocaleItemCount> LocaleItemNames;
// The property each kind of text sets, in kind order.
extern const std::array<const char*, KindCount> KindPropertyNames;
extern const std::array<const char*, 11> DialogButtonNames;
struct TsiCharsetName {
    const char* Name;
    Byte Charset;
};
extern const std::array<TsiCharsetName, 19> CharsetNames;

// The framework's own texts for the 15 standard dialog captions and buttons, read by the unit's
// start-up and released by its shut-down (empty outside).
const std::vector<std::string>& FrameworkDialogTexts();

// Copied into each new component's DecodeEscapes; off in the program.
extern bool DefaultDecodeEscapes;

// The lookup error for an unknown key (program string 65105).
extern const TResStringRec SStringIdNotFound;

void siCompInitialization();
void siCompFinalization();

// ---------------------------------------------------------------------------------------------
// Text routines over delimited entries

// The number of characters of Text that occur in Delims.
int CountDelimiters(std::string_view Text, std::string_view Delims);
// 1-based start of word N, 0 when there is none: each word follows exactly one delimiter, two
// delimiters in a row enclose an empty word, and a delimiter at the very start counts no word.
int WordPosition(int N, std::string_view Text, std::string_view Delims);
std::string ExtractWord(int N, std::string_view Text, std::string_view Delims);
// The text before the first D; "" when Entry holds none.
std::string EntryKey(std::string_view Entry, char D);
// C escapes (\t, \n, \x41, \101 ...) turned into their characters; unknown escapes stay as written.
std::string DecodeCEscapes(std::string_view Text);

// ---------------------------------------------------------------------------------------------
// Character sets of languages

// The name's charset number from CharsetNames (exact match), 1 (DEFAULT_CHARSET) for anything else.
Byte CharsetOfName(std::string_view Name);
// The code page a font charset stands for; the system's ANSI code page when the platform knows none.
UINT CharsetCodePage(Byte Charset);
std::string AnsiToUtf8(std::string_view Text, Byte Charset);
std::string Utf8ToAnsi(std::string_view Text, Byte Charset);

// ---------------------------------------------------------------------------------------------
// Stored entries

// The split used by the inherited-form reader: New's non-empty values over Old's, New's extra
// values appended, Old's key kept; ends with D.
std::string MergeEntry(std::string_view Old, std::string_view New, char D);
// The first entry of List whose key equals Entry's key without regard to case, or -1.
int IndexOfEntryKey(TStrings* List, std::string_view Entry, char D);

// UTF-16 lines as the stored-data reader splits them: at every CR, every LF dropped, the text after
// the last CR left out.
class TsiWideStringsAdapter : public TObject {
    DECLARE_CLASS(TsiWideStringsAdapter, TObject)
public:
    void SetText(std::wstring_view Value);
    int Count() const { return static_cast<int>(FLines.size()); }
    const std::wstring& Strings(int Index) const;

private:
    std::vector<std::wstring> FLines;
};

// ---------------------------------------------------------------------------------------------
// Sorted index of Strings

class TsiSortCollection : public TCollection {
    DECLARE_CLASS(TsiSortCollection, TCollection)
public:
    using TCompare = int (*)(void* Context, TCollectionItem* A, TCollectionItem* B);
    using TCollection::TCollection;
    virtual void QuickSort(int Low, int High, TCompare Compare, void* Context);
    // Inside an update bracket that is closed also when a comparison fails.
    void Sort(TCompare Compare, void* Context);

protected:
    void ExchangeItems(int I, int J);
};

class TsiStringsCollectionItem : public TCollectionItem {
    DECLARE_CLASS(TsiStringsCollectionItem, TCollectionItem)
public:
    explicit TsiStringsCollectionItem(TCollection* ACollection);
    ~TsiStringsCollectionItem() override;
    std::string ItemKey;
    // Position n - 1 holds the value of language n.
    TStringList* LanguageTexts;
    // The value of Language; "" past the item's last value.
    std::string Text(int Language) const;
};

class TsiStringsCollection : public TsiSortCollection {
    DECLARE_CLASS(TsiStringsCollection, TsiSortCollection)
public:
    explicit TsiStringsCollection(TsiCustomLang* ALang);
    TPersistent* GetOwner() override;
    TsiCustomLang* Lang() const { return FLang; }

    TsiStringsCollectionItem* Items(int Index) const { return static_cast<TsiStringsCollectionItem*>(TCollection::Items(Index)); }
    TsiStringsCollectionItem* Add() { return static_cast<TsiStringsCollectionItem*>(TCollection::Add()); }

    // 0: ordered by ItemKey without regard to case; n: by the value of language n, case-sensitively.
    int SortColumn = 0;

    // Linear: the first item whose key equals Key without regard to case, or -1.
    int IndexOfKey(const std::string& Key) const;
    // Bisection on the keys; "" when Key is absent.
    std::string ValueOfKey(const std::string& Key, int Language) const;
    // Bisection on the SortColumn values for Text (case-sensitive): the item's value of Language, or
    // Text unchanged when there is none.
    std::string GetTranslation(const std::string& Text, int Language) const;
    void Resort();

private:
    // The position of the item a bisection by Compare(item, Value) meets, or -1.
    template <class F>
    int Bisect(F Compare) const;
    std::string Stored(const std::string& Value, int Language) const;
    TsiCustomLang* FLang;
};

// Fills Index from the component's Strings and sorts it by SortColumn.
void BuildIndex(TsiCustomLang* Component, TsiStringsCollection* Index, int SortColumn);
// The key index and, with HandleResourceStrings on an owned component, the resource-string index;
// nothing at design time.
void RebuildIndexes(TsiCustomLang* Component);

// ---------------------------------------------------------------------------------------------
// Extended translations (stored part)

class TsiExtendedItem : public TCollectionItem {
    DECLARE_CLASS(TsiExtendedItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    static void DefineClass(TClassBuilder<TsiExtendedItem>& B);
    void DefineProperties(TFiler& Filer) override;
    std::string GetDisplayName() override;

    const std::string& Identifier() const { return FIdentifier; }
    void SetIdentifier(const std::string& Value) { FIdentifier = Value; }
    TTypeKind PropertyType() const { return FPropertyType; }
    void SetPropertyType(TTypeKind Value) { FPropertyType = Value; }
    // Value of language 1, D, value of language 2, D ... (no key field).
    const std::string& Values() const { return FValues; }
    void SetValues(const std::string& Value) { FValues = Value; }
    // The identifier begins with the owner's class name and ".".
    bool IsRoot() const;
    // The UTF-16 values of a UTF-16 "ValuesEx" payload (empty otherwise).
    const std::wstring& WideValues() const { return FWideValues; }

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void ReadValuesEx(TStream& Stream);
    void WriteValuesEx(TStream& Stream);
    TsiCustomLang* Lang() const;

    std::string FIdentifier;
    TTypeKind FPropertyType = tkUnknown;
    std::string FValues;
    std::wstring FWideValues;
};

class TsiExtendedItems : public TOwnedCollection {
    DECLARE_CLASS(TsiExtendedItems, TOwnedCollection)
public:
    explicit TsiExtendedItems(TPersistent* AOwner) : TOwnedCollection(AOwner, TsiExtendedItem::StaticClass()) {}
    TsiExtendedItem* Add() { return static_cast<TsiExtendedItem*>(TCollection::Add()); }
    TsiExtendedItem* Items(int Index) const { return static_cast<TsiExtendedItem*>(TCollection::Items(Index)); }
    // The first item whose identifier equals Identifier without regard to case, or null.
    TsiExtendedItem* FindItem(const std::string& Identifier) const;
};

// ---------------------------------------------------------------------------------------------
// The translation component

class TsiCustomLang : public TComponent {
    DECLARE_CLASS(TsiCustomLang, TComponent)
public:
    // Raises Exception "Only one TsiCustomLang component per Form/DataModule allowed!" before joining
    // an owner that already holds a translation component.
    explicit TsiCustomLang(TComponent* AOwner);
    ~TsiCustomLang() override;
    static void DefineClass(TClassBuilder<TsiCustomLang>& B);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DefineProperties(TFiler& Filer) override;

    // Overridable operations.
    // At design time, on removal of Component, deletes its entries from List.
    virtual void DeleteComponentKeys(TStrings* List, TComponent* Component, TStringsType Kind, TOperation Operation);
    virtual bool IsStringsTypeClass(const std::string& ClassName);
    // Applies the active language to the owner, then raises OnChangeLanguage.
    virtual void ApplyTranslation();
    // The published list of the kind (stCaptions gives Captions); null for stListView_TreeView_Items.
    virtual TStrings* GetKindList(TStringsType Kind);
    // Sets the value of Language in the first entry of List keyed Key (and in the indexes for Strings).
    virtual void SetTranslation(TStrings* List, const std::string& Text, const std::string& Key, int Language);
    virtual void SetTranslationByRef(TStrings* ListRef, const std::string& Key, int Language, const std::string& Text);

    // Message lookup.
    // The value of Key in Strings for the active language (language 1's when empty and TranslateType
    // is ttGetDefault).
    std::string GetText(const std::string& Key);
    // The value for the active language, else the fallback language's, else language 1's.
    std::string GetTextOrDefault(const std::string& Key);
    void LookupText(TStrings* List, const std::string& Key, std::string& Result, bool UseLanguage1);
    void EntryValueAt(TStrings* List, int Index, std::string& Result, bool UseLanguage1);
    void EntryValueOfKey(TStrings* List, const std::string& Key, std::string& Result, int Language);

    // Stored data.
    void ReadTranslationData(TStream& Stream);
    void WriteTranslationData(TStream& Stream);
    bool IsTranslationDataStored(TFiler& Filer);
    void PadEntries(TStrings* List);
    void PadAllEntries();
    // Every Old character in every entry of every list and in the extended values becomes New.
    void ReplaceDelimiter(char Old, char New);
    // Loaded's clean-up: lists of excluded kinds cleared, entries of excluded properties deleted.
    void ApplyExcludedProperties();
    bool IsPropertyExcluded(const std::string& ComponentName, const std::string& PropertyPath);
    // Keeps 15 or all 86 dialog captions in DlgsCaptions as NeedAllDlgs says.
    void AdjustDialogCaptions();

    // Character sets of the languages.
    Byte CharsetOfLanguage(int Language);
    void RefreshCharsets();
    void RefreshActiveCharset();
    const std::vector<Byte>& LanguageCharsets() const { return FLanguageCharsets; }
    Byte ActiveCharset() const { return FActiveCharset; }

    // Properties.
    std::string Version() const { return "6.4"; }
    void SetVersion(const std::string&) {}
    bool IsInheritedOwner() const { return FIsInheritedOwner; }
    void SetIsInheritedOwner(bool Value) { FIsInheritedOwner = Value; }
    TStrings* StringsTypes() const { return FStringsTypes.get(); }
    void SetStringsTypes(TStrings* Value);
    TStrings* SmartExcludeProps() const { return FSmartExcludeProps.get(); }
    void SetSmartExcludeProps(TStrings* Value);
    bool HandleResourceStrings() const { return FHandleResourceStrings; }
    void SetHandleResourceStrings(bool Value) { FHandleResourceStrings = Value; }
    Word ResourceLanguageIndex() const { return FResourceLanguageIndex; }
    void SetResourceLanguageIndex(Word Value);
    bool TranslateExtendedFirst() const { return FTranslateExtendedFirst; }
    void SetTranslateExtendedFirst(bool Value) { FTranslateExtendedFirst = Value; }
    bool UseDefaultLanguage() const { return FUseDefaultLanguage; }
    void SetUseDefaultLanguage(bool Value) { FUseDefaultLanguage = Value; }
    int DefaultLanguage() const { return FDefaultLanguage; }
    // Accepts 1 .. NumOfLanguages only.
    void SetDefaultLanguage(int Value);
    bool AutoSkipEmpties() const { return FAutoSkipEmpties; }
    void SetAutoSkipEmpties(bool Value) { FAutoSkipEmpties = Value; }
    bool StoreAsUTF8() const { return FStoreAsUTF8; }
    void SetStoreAsUTF8(bool Value) { FStoreAsUTF8 = Value; }
    bool UseTaskMsgDlg() const { return FUseTaskMsgDlg; }
    void SetUseTaskMsgDlg(bool Value) { FUseTaskMsgDlg = Value; }
    TLanguageChangingEvent OnLanguageChanging;

    TStrings* Captions() const { return List(stCaptions); }
    TStrings* Hints() const { return List(stHints); }
    TStrings* DisplayLabels() const { return List(stDisplayLabels); }
    TStrings* Fonts() const { return List(stFonts); }
    TStrings* MultiLines() const { return List(stMultiLines); }
    TStrings* DlgsCaptions() const { return List(stDlgsCaptions); }
    TStrings* Strings() const { return List(stStrings); }
    TStrings* OtherStrings() const { return List(stOtherStrings); }
    TStrings* Locales() const { return List(stLocales); }
    TStrings* Collections() const { return List(stCollections); }
    TStrings* CharSets() const { return List(stCharSets); }
    // Copy the lines and apply that kind; DlgsCaptions only copies.
    void SetKindList(TStringsType Kind, TStrings* Value);
    void SetCaptions(TStrings* Value) { SetKindList(stCaptions, Value); }
    void SetHints(TStrings* Value) { SetKindList(stHints, Value); }
    void SetDisplayLabels(TStrings* Value) { SetKindList(stDisplayLabels, Value); }
    void SetFonts(TStrings* Value) { SetKindList(stFonts, Value); }
    void SetMultiLines(TStrings* Value) { SetKindList(stMultiLines, Value); }
    void SetDlgsCaptions(TStrings* Value) { SetKindList(stDlgsCaptions, Value); }
    void SetStrings(TStrings* Value) { SetKindList(stStrings, Value); }
    void SetOtherStrings(TStrings* Value) { SetKindList(stOtherStrings, Value); }
    void SetLocales(TStrings* Value) { SetKindList(stLocales, Value); }
    void SetCollections(TStrings* Value) { SetKindList(stCollections, Value); }
    void SetCharSets(TStrings* Value) { SetKindList(stCharSets, Value); }

    int NumOfLanguages() const { return FNumOfLanguages; }
    void SetNumOfLanguages(int Value);
    int ActiveLanguage() const { return FActiveLanguage; }
    void SetActiveLanguage(int Value);
    bool ChangeLocales() const { return FChangeLocales; }
    void SetChangeLocales(bool Value);
    TNotifyEvent OnChangeLanguage;
    Byte LangDelim() const { return FLangDelim; }
    void SetLangDelim(Byte Value);
    TStrings* DoNotTranslate() const { return FDoNotTranslate.get(); }
    void SetDoNotTranslate(TStrings* Value);
    TStrings* LangNames() const { return FLangNames.get(); }
    void SetLangNames(TStrings* Value);
    const std::string& Language() const { return FLanguage; }
    void SetLanguage(const std::string& Value);
    TTranslateType TranslateType() const { return FTranslateType; }
    void SetTranslateType(TTranslateType Value) { FTranslateType = Value; }
    TsiLangOptions Options() const { return FOptions; }
    void SetOptions(TsiLangOptions Value);
    bool NeedAllDlgs() const { return FNeedAllDlgs; }
    void SetNeedAllDlgs(bool Value);
    SmallInt ChangingCursor() const { return FChangingCursor; }
    void SetChangingCursor(SmallInt Value) { FChangingCursor = Value; }
    TStrings* ExcludedProperties() const { return FExcludedProperties.get(); }
    void SetExcludedProperties(TStrings* Value);
    bool DoRaiseExceptions() const { return FDoRaiseExceptions; }
    void SetDoRaiseExceptions(bool Value) { FDoRaiseExceptions = Value; }
    TsiExtendedItems* ExtendedTranslations() const { return FExtendedTranslations.get(); }
    // Copies the items of Value.
    void SetExtendedTranslations(TsiExtendedItems* Value);

    // Stored tests: these go into the form only when they hold something.
    bool IsSmartExcludePropsStored() const { return FSmartExcludeProps->Count() > 0; }
    bool IsDoNotTranslateStored() const { return FDoNotTranslate->Count() > 0; }
    bool IsExcludedPropertiesStored() const { return FExcludedProperties->Count() > 0; }
    bool IsExtendedTranslationsStored() const { return FExtendedTranslations->Count() > 0; }

    // Unpublished state.
    int ChangedKind() const { return FChangedKind; }
    const std::array<std::string, LocaleItemCount>& LocaleDefaults() const { return FLocaleDefaults; }
    TStrings* RemovedEntries() const { return FRemovedEntries.get(); }
    TStrings* FixedLanguages() const { return FFixedLanguages.get(); }
    TsiStringsCollection* StringsIndex() const { return FStringsIndex.get(); }
    TsiStringsCollection* ResourceIndex() const { return FResourceIndex.get(); }
    TsiCustomLang* CharsetReference() const { return FCharsetReference; }
    bool OwnerHasNoFont() const { return FOwnerHasNoFont; }
    bool DecodeEscapes = false;
    bool Quiet = false;
    bool DrivenByDispatcher = false;
    bool BatchLoading = false;

protected:
    bool Loading() const { return ComponentState().Contains(csLoading); }
    bool Designing() const { return ComponentState().Contains(csDesigning); }

private:
    TStrings* List(TStringsType Kind) const { return FLists[Kind].get(); }
    bool HasTabDelimitedEntries();
    bool RedirectsLookup(TStrings* List) const;
    // A value as stored (UTF-8 with StoreAsUTF8) into and out of the lists.
    std::string ToStorage(const std::string& Text, Byte Charset) const;
    std::string FromStorage(const std::string& Text, Byte Charset) const;
    // One pass of the stored-data reader: Header(I) gives line I as 8-bit text to test for a section
    // header, Entry(I) the entry it holds.
    template <class THeader, class TEntry>
    void ReadSections(int Count, THeader Header, TEntry Entry, bool WidePass, bool& SawUnicode);
    void AddReadEntry(TStrings* List, std::string Entry);
    std::string WideLineToEntry(std::wstring_view Line);
    void RebuildExtendedFromWide();

    std::array<TOwned<TStringList>, KindCount> FLists;
    TOwned<TStringList> FStringsTypes, FSmartExcludeProps, FDoNotTranslate, FLangNames, FExcludedProperties,
        FFixedLanguages, FRemovedEntries;
    TOwned<TsiStringsCollection> FStringsIndex, FResourceIndex;
    TOwned<TsiExtendedItems> FExtendedTranslations;
    TsiCustomLang* FCharsetReference = nullptr;

    bool FIsInheritedOwner = false;
    bool FHandleResourceStrings = false;
    Word FResourceLanguageIndex = 1;
    bool FTranslateExtendedFirst = false;
    bool FUseDefaultLanguage = false;
    int FDefaultLanguage = 1;
    bool FAutoSkipEmpties = true;
    bool FStoreAsUTF8 = false;
    bool FUseTaskMsgDlg = true;
    int FNumOfLanguages = 1;
    int FActiveLanguage = 1;
    bool FChangeLocales = false;
    Byte FLangDelim = 1;
    std::string FLanguage;
    TTranslateType FTranslateType = ttNoChange;
    TsiLangOptions FOptions;
    bool FNeedAllDlgs = false;
    SmallInt FChangingCursor = -1;
    bool FDoRaiseExceptions = false;
    int FChangedKind = -1;
    std::array<std::string, LocaleItemCount> FLocaleDefaults;
    std::vector<Byte> FLanguageCharsets;
    Byte FActiveCharset = 1;
    bool FOwnerHasNoFont = false;
};

// The class placed on forms: publishes the lists and the language properties.
class TsiLang : public TsiCustomLang {
    DECLARE_CLASS(TsiLang, TsiCustomLang)
public:
    using TsiCustomLang::TsiCustomLang;
    static void DefineClass(TClassBuilder<TsiLang>& B);
};

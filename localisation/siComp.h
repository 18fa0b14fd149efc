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
class TsiLangDispatcher;
class TSIBFileManager;

DECLARE_ENUM(TStringsType, stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines, stDlgsCaptions, stStrings,
             stOtherStrings, stLocales, stCollections, stCharSets, stListView_TreeView_Items)
DECLARE_ENUM(TTranslateType, ttNoChange, ttGetDefault)
DECLARE_ENUM(TsiLangOption, loUseExtUDStrings, loUseExtCommonStrings)
DECLARE_SET(TsiLangOptions, TsiLangOption)
DECLARE_ENUM(TTestModeKind, tmkExpandWidth, tmkFlipCase, tmkExpandChars)

inline constexpr int KindCount = 12;  // stCaptions .. stListView_TreeView_Items

DECLARE_EXCEPTION(ELanguageError, Exception);

// The refusal of a language number outside 1 .. Count, led by the owner's class name when Owner is
// not null.
[[noreturn]] void RaiseLanguageRangeError(TComponent* Owner, int Value, int Count);
// The refusal of a language count below 1.
[[noreturn]] void RaiseLanguageCountError(int Value);

// (Sender, the new language, var AllowChange): asked before the language changes.
using TLanguageChangingEvent = TMethodOf<TObject*, int, bool&>;
DECLARE_EVENT_NAME(TLanguageChangingEvent)
// (Sender, the component that has just linked).
using TLinkToDispatcherEvent = TMethodOf<TObject*, TsiCustomLang*>;
DECLARE_EVENT_NAME(TLinkToDispatcherEvent)

// Called with every text before it is written into a string property and with every line before it
// is written into a string list; may change the text. Empty in the program.
using TSetPropertyHook = void (*)(TObject* Object, PPropInfo Prop, std::string& Text);
extern TSetPropertyHook SetPropertyHook;

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
// The sections of a text translation file, in kind order.
extern const std::array<const char*, KindCount> TextFileSectionNames;
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

// The platform's locale comparison without and with regard to case; 0 when equal.
int CompareTextNoCase(std::string_view A, std::string_view B);
int CompareTextExact(std::string_view A, std::string_view B);
// The first exact occurrence of Old (every one with All) replaced by New; an empty Old changes nothing.
std::string ReplaceText(std::string_view Text, std::string_view Old, std::string_view New, bool All);
// Field 0 and D, then every field 1 .. (delimiter count) but N, each followed by D.
std::string DeleteField(std::string_view Entry, int N, char D);
void DeleteColumn(TStrings* List, int N, char D);
// The values of a padded entry with value From moved to position To.
std::string MoveField(std::string_view Entry, int From, int To, char D);
void MoveColumn(TStrings* List, int From, int To, char D);
// Some entry's key equals Key without regard to case.
bool ListHasKey(TStrings* List, std::string_view Key, char D);
// A path segment with an optional collection index, "Columns[2]": the name before "[" (the whole
// segment without one) and the index between the brackets, -1 when there is none or it is not a
// number of 0 or more.
struct TIndexedSegment {
    std::string Name;
    int Index = -1;
};
TIndexedSegment ParseIndexedSegment(std::string_view Segment);
// Text matches none of the 15 standard dialog captions (without their "&").
bool IsExtraDialogCaption(std::string_view Text);
bool IsSibFileName(std::string_view FileName);
// Upper case becomes lower, everything else upper, character by character.
std::string FlipCase(std::string_view Text);
// Percent % of the length in PadChar, spread over the characters (the later ones get more); a
// format string (holding "%") stays as it is.
std::string ExpandChars(std::string_view Text, char PadChar, int Percent);

// ---------------------------------------------------------------------------------------------
// Character sets of languages

// The name's charset number from CharsetNames (exact match), 1 (DEFAULT_CHARSET) for anything else.
Byte CharsetOfName(std::string_view Name);
// CharsetCodePage (SysUtils) gives the code page a language's charset stands for.
std::string AnsiToUtf8(std::string_view Text, Byte Charset);
std::string Utf8ToAnsi(std::string_view Text, Byte Charset);
// Strict twins for whole-list conversions: false (and Result untouched) when the platform refuses a
// character, so that a caller can give up before it has changed anything.
bool TryAnsiToUtf8(std::string_view Text, Byte Charset, std::string& Result);
bool TryUtf8ToAnsi(std::string_view Text, Byte Charset, std::string& Result);

// ---------------------------------------------------------------------------------------------
// Published properties reached by name

// The published properties of an object's class whose kind is in the filter, sorted by name.
class TsiPropInfoList : public TObject {
    DECLARE_CLASS(TsiPropInfoList, TObject)
public:
    // Raises Exception "NIL passed as AObject in TsiPropInfoList.Create!" without an object.
    TsiPropInfoList(TObject* AObject, TTypeKinds Filter);
    // The first record named Name without regard to case, or null.
    PPropInfo Find(const std::string& Name) const;
    PPropInfo Items(int Index) const;
    int Count() const { return static_cast<int>(FList.size()); }
    int Size() const { return Count() * 4; }

private:
    std::vector<PPropInfo> FList;
};

inline constexpr TTypeKinds StringKinds{tkString, tkLString, tkWString};
inline constexpr TTypeKinds ObjectKinds{tkClass};
// The kinds a list's property may have: objects for Fonts and MultiLines, strings otherwise.
TTypeKinds PropertyKindFilter(TStringsType Kind);

// The property's value taken as an object (null for a null Object or a property of another kind).
TObject* GetObjectProperty(TObject* Object, PPropInfo Prop);
// Component has a published property Name of a kind in Kinds (and of type TypeName when given).
bool HasProperty(TObject* Component, const std::string& Name, TTypeKinds Kinds, const std::string& TypeName = "");
// The "Font" property's font: its name ("" without one) and character set (0 without one).
std::string FontNameOf(TObject* Component);
Byte FontCharsetOf(TObject* Component);
// A control whose "ParentFont" is set: it shows its parent's font, so its own is left alone.
bool FollowsParentFont(TComponent* C);

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
    // Text unchanged when there is none. An empty value of a language after the first is, while the
    // dispatcher's test mode is active, the pseudo-translation of the item's language-1 value.
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
// Resource-string redirection

// The component whose Strings translate the framework's resource strings (null when none does).
extern TsiCustomLang* ResourceStringsOwner;
// When not 0, resource numbers up to it are first looked up by key "IDS_RES_" and the number.
extern int ResourceIdLimit;

// The loader the redirection installs: the text as loaded, translated through the owner's
// ResourceIndex into its active language when that differs from ResourceLanguageIndex.
std::string LoadResourceText(const TResStringRec* Record);
// String resource Identifier of the program itself, through LoadResourceText.
std::string LoadResourceTextById(unsigned Identifier);
std::string FormatResourceText(unsigned Identifier, TVarRecs Arguments);
// Forgets Component as the owner (its destruction) and puts the previous loader back.
void ReleaseResourceStrings(TsiCustomLang* Component);

// ---------------------------------------------------------------------------------------------
// Extended translations (stored part)

class TsiExtendedItem : public TCollectionItem {
    DECLARE_CLASS(TsiExtendedItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    static void DefineClass(TClassBuilder<TsiExtendedItem>& B);
    void DefineProperties(TFiler& Filer) override;
    std::string GetDisplayName() override;

    // The stored path with its first segment renamed as the start component is now named (the
    // owner's class name for the owner), so that renaming a component keeps the path valid.
    std::string Identifier() const;
    std::string ResolvedIdentifier() const { return Identifier(); }
    const std::string& StoredIdentifier() const { return FIdentifier; }
    void SetIdentifier(const std::string& Value) { FIdentifier = Value; }
    TComponent* StartComponent() const { return FStartComponent; }
    void SetStartComponent(TComponent* Value) { FStartComponent = Value; }
    TTypeKind PropertyType() const { return FPropertyType; }
    void SetPropertyType(TTypeKind Value) { FPropertyType = Value; }
    // Value of language 1, D, value of language 2, D ... (no key field).
    const std::string& Values() const { return FValues; }
    // New values replace any UTF-16 values read with the item.
    void SetValues(const std::string& Value) {
        FValues = Value;
        FWideValues.clear();
    }
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
    TComponent* FStartComponent = nullptr;
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
// Test mode: pseudo-translations of the texts a language lacks

class TTestModeInfo : public TPersistent {
    DECLARE_CLASS(TTestModeInfo, TPersistent)
public:
    static void DefineClass(TClassBuilder<TTestModeInfo>& B);
    void Assign(TPersistent* Source) override;
    bool Active = false;
    TTestModeKind Kind = tmkExpandWidth;
    int ExpandWidthPercent = 100;
    int ExpandCharsPercent = 100;
    char PaddingChar = '*';
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
    // The design-time collector: one entry for every translatable property of the owner and its
    // components. Nothing outside the design state.
    virtual void CollectProperties();
    // Applies the active language to the owner, then raises OnChangeLanguage.
    virtual void ApplyTranslation();
    // The published list of the kind (stCaptions gives Captions); null for stListView_TreeView_Items.
    virtual TStrings* GetKindList(TStringsType Kind);
    // Sets the value of Language in the first entry of List keyed Key (and in the indexes for Strings).
    virtual void SetTranslation(TStrings* List, const std::string& Text, const std::string& Key, int Language);
    virtual void SetTranslationByRef(TStrings* ListRef, const std::string& Key, int Language, const std::string& Text);
    // Renames the keys, exclusions and extended translations of a renamed component.
    virtual void RenameKeys(const std::string& OldName, const std::string& NewName);

    // Text translation files (stream level). Loading a kind gives the number of distinct keys of the
    // file's section (of every form), -1 for a kind without a list; saving gives the list's count.
    virtual int LoadKindFromStream(TStringsType Kind, TStream* Stream, bool Clear);
    virtual int SaveKindToStream(TStringsType Kind, TStream* Stream, const std::string& Delimiter);
    virtual void LoadAllFromStream(TStream* Stream, bool Clear, bool NoApply);
    virtual void SaveAllToStream(TStream* Stream, const std::string& Delimiter);
    // The file's entries replace those of the same key; the component's others stay after them. On
    // an error the kind's list is put back and the result is false.
    virtual bool MergeKindFromStream(TStringsType Kind, TStream* Stream);
    virtual bool MergeAllFromStreamAndApply(TStream* Stream);
    virtual bool MergeAllFromStream(TStream* Stream);
    // File level: a missing file loads nothing (-1 from the kind loads, false from the merges).
    virtual int LoadKindFromFile(TStringsType Kind, const std::string& FileName, bool Clear);
    virtual int SaveKindToFile(TStringsType Kind, const std::string& FileName, const std::string& Delimiter);
    virtual void LoadAllFromFile(const std::string& FileName, bool Clear);
    virtual void SaveAllToFile(const std::string& FileName, const std::string& Delimiter);
    virtual int LoadStringsFromFile(const std::string& FileName, bool Clear);
    virtual int SaveStringsToFile(const std::string& FileName, const std::string& Delimiter);
    // Also from a SIB file; the file's language columns are brought into LangNames' order and the
    // columns of languages LangNames lacks are dropped.
    virtual bool MergeKindFromFile(TStringsType Kind, const std::string& FileName);
    virtual bool MergeAllFromFileAndApply(const std::string& FileName);
    virtual void LoadEachKindFromFile(const std::string& FileName, bool Clear);
    virtual bool MergeAllFromFile(const std::string& FileName);
    // Merging: appends every entry of Old whose key List lacks; the owner's own entry goes to the top,
    // where the list's upkeep keeps it.
    void AppendMissingEntries(TStrings* List, TStrings* Old);
    // After one kind was loaded outside a batch: the list's upkeep, the index for Strings, the apply.
    void FinishKindLoad(TStrings* List, TStringsType Kind);
    // One language column of a text translation file, added as a new language when LangNames lacks it.
    virtual void ImportLanguageKind(TStringsType Kind, const std::string& FileName, const std::string& LanguageName);
    virtual void ImportLanguageExtended(const std::string& FileName, const std::string& LanguageName);
    virtual void ImportLanguage(const std::string& FileName, const std::string& LanguageName);

    void LoadExtendedFromStream(TStream* Stream, bool Clear);
    void SaveExtendedToStream(TStream* Stream, const std::string& Delimiter);
    void LoadExtendedFromFile(const std::string& FileName, bool Clear);
    void SaveExtendedToFile(const std::string& FileName, const std::string& Delimiter);
    // Value at Language, empty values elsewhere: for each language 1 .. NumOfLanguages the value or
    // nothing, each followed by D.
    std::string BuildSingleValue(const std::string& Value, int Language) const;
    // The language names a translation file (text or SIB) holds, read through a temporary copy.
    void ReadFileLanguageNames(const std::string& FileName, TStrings* Names);
    // SIB files: the owner's block loaded into this component (then indexed and applied), or one kind.
    void LoadSIBFile(const std::string& FileName);
    void LoadSIBKind(TStringsType Kind, const std::string& FileName);

    // Resource-string redirection: makes this component the ResourceStringsOwner and installs the
    // translating loader (the finishing step calls it at run time with HandleResourceStrings set).
    void TakeResourceStrings();

    // Applying a language.
    void ApplyKindList(TStrings* List, TStringsType Kind);
    bool IsOwnerTranslated();
    // Field Field of Entry; with UseDefaultLanguage an empty one gives field DefaultLanguage.
    std::string FieldWithDefault(std::string_view Entry, int Field);

    // List upkeep.
    // Moves the entries of components the owner no longer has to RemovedEntries, drops texts that
    // come from an action, and with AutoSkipEmpties entries without a value.
    void TidyKindList(TStrings* List, TStringsType Kind);
    void RemoveStaleEntries();
    void DeleteComponentKey(TStrings* List, const std::string& ComponentName, TStringsType Kind,
                            const std::string& PropertyName);
    void ApplyDoNotTranslate();

    // Properties by name (the owner's components and their objects).
    std::string ReadPropertyByName(TObject* Component, const std::string& Name);
    void WritePropertyByName(TObject* Component, const std::string& Name, const std::string& Text);
    // A wide-string property converted with the active charset (UTF-8 with StoreAsUTF8); other
    // string kinds as they stand.
    std::string GetStringPropertyText(TObject* Object, PPropInfo Prop);
    void SetStringProperty(TObject* Object, PPropInfo Prop, std::string Text);
    // The component's own published list property Name, or null.
    TStrings* FindListProperty(const std::string& Name);
    // Entry without this component's delimiter at its start and end.
    std::string StripDelimiters(std::string_view Entry) const;

    // Extended translations: dotted paths from the owner or one of its components.
    // The object holding the path's last property; null when the path does not resolve (a missing
    // property, a null object, a bad or out-of-range collection index).
    TObject* ResolvePathOwner(const std::string& Identifier);
    TTypeKind GetPropertyTypeKind(const std::string& Identifier);
    std::string GetPropertyText(const std::string& Identifier);
    // Errors while converting or setting are swallowed; an unresolved path does nothing.
    void SetPropertyText(const std::string& Identifier, const std::string& Text);
    void ApplyExtendedTranslations();
    void SyncExtendedValues();
    void ReplaceDelimiterInValues(char OldChar, char NewChar);
    // Kind 0 (Caption) or 1 (Hint) of Target equals its action's.
    bool IsTextFromAction(TObject* Target, int Kind);

    // Test mode (the dispatcher's TestModeInfo active).
    bool TestModeActive() const;
    std::string PseudoTranslate(const std::string& Text);
    // The pseudo-translation of the entry's language-1 value ("" when that is empty).
    std::string PseudoTranslateEntry(std::string_view Entry);
    // Every stored value converted to UTF-8 or back with its language's charset; all or nothing:
    // a refused conversion raises ELanguageError and leaves every list as it was.
    void ConvertStorage(bool ToUtf8);

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
    void SetAutoSkipEmpties(bool Value);
    bool StoreAsUTF8() const { return FStoreAsUTF8; }
    void SetStoreAsUTF8(bool Value);
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
    TsiLangDispatcher* LangDispatcher() const { return FLangDispatcher; }
    void SetLangDispatcher(TsiLangDispatcher* Value);
    TNotifyEvent OnChangeLanguage;
    Byte LangDelim() const { return FLangDelim; }
    // LangDelim as the character the entries hold.
    char DelimChar() const { return static_cast<char>(FLangDelim); }
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
    friend class TsiLangDispatcher;
    friend class TSIBFileManager;
    // The owner's component named Name, or null.
    TComponent* OwnerComponent(const std::string& Name) const;
    // The owner when Name is its class name or its name (exactly), else its component of that name.
    TComponent* OwnerOrComponent(const std::string& Name) const;
    // LookupText's search of a list's text (step 3).
    void SearchListText(TStrings* List, const std::string& Key, std::string& Result, bool UseLanguage1);
    // The first list of List's kind among the components linked to the dispatcher that is not
    // empty; null when none is.
    TStrings* RedirectedList(TStrings* List) const;
    // The value entry Index applies: the active language's, else test mode's pseudo-translation
    // (with Pseudo), else language 1's under ttGetDefault.
    std::string ValueToApply(TStrings* List, int Index, std::string_view Entry, bool Pseudo);
    void ApplyOwnerText(TStrings* List, const char* Property);
    void ApplyOwnerFont();
    void ApplyCollections(TStrings* List);
    void ApplyLocale(const std::string& Item, const std::string& Value);
    // Writes the comma text Value over the string list Target line by line.
    void WriteListLines(TStrings* Target, PPropInfo Prop, const std::string& Value);
    void CollectKind(TStringsType Kind);
    void CollectOwnerEntry(TStringsType Kind);
    void CollectValue(TStrings* List, const std::string& Key, const std::string& Text);
    bool IsCollected(TComponent* C);
    void DeleteComponentEntries(TComponent* C);
    void AttachExtendedItems();
    void ForgetStartComponent(TComponent* C);

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
    // The item's values as UTF-16 text: the UTF-16 values it read, else its values decoded by each
    // language's code page.
    std::wstring ExtendedValuesAsWide(TsiExtendedItem* Item);

    std::array<TOwned<TStringList>, KindCount> FLists;
    TOwned<TStringList> FStringsTypes, FSmartExcludeProps, FDoNotTranslate, FLangNames, FExcludedProperties,
        FFixedLanguages, FRemovedEntries;
    TOwned<TsiStringsCollection> FStringsIndex, FResourceIndex;
    TOwned<TsiExtendedItems> FExtendedTranslations;
    TsiCustomLang* FCharsetReference = nullptr;
    TsiLangDispatcher* FLangDispatcher = nullptr;

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

// ---------------------------------------------------------------------------------------------
// The language dispatcher

// Keeps the application's language and switches every linked translation component at once.
class TsiLangDispatcher : public TComponent {
    DECLARE_CLASS(TsiLangDispatcher, TComponent)
public:
    explicit TsiLangDispatcher(TComponent* AOwner);
    ~TsiLangDispatcher() override;
    void BeforeDestruction() override;
    static void DefineClass(TClassBuilder<TsiLangDispatcher>& B);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Adds the component, gives it the languages and switches it to the current one.
    void Link(TsiCustomLang* Component);
    void Unlink(TsiCustomLang* Component);
    int LinkedCount() const { return static_cast<int>(FLinked.size()); }
    TsiCustomLang* LinkedItems(int Index) const;

    int ActiveLanguage() const { return FActiveLanguage; }
    // The switch: refuses a language outside 1 .. NumOfLanguages before asking or changing anything;
    // a veto of OnLanguageChanging (its own or a linked component's) changes nothing.
    void SetActiveLanguage(int Value);
    int NumOfLanguages() const { return FNumOfLanguages; }
    void SetNumOfLanguages(int Value);
    TStrings* LangNames() const { return FLangNames.get(); }
    void SetLangNames(TStrings* Value);
    const std::string& Language() const { return FLanguage; }
    void SetLanguage(const std::string& Value);
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    TTestModeInfo* TestModeInfo() const { return FTestModeInfo.get(); }
    void SetTestModeInfo(TTestModeInfo* Value) { FTestModeInfo->Assign(Value); }
    bool UseDefaultLanguage() const { return FUseDefaultLanguage; }
    void SetUseDefaultLanguage(bool Value);
    int DefaultLanguage() const { return FDefaultLanguage; }
    void SetDefaultLanguage(int Value);

    TLinkToDispatcherEvent OnLinkToDispatcher;
    TLanguageChangingEvent OnLanguageChanging;
    TNotifyEvent OnLanguageChanged;

    // The reader every component linked to a SIB FileName shares; null until the first needs it.
    TSIBFileManager* SIBReader() const { return FSIBReader.get(); }

private:
    // A component linking while FileName names an existing file takes its texts from it.
    void LoadTranslationFile(TsiCustomLang* Component, const std::string& File);
    TOwned<TSIBFileManager> FSIBReader;
    bool Loading() const { return ComponentState().Contains(csLoading); }

    std::vector<TsiCustomLang*> FLinked;
    TOwned<TStringList> FLangNames;
    TOwned<TTestModeInfo> FTestModeInfo;
    int FActiveLanguage = 1;
    int FNumOfLanguages = 1;
    std::string FLanguage;
    std::string FFileName;
    bool FUseDefaultLanguage = false;
    int FDefaultLanguage = 1;
};

// ---------------------------------------------------------------------------------------------
// Form placement in the registry

DECLARE_ENUM(TMyHKeyType, siHKEY_CURRENT_USER, siHKEY_CLASSES_ROOT, siHKEY_LOCAL_MACHINE, siHKEY_USERS,
             siHKEY_CURRENT_CONFIG, siHKEY_DYN_DATA)

class TCustomForm;

// Restores its form's position, size and window state from the registry when the form has loaded
// and saves them when it is destroyed with the form. The owner must be a form.
class TsiFormStorage : public TComponent {
    DECLARE_CLASS(TsiFormStorage, TComponent)
public:
    // Raises EInvalidCast for an owner that is not a form.
    explicit TsiFormStorage(TComponent* AOwner);
    ~TsiFormStorage() override;
    static void DefineClass(TClassBuilder<TsiFormStorage>& B);
    void Loaded() override;

    // "State" is always written; "Top", "Left", "Height" and "Width" only for a normal window, so
    // the size a maximised form comes back to is the last normal one.
    void SavePlacement();
    // Any value that cannot be read puts the placement and state the form had back.
    void RestorePlacement();

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TMyHKeyType RegRootKey() const { return FRegRootKey; }
    void SetRegRootKey(TMyHKeyType Value);
    const std::string& SubKey() const { return FSubKey; }
    void SetSubKey(const std::string& Value) { FSubKey = Value; }
    HKEY RootKey() const { return FRootKey; }

private:
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    TCustomForm* FForm;
    bool FActive = true;
    TMyHKeyType FRegRootKey = siHKEY_CURRENT_USER;
    HKEY FRootKey = HKEY_CURRENT_USER;
    std::string FSubKey;
};

// ---------------------------------------------------------------------------------------------
// Translation files: temporary copies and the SIB reader

// A component of Of's class, without an owner of its own but inserted among Of's owner's components
// so that its keys resolve; quiet, so it neither links nor applies. Freed with the scope.
class TsiTemporaryCopy {
public:
    explicit TsiTemporaryCopy(TsiCustomLang* Of);
    ~TsiTemporaryCopy();
    TsiTemporaryCopy(const TsiTemporaryCopy&) = delete;
    TsiTemporaryCopy& operator=(const TsiTemporaryCopy&) = delete;
    TsiCustomLang* operator->() const { return FLang; }
    TsiCustomLang* get() const { return FLang; }

private:
    TsiCustomLang* FLang;
};

// Reads SIB files: a header, a directory of form class names with offsets, and per form one stored
// translation component in the binary component-stream format.
class TSIBFileManager : public TPersistent {
    DECLARE_CLASS(TSIBFileManager, TPersistent)
public:
    static constexpr std::string_view Header{"SIB file: TsiLang binary translation data\0", 42};

    TSIBFileManager();
    ~TSIBFileManager() override;
    void Assign(TPersistent* Source) override;

    void LoadFile(TsiCustomLang* Component, const std::string& OwnerClassName, const std::string& FileName);
    // Raises "Unrecognized stream format!" for another header, EReadError for a directory or block
    // that lies outside the stream; leaves Component unchanged when no block is OwnerClassName's.
    void LoadStream(TsiCustomLang* Component, const std::string& OwnerClassName, TStream* Stream);
    // Only Kind's list of Component takes the file's texts.
    void LoadKind(TStringsType Kind, const std::string& FileName, const std::string& OwnerClassName,
                  TsiCustomLang* Component);

    TStrings* FixedLanguages() const { return FFixedLanguages.get(); }
    TStrings* ComponentNames() const { return FNames.get(); }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }
    const std::wstring& CommentsFileName() const { return FCommentsFileName; }

private:
    void FreeComponents();
    std::string FHeader{Header};
    TOwned<TStringList> FNames;
    std::vector<TComponent*> FComponents;
    TOwned<TStringList> FFixedLanguages;
    std::wstring FCommentsFileName;
};

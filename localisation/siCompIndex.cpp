// The sorted index of a component's Strings: a collection of keys with their values per language,
// sorted by key (or by one language's values) and searched by bisection.
#include "siComp.h"

// ---------------------------------------------------------------------------------------------
// TsiSortCollection

void TsiSortCollection::ExchangeItems(int I, int J) {
    if (I == J)
        return;
    if (I > J)
        std::swap(I, J);
    TCollectionItem* Later = Items(J);
    Items(I)->SetIndex(J);
    Later->SetIndex(I);
}

void TsiSortCollection::QuickSort(int Low, int High, TCompare Compare, void* Context) {
    do {
        TCollectionItem* Pivot = Items((Low + High) / 2);
        int I = Low, J = High;
        do {
            while (Compare(Context, Items(I), Pivot) < 0)
                ++I;
            while (Compare(Context, Items(J), Pivot) > 0)
                --J;
            if (I <= J) {
                ExchangeItems(I, J);
                ++I;
                --J;
            }
        } while (I <= J);
        if (Low < J)
            QuickSort(Low, J, Compare, Context);
        Low = I;
    } while (Low < High);
}

void TsiSortCollection::Sort(TCompare Compare, void* Context) {
    if (Count() == 0)
        return;
    BeginUpdate();
    try {
        QuickSort(0, Count() - 1, Compare, Context);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Items

TsiStringsCollectionItem::TsiStringsCollectionItem(TCollection* ACollection)
    : TCollectionItem(ACollection), LanguageTexts(Create<TStringList>()) {}

TsiStringsCollectionItem::~TsiStringsCollectionItem() { LanguageTexts->Free(); }

std::string TsiStringsCollectionItem::Text(int Language) const {
    // An item built before the language count grew has no value for the new languages.
    return Language > LanguageTexts->Count() ? std::string() : LanguageTexts->Strings(Language - 1);
}

// ---------------------------------------------------------------------------------------------
// TsiStringsCollection

TsiStringsCollection::TsiStringsCollection(TsiCustomLang* ALang)
    : TsiSortCollection(TsiStringsCollectionItem::StaticClass()), FLang(ALang) {}

TPersistent* TsiStringsCollection::GetOwner() { return FLang; }

int TsiStringsCollection::IndexOfKey(const std::string& Key) const {
    for (int I = 0; I < Count(); ++I)
        if (AnsiSameText(Items(I)->ItemKey, Key))
            return I;
    return -1;
}

template <class F>
int TsiStringsCollection::Bisect(F Compare) const {
    if (Count() == 0)
        return -1;
    int Lo = 0, Hi = Count() - 1;
    do {
        int Mid = (Lo + Hi) / 2;
        int C = Compare(Items(Mid));
        if (C == 0)
            return Mid;
        if (C < 0 && Lo == Mid)
            // Only Mid and Mid + 1 are left, and the halving never reaches Mid + 1.
            return Mid + 1 < Count() && Compare(Items(Mid + 1)) == 0 ? Mid + 1 : -1;
        if (C < 0)
            Lo = Mid;
        else
            Hi = Mid;
    } while (Lo < Hi);
    return -1;
}

std::string TsiStringsCollection::Stored(const std::string& Value, int Language) const {
    if (FLang && FLang->StoreAsUTF8() && !Value.empty())
        return Utf8ToAnsi(Value, FLang->CharsetOfLanguage(Language));
    return Value;
}

std::string TsiStringsCollection::ValueOfKey(const std::string& Key, int Language) const {
    int I = Bisect([&](TsiStringsCollectionItem* Item) { return AnsiCompareText(Item->ItemKey, Key); });
    return I < 0 ? std::string() : Stored(Items(I)->Text(Language), Language);
}

std::string TsiStringsCollection::GetTranslation(const std::string& Text, int Language) const {
    int I = Bisect([&](TsiStringsCollectionItem* Item) { return AnsiCompareStr(Item->Text(SortColumn), Text); });
    if (I < 0)
        return Text;
    std::string Value = Items(I)->Text(Language);
    // In test mode a text nobody translated yet shows as the pseudo-translation of its first language.
    if (Value.empty() && Language > 1 && FLang && FLang->TestModeActive())
        return FLang->PseudoTranslate(Stored(Items(I)->Text(1), 1));
    return Stored(Value, Language);
}

namespace {
int CompareItems(void* Context, TCollectionItem* A, TCollectionItem* B) {
    int Column = *static_cast<int*>(Context);
    auto* X = static_cast<TsiStringsCollectionItem*>(A);
    auto* Y = static_cast<TsiStringsCollectionItem*>(B);
    return Column == 0 ? AnsiCompareText(X->ItemKey, Y->ItemKey) : AnsiCompareStr(X->Text(Column), Y->Text(Column));
}
}  // namespace

void TsiStringsCollection::Resort() {
    int Column = SortColumn;
    Sort(&CompareItems, &Column);
}

void BuildIndex(TsiCustomLang* Component, TsiStringsCollection* Index, int SortColumn) {
    const char D = Component->DelimChar();
    TStrings* Strings = Component->Strings();
    Index->BeginUpdate();
    try {
        Index->Clear();
        for (int I = 0; I < Strings->Count(); ++I) {
            const std::string Entry = Strings->Strings(I);
            TsiStringsCollectionItem* Item = Index->Add();
            Item->ItemKey = ExtractDelimitedField(Entry, D, 0);
            for (int L = 1; L <= Component->NumOfLanguages(); ++L)
                Item->LanguageTexts->Add(ExtractDelimitedField(Entry, D, L));
        }
    } catch (...) {
        Index->EndUpdate();
        throw;
    }
    Index->EndUpdate();
    Index->SortColumn = SortColumn;
    Index->Resort();
}

void RebuildIndexes(TsiCustomLang* Component) {
    if (Component->ComponentState().Contains(csDesigning))
        return;
    BuildIndex(Component, Component->StringsIndex(), 0);
    if (Component->HandleResourceStrings() && Component->Owner())
        BuildIndex(Component, Component->ResourceIndex(), Component->ResourceLanguageIndex());
}

void TsiCustomLang::SetResourceLanguageIndex(Word Value) {
    if (Value == FResourceLanguageIndex)
        return;
    if (!Loading() && (Value < 1 || Value > FNumOfLanguages))
        // The index's refusal names no owner.
        RaiseLanguageRangeError(nullptr, Value, FNumOfLanguages);
    FResourceLanguageIndex = Value;
    if (!Designing() && !Loading()) {
        FResourceIndex->SortColumn = Value;
        FResourceIndex->Resort();
    }
}

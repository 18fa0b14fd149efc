// The language dispatcher: the application's current language, and one switch that changes every
// linked translation component; a component that links later starts in the current language.
#include "siComp.h"

#include "Restore.h"

#include <algorithm>

TsiLangDispatcher::TsiLangDispatcher(TComponent* AOwner)
    : TComponent(AOwner), FLangNames(Create<TStringList>()), FTestModeInfo(Create<TTestModeInfo>()) {
    FLangNames->Add("Language N1");
}

TsiLangDispatcher::~TsiLangDispatcher() = default;

void TsiLangDispatcher::BeforeDestruction() {
    // Each component forgets the dispatcher, which also takes it off the list; an entry whose
    // component no longer names this dispatcher is dropped all the same, so the walk always ends.
    while (!FLinked.empty()) {
        TsiCustomLang* Last = FLinked.back();
        if (Last->LangDispatcher() == this)
            Last->SetLangDispatcher(nullptr);
        Unlink(Last);
    }
    TComponent::BeforeDestruction();
}

void TsiLangDispatcher::DefineClass(TClassBuilder<TsiLangDispatcher>& B) {
    using C = TsiLangDispatcher;
    B.Property("ActiveLanguage", &C::ActiveLanguage, &C::SetActiveLanguage);
    B.Property("NumOfLanguages", &C::NumOfLanguages, &C::SetNumOfLanguages);
    B.Property("LangNames", &C::LangNames, &C::SetLangNames);
    B.Property("Language", &C::Language, &C::SetLanguage);
    B.Property("FileName", &C::FileName, &C::SetFileName);
    B.Property("OnLinkToDispatcher", &C::OnLinkToDispatcher, &C::OnLinkToDispatcher);
    B.Property("TestModeInfo", &C::TestModeInfo, &C::SetTestModeInfo);
    B.Property("UseDefaultLanguage", &C::UseDefaultLanguage, &C::SetUseDefaultLanguage).Default(false);
    B.Property("DefaultLanguage", &C::DefaultLanguage, &C::SetDefaultLanguage).Default(1);
    B.Property("OnLanguageChanging", &C::OnLanguageChanging, &C::OnLanguageChanging);
    B.Property("OnLanguageChanged", &C::OnLanguageChanged, &C::OnLanguageChanged);
}

void TsiLangDispatcher::Loaded() {
    TComponent::Loaded();
    // The language is read before the count; a stored language the count does not hold would
    // refuse every window that links.
    if (FActiveLanguage < 1 || FActiveLanguage > FNumOfLanguages)
        FActiveLanguage = 1;
}

void TsiLangDispatcher::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        if (auto* Lang = DynCast<TsiCustomLang>(AComponent))
            Unlink(Lang);
}

TsiCustomLang* TsiLangDispatcher::LinkedItems(int Index) const {
    if (Index < 0 || Index >= LinkedCount())
        RaiseListIndexError(Index);
    return FLinked[static_cast<size_t>(Index)];
}

// ---------------------------------------------------------------------------------------------
// Linking

void TsiLangDispatcher::Link(TsiCustomLang* Component) {
    if (std::find(FLinked.begin(), FLinked.end(), Component) != FLinked.end())
        return;
    FLinked.push_back(Component);
    Component->SetNumOfLanguages(FNumOfLanguages);
    Component->LangNames()->SetText(FLangNames->Text());
    Component->FLanguage = FLanguage;
    if (!ComponentState().Contains(csDesigning)) {
        OnLinkToDispatcher(this, Component);
        std::string File = FFileName;
        if (!File.empty() && !FileExists(File))
            File = ExpandFileName(File);
        if (!File.empty() && FileExists(File)) {
            LoadTranslationFile(Component, File);
            Component->RefreshActiveCharset();
            return;
        }
    }
    // A window opened after a switch starts in the current language; one opened in the language its
    // resource holds applies nothing.
    Component->SetActiveLanguage(FActiveLanguage);
    Component->RefreshActiveCharset();
}

void TsiLangDispatcher::Unlink(TsiCustomLang* Component) {
    auto It = std::find(FLinked.begin(), FLinked.end(), Component);
    if (It != FLinked.end())
        FLinked.erase(It);
}

// ---------------------------------------------------------------------------------------------
// The switch

void TsiLangDispatcher::SetActiveLanguage(int Value) {
    if (Value == FActiveLanguage)
        return;
    if (Loading()) {
        // The count may follow in the stream; Loaded puts a language it lacks back to 1.
        FActiveLanguage = Value;
        return;
    }
    // Refused before anything is asked or stored: a bad language never reaches the components.
    if (Value < 1 || Value > FNumOfLanguages)
        RaiseLanguageRangeError(Owner(), Value, FNumOfLanguages);
    bool AllowChange = true;
    OnLanguageChanging(this, Value, AllowChange);
    if (!AllowChange)
        return;
    for (TsiCustomLang* L : FLinked) {
        L->OnLanguageChanging(L, Value, AllowChange);
        if (!AllowChange)
            return;
    }
    FActiveLanguage = Value;
    // A component's own handler may free windows: walk a copy and skip those that left.
    const std::vector<TsiCustomLang*> Linked = FLinked;
    for (TsiCustomLang* L : Linked) {
        if (std::find(FLinked.begin(), FLinked.end(), L) == FLinked.end())
            continue;
        TRestore<bool> Driven(L->DrivenByDispatcher, true);
        L->SetActiveLanguage(Value);
    }
    if (FLangNames->Count() >= FActiveLanguage)
        FLanguage = FLangNames->Strings(FActiveLanguage - 1);
    OnLanguageChanged(this);
}

void TsiLangDispatcher::SetNumOfLanguages(int Value) {
    if (Value < 1)
        RaiseLanguageCountError(Value);
    FNumOfLanguages = Value;
    while (FLangNames->Count() < Value)
        FLangNames->Add("Language N" + IntToStr(FLangNames->Count() + 1));
    while (FLangNames->Count() > Value)
        FLangNames->Delete(FLangNames->Count() - 1);
    for (TsiCustomLang* L : FLinked)
        L->SetNumOfLanguages(Value);
}

void TsiLangDispatcher::SetLangNames(TStrings* Value) {
    if (Value == FLangNames.get())
        return;
    FLangNames->Assign(Value);
    if (FActiveLanguage >= 1 && FActiveLanguage <= FLangNames->Count())
        FLanguage = FLangNames->Strings(FActiveLanguage - 1);
    for (TsiCustomLang* L : FLinked) {
        L->SetLangNames(FLangNames.get());
        L->SetLanguage(FLanguage);
    }
    SetNumOfLanguages(std::max(FLangNames->Count(), 1));
}

void TsiLangDispatcher::SetLanguage(const std::string& Value) {
    if (Value == FLanguage)
        return;
    const int Index = FLangNames->IndexOf(Value);
    if (FLangNames->Count() > 0 && Index < 0)
        throw ELanguageError("Language name shall be included in LangNames property!");
    FLanguage = Value;
    if (!Loading() && FLangNames->Count() > 0)
        SetActiveLanguage(Index + 1);
}

void TsiLangDispatcher::SetDefaultLanguage(int Value) {
    if (Value <= 0 || Value > FNumOfLanguages || Value == FDefaultLanguage)
        return;
    FDefaultLanguage = Value;
    for (TsiCustomLang* L : FLinked)
        L->SetDefaultLanguage(Value);
}

void TsiLangDispatcher::SetUseDefaultLanguage(bool Value) {
    if (Value == FUseDefaultLanguage)
        return;
    FUseDefaultLanguage = Value;
    for (TsiCustomLang* L : FLinked)
        L->SetUseDefaultLanguage(Value);
}

// ---------------------------------------------------------------------------------------------
// The component's side

void TsiCustomLang::SetLangDispatcher(TsiLangDispatcher* Value) {
    if (Value != FLangDispatcher && FLangDispatcher) {
        FLangDispatcher->Unlink(this);
        FLangDispatcher->RemoveFreeNotification(this);
    }
    FLangDispatcher = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    if (Loading()) {
        FNumOfLanguages = Value->NumOfLanguages();
        FDefaultLanguage = Value->DefaultLanguage();
        FUseDefaultLanguage = Value->UseDefaultLanguage();
    } else if (Owner() && !Quiet)
        Value->Link(this);
}

TStrings* TsiCustomLang::RedirectedList(TStrings* List) const {
    if (!FLangDispatcher)
        return nullptr;
    int Kind = 0;
    while (Kind < KindCount && FLists[Kind].get() != List)
        ++Kind;
    if (Kind == KindCount)
        return nullptr;
    for (int I = 0; I < FLangDispatcher->LinkedCount(); ++I) {
        TStrings* Theirs = FLangDispatcher->LinkedItems(I)->List(static_cast<TStringsType>(Kind));
        if (Theirs->Count() > 0)
            return Theirs;
    }
    return nullptr;
}

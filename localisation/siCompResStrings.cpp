// Resource-string redirection: one translation component may translate the texts the framework loads
// from string resources (error messages, dialog buttons), by their text in the resources' language.
// The framework's loader hook stands in for rewriting the loaders' code: installing it is reversible
// and touches no page protection.
#include "siComp.h"

#include "Restore.h"

TsiCustomLang* ResourceStringsOwner = nullptr;
int ResourceIdLimit = 0;

namespace {
// The loader that was in force before the redirection took over, put back when the owner goes.
TResStringLoader PreviousLoader = nullptr;
bool Installed = false;
// A lookup that raises loads its own message through the loader; that load is not translated again.
thread_local bool Translating = false;

std::string Untranslated(const TResStringRec* Record) {
    return PreviousLoader ? PreviousLoader(Record) : DefaultLoadResString(Record);
}

std::string Translate(const TResStringRec* Record, std::string Text) {
    TsiCustomLang* Owner = ResourceStringsOwner;
    if (!Owner || Translating || Owner->ResourceLanguageIndex() == Owner->ActiveLanguage())
        return Text;
    TRestore<bool> Inside(Translating, true);
    std::string T;
    try {
        if (ResourceIdLimit != 0 && !Record->Literal && Record->Identifier <= static_cast<unsigned>(ResourceIdLimit))
            Owner->LookupText(Owner->Strings(), "IDS_RES_" + std::to_string(Record->Identifier), T, false);
    } catch (const Exception&) {
        // An unknown key is no error here: the text is then translated by its wording.
        T.clear();
    }
    // An empty text (no such resource) would match any entry whose first language is still empty.
    if (T.empty() && !Text.empty())
        T = Owner->ResourceIndex()->GetTranslation(Text, Owner->ActiveLanguage());
    return T.empty() ? Text : T;
}
}  // namespace

std::string LoadResourceText(const TResStringRec* Record) {
    if (!Record)
        return {};
    return Translate(Record, Untranslated(Record));
}

std::string LoadResourceTextById(unsigned Identifier) {
    TResStringRec Record{nullptr, Identifier, nullptr};
    return LoadResourceText(&Record);
}

std::string FormatResourceText(unsigned Identifier, TVarRecs Arguments) {
    return Format(LoadResourceTextById(Identifier), Arguments);
}

void TsiCustomLang::TakeResourceStrings() {
    ResourceStringsOwner = this;
    FResourceIndex->SortColumn = FResourceLanguageIndex;
    BuildIndex(this, FResourceIndex.get(), FResourceLanguageIndex);
    // Taken again by a later component: the same loader is in force already.
    if (!Installed) {
        PreviousLoader = SetResStringLoader(LoadResourceText);
        Installed = true;
    }
}

// Called by the destructor: texts load untranslated from now on, through the loader that was in
// force before.
void ReleaseResourceStrings(TsiCustomLang* Component) {
    if (ResourceStringsOwner != Component)
        return;
    ResourceStringsOwner = nullptr;
    if (Installed && ResStringLoader() == LoadResourceText)
        SetResStringLoader(PreviousLoader);
    Installed = false;
    PreviousLoader = nullptr;
}

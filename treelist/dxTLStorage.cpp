// Layout storage of the column-based tree list: options, band order and widths, column places,
// widths, visibility and sort state, in the registry or an INI file.
#include "dxTL.h"

#include "Forms.h"
#include "IniFiles.h"
#include "Registry.h"

#include <algorithm>
#include <cstdio>

std::string NormalizeLayoutKey(std::string Key) {
    while (!Key.empty() && Key.back() == '\\')
        Key.pop_back();
    if (Key.empty() || Key.front() != '\\')
        Key.insert(Key.begin(), '\\');
    return Key;
}

// ---------------------------------------------------------------------------------------------
// Wrapper

namespace {
TCustomIniFile* AsIni(TObject* O) { return dynamic_cast<TCustomIniFile*>(O); }
TRegIniFile* AsReg(TObject* O) { return dynamic_cast<TRegIniFile*>(O); }

// Sorting keys that order non-negative indexes numerically as text.
std::string IndexKey(int Index) {
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "%11d", Index);
    return Buf;
}
}  // namespace

int TdxRegIniWrapper::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    if (TCustomIniFile* I = AsIni(RegIniObject))
        return I->ReadInteger(Section, Ident, Default);
    return AsReg(RegIniObject)->ReadInteger(Section, Ident, Default);
}

void TdxRegIniWrapper::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    if (TCustomIniFile* I = AsIni(RegIniObject))
        I->WriteInteger(Section, Ident, Value);
    else
        AsReg(RegIniObject)->WriteInteger(Section, Ident, Value);
}

bool TdxRegIniWrapper::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TdxRegIniWrapper::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TdxRegIniWrapper::ReadSections(TStrings* Strings) {
    if (TCustomIniFile* I = AsIni(RegIniObject))
        I->ReadSections(Strings);
    else
        AsReg(RegIniObject)->ReadSections(Strings);
}

void TdxRegIniWrapper::EraseSection(const std::string& Section) {
    if (TCustomIniFile* I = AsIni(RegIniObject))
        I->EraseSection(Section);
    else
        AsReg(RegIniObject)->EraseSection(Section);
}

void TdxRegIniWrapper::EraseSectionsWithPrefix(const std::string& Key) {
    TCustomIniFile* I = AsIni(RegIniObject);
    if (!I)
        return;
    TOwned<TStringList> Sections(Create<TStringList>());
    I->ReadSections(Sections.get());
    const std::string Below = Key + "\\";
    for (int N = 0; N < Sections->Count(); ++N) {
        const std::string S = Sections->Strings(N);
        // Compared as the file compares section names: without regard to case.
        if (SameText(S, Key) || (S.size() > Below.size() && SameText(S.substr(0, Below.size()), Below)))
            I->EraseSection(S);
    }
}

// ---------------------------------------------------------------------------------------------
// Saving

void TCustomdxTreeListControl::SaveOptionsLayout(TdxRegIniWrapper* W, const std::string& Key) {
    W->WriteBool(Key, "ShowGrid", ShowGrid());
    W->WriteBool(Key, "ShowPreviewGrid", ShowPreviewGrid());
    W->WriteInteger(Key, "BandRowCount", FBandRowCount);
    W->WriteInteger(Key, "DefaultRowHeight", RowHeight());
    W->WriteInteger(Key, "HeaderPanelRowCount", IsAutoHeaderPanelRowCount() ? -1 : FHeaderPanelRowCount);
    for (int I = 0; I < FBands->Count(); ++I) {
        TdxTreeListBand* B = FBands->Items(I);
        const std::string S = Key + "\\Band\\Band" + std::to_string(I);
        W->WriteInteger(S, "ID", B->ID());
        W->WriteBool(S, "Visible", B->Visible());
        W->WriteInteger(S, "Index", B->Index());
        W->WriteInteger(S, "Width", B->Width());
    }
}

void TCustomdxTreeListControl::SaveColumnLayout(TdxRegIniWrapper* W, const std::string& S, TdxTreeListColumn* C) {
    W->WriteInteger(S, "BandIndex", C->BandIndex());
    W->WriteInteger(S, "RowIndex", C->RowIndex());
    W->WriteInteger(S, "ColIndex", C->ColIndex());
    W->WriteBool(S, "Visible", C->Visible());
    W->WriteInteger(S, "Index", C->Index());
    W->WriteInteger(S, "Width", C->Width());
    W->WriteInteger(S, "Sorted", static_cast<int>(C->Sorted()));
    W->WriteInteger(S, "SortedOrder", C->GetSortIndex());
    W->WriteInteger(S, "StoredRowIndex", C->StoredRowIndex());
}

void TCustomdxTreeListControl::SaveToRegIni(TObject* RegIniObject, std::string Key) {
    Key = NormalizeLayoutKey(std::move(Key));
    TOwned<TdxRegIniWrapper> W(Create<TdxRegIniWrapper>(RegIniObject));
    W->EraseSectionsWithPrefix(Key);
    SaveOptionsLayout(W.get(), Key);
    for (TdxTreeListColumn* C : FColumns)
        SaveColumnLayout(W.get(), Key + "\\Columns\\" + C->Name(), C);
}

// ---------------------------------------------------------------------------------------------
// Loading

// Several sorted columns change together while a layout loads: the nodes are sorted once, at the end.
void TCustomdxTreeListControl::BeginLayoutLoad(TdxRegIniWrapper*) {
    BeginUpdate();
    if (IsMultiSortOption())
        LockSort();
}

void TCustomdxTreeListControl::EndLayoutLoad(TdxRegIniWrapper*) {
    if (IsMultiSortOption() && FSortLock > 0)
        UnlockSort();
    EndUpdate();
}

void TCustomdxTreeListControl::LoadOptionsLayout(TdxRegIniWrapper* W, const std::string& Key) {
    SetShowGrid(W->ReadBool(Key, "ShowGrid", ShowGrid()));
    SetShowPreviewGrid(W->ReadBool(Key, "ShowPreviewGrid", ShowPreviewGrid()));
    SetBandRowCountValue(W->ReadInteger(Key, "BandRowCount", FBandRowCount));
    const int Height = W->ReadInteger(Key, "DefaultRowHeight", RowHeight());
    if (Height != RowHeight())
        SetRowHeight(Height);
    const int Rows = W->ReadInteger(Key, "HeaderPanelRowCount", FHeaderPanelRowCount);
    if (Rows != -1) {
        DisableAutoHeaderRows();
        SetHeaderPanelRowCountValue(Rows);
    }
}

void TCustomdxTreeListControl::LoadColumnLayout(TdxRegIniWrapper* W, const std::string& S, TdxTreeListColumn* C) {
    C->SetVisible(W->ReadBool(S, "Visible", C->Visible()));
    const int Width = W->ReadInteger(S, "Width", C->Width());
    if (Width != C->Width())
        C->SetWidth(Width);
    C->SetSorted(static_cast<TdxTreeListColumnSort>(std::clamp(W->ReadInteger(S, "Sorted", C->Sorted()), 0, 2)));
    C->PendingSortOrder = W->ReadInteger(S, "SortedOrder", -1);
}

void TCustomdxTreeListControl::LoadFromRegIni(TObject* RegIniObject, std::string Key) {
    Key = NormalizeLayoutKey(std::move(Key));
    TOwned<TdxRegIniWrapper> W(Create<TdxRegIniWrapper>(RegIniObject));
    TOwned<TStringList> List(Create<TStringList>());
    BeginLayoutLoad(W.get());
    try {
        LoadOptionsLayout(W.get(), Key);
        // Bands: found by their ID, placed by their stored index.
        for (int I = 0; I < FBands->Count(); ++I) {
            const std::string S = Key + "\\Band\\Band" + std::to_string(I);
            const int ID = W->ReadInteger(S, "ID", -1);
            if (ID == -1)
                continue;
            TdxTreeListBand* B = nullptr;
            for (int J = 0; J < FBands->Count(); ++J)
                if (FBands->Items(J)->ID() == ID)
                    B = FBands->Items(J);
            if (!B)
                continue;
            B->SetVisible(W->ReadBool(S, "Visible", B->Visible()));
            B->SetWidth(W->ReadInteger(S, "Width", B->Width()));
            List->AddObject(IndexKey(W->ReadInteger(S, "Index", B->Index())), B);
        }
        List->Sort();
        for (int I = 0; I < List->Count(); ++I)
            static_cast<TdxTreeListBand*>(List->Objects(I))->SetIndex(I);
        // Columns: found by their name, placed by their stored index.
        List->Clear();
        for (TdxTreeListColumn* C : std::vector<TdxTreeListColumn*>(FColumns)) {
            const std::string S = Key + "\\Columns\\" + C->Name();
            LoadColumnLayout(W.get(), S, C);
            List->AddObject(IndexKey(W->ReadInteger(S, "Index", C->Index())), C);
        }
        List->Sort();
        for (int I = 0; I < List->Count(); ++I)
            static_cast<TdxTreeListColumn*>(List->Objects(I))->SetIndex(I);
        ++HeaderRowLock;
        try {
            for (TdxTreeListColumn* C : FColumns) {
                const std::string S = Key + "\\Columns\\" + C->Name();
                C->SetBandIndex(W->ReadInteger(S, "BandIndex", C->BandIndex()));
                const int Row = W->ReadInteger(S, "RowIndex", C->RowIndex());
                C->SetRowIndexDirect(Row, W->ReadInteger(S, "StoredRowIndex", C->StoredRowIndex()));
            }
        } catch (...) {
            --HeaderRowLock;
            throw;
        }
        --HeaderRowLock;
        ColumnChanged(nullptr);
        if (IsMultiSortOption())
            RebuildSortList();
    } catch (...) {
        EndLayoutLoad(W.get());
        throw;
    }
    EndLayoutLoad(W.get());
}

// ---------------------------------------------------------------------------------------------
// Entry points

namespace {
std::string SectionOf(TCustomdxTreeListControl* T, bool Saving) {
    if (!T->IniSectionName.empty())
        return T->IniSectionName;
    if (Saving)
        return T->ParentFormName() + "_" + T->Name();
    TCustomForm* F = T->GetParentForm();
    return (F ? F->Name() : std::string()) + "_" + T->Name();
}
}  // namespace

void TCustomdxTreeListControl::LoadLayoutFromIniFile(const std::string& FileName) {
    TOwned<TMemIniFile> F(Create<TMemIniFile>(FileName));
    LoadFromRegIni(F.get(), SectionOf(this, false));
}

void TCustomdxTreeListControl::SaveLayoutToIniFile(const std::string& FileName) {
    TOwned<TMemIniFile> F(Create<TMemIniFile>(FileName));
    SaveToRegIni(F.get(), SectionOf(this, true));
    F->UpdateFile();
}

void TCustomdxTreeListControl::LoadLayoutFromRegistry(const std::string& Key) {
    TOwned<TRegIniFile> R(Create<TRegIniFile>(std::string()));
    if (!R->OpenKey(Key, false))
        return;
    R->CloseKey();
    LoadFromRegIni(R.get(), Key);
}

void TCustomdxTreeListControl::SaveLayoutToRegistry(const std::string& Key) {
    TOwned<TRegIniFile> R(Create<TRegIniFile>(std::string()));
    SaveToRegIni(R.get(), Key);
}

void TCustomdxTreeListControl::RestoreStoredLayout() {
    if (FLayoutLoaded)
        return;
    FLayoutLoaded = true;
    if (Options().Contains(toStoreInRegistry) && !RegistryPath.empty())
        LoadLayoutFromRegistry(RegistryPath);
    if (Options().Contains(toStoreInIniFile) && !IniFileName.empty())
        LoadLayoutFromIniFile(IniFileName);
}

void TCustomdxTreeListControl::SaveStoredLayout() {
    if (FLayoutSaved)
        return;
    FLayoutSaved = true;
    if (Options().Contains(toStoreInRegistry) && !RegistryPath.empty())
        SaveLayoutToRegistry(RegistryPath);
    if (Options().Contains(toStoreInIniFile) && !IniFileName.empty())
        SaveLayoutToIniFile(IniFileName);
}

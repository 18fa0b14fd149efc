#include "sConst.h"

BackgroundSource MakeBackgroundSource(TBitmap* Bmp, int OffsetX, int OffsetY) {
    BackgroundSource S;
    S.Bmp = Bmp;
    S.OffsetX = OffsetX;
    S.OffsetY = OffsetY;
    S.Color = 0xFF00FF;
    S.HasBitmap = true;
    return S;
}

TColor KeyColor = 0xFF00FF;
BackgroundSource EmptyBackgroundSource;
TWinControl* RefreshTarget = nullptr;
TsSpeedButton* OpenMenuButton = nullptr;
TsDisabledKind SharedDisabledKind;
PAINTSTRUCT SharedPaintStruct{};
int ScrollBarArrowWidth = 0;
const std::array<const char*, 2> BoolNames{"FALSE", "TRUE"};

std::string SRestore, SMove, SSize, SMinimize, SMaximize, SClose, SAvailSkins, SInternalSkin, SFrameAdapterError, SOk,
    SCancel, SHelp, SFileOpen, SSelectDir, SCreate, SErrorSettingCount, SListBoxMustBeVirtual;
std::string User32String905, User32String900;

const std::array<const char*, ThirdPartyCategoryCount> ThirdPartyCaptions{
    "Edit",     "Button",    "BitBtn",   "CheckBox",    "ComboBox",   "Grid",    "GroupBox",  "ListView",
    "Panel",    "TreeView",  "wwEdit",   "GridEh",      "VirtualTree", "PageControl", "TabControl", "ToolBar",
    "StatusBar", "SpeedButton"};
// A single blank matches no class name: only the button category skins something by default.
const std::array<const char*, ThirdPartyCategoryCount> ThirdPartyDefaults{
    " ", "TButton", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " "};

std::string ThirdPartyList::GetString(int Index) const {
    return Index >= 0 && Index < ThirdPartyCategoryCount ? FLists[Index] : std::string();
}

void ThirdPartyList::SetString(int Index, const std::string& Value) {
    if (Index >= 0 && Index < ThirdPartyCategoryCount)
        FLists[Index] = Value;
}

namespace {
template <int I>
std::string GetList(ThirdPartyList* L) {
    return L->GetString(I);
}
template <int I>
void SetList(ThirdPartyList* L, const std::string& Value) {
    L->SetString(I, Value);
}
}  // namespace

void ThirdPartyList::DefineClass(TClassBuilder<ThirdPartyList>& B) {
    // Published order differs from the category numbering; each property keeps its category's index.
    B.Property("ThirdEdits", &GetList<0>, &SetList<0>);
    B.Property("ThirdButtons", &GetList<1>, &SetList<1>);
    B.Property("ThirdBitBtns", &GetList<2>, &SetList<2>);
    B.Property("ThirdCheckBoxes", &GetList<3>, &SetList<3>);
    B.Property("ThirdGroupBoxes", &GetList<6>, &SetList<6>);
    B.Property("ThirdListViews", &GetList<7>, &SetList<7>);
    B.Property("ThirdPanels", &GetList<8>, &SetList<8>);
    B.Property("ThirdGrids", &GetList<5>, &SetList<5>);
    B.Property("ThirdTreeViews", &GetList<9>, &SetList<9>);
    B.Property("ThirdComboBoxes", &GetList<4>, &SetList<4>);
    B.Property("ThirdWWEdits", &GetList<10>, &SetList<10>);
    B.Property("ThirdVirtualTrees", &GetList<12>, &SetList<12>);
    B.Property("ThirdGridEh", &GetList<11>, &SetList<11>);
    B.Property("ThirdPageControl", &GetList<13>, &SetList<13>);
    B.Property("ThirdTabControl", &GetList<14>, &SetList<14>);
    B.Property("ThirdToolBar", &GetList<15>, &SetList<15>);
    B.Property("ThirdStatusBar", &GetList<16>, &SetList<16>);
    B.Property("ThirdSpeedButton", &GetList<17>, &SetList<17>);
}

namespace {
struct TCaptionEntry {
    std::string* Target;
    const TResStringRec* Res;
};
const TCaptionEntry Captions[] = {
    {&SRestore, &sConstRes::SRestore},
    {&SMove, &sConstRes::SMove},
    {&SSize, &sConstRes::SSize},
    {&SMinimize, &sConstRes::SMinimize},
    {&SMaximize, &sConstRes::SMaximize},
    {&SClose, &sConstRes::SClose},
    {&SAvailSkins, &sConstRes::SAvailSkins},
    {&SInternalSkin, &sConstRes::SInternalSkin},
    {&SFrameAdapterError, &sConstRes::SFrameAdapterError},
    {&SOk, &sConstRes::SOk},
    {&SCancel, &sConstRes::SCancel},
    {&SHelp, &sConstRes::SHelp},
    {&SFileOpen, &sConstRes::SFileOpen},
    {&SSelectDir, &sConstRes::SSelectDir},
    {&SCreate, &sConstRes::SCreate},
    {&SErrorSettingCount, &sConstRes::SErrorSettingCount},
    {&SListBoxMustBeVirtual, &sConstRes::SListBoxMustBeVirtual},
};

std::string User32String(UINT Id) {
    char Buffer[1024];
    int N = LoadStringA(GetModuleHandleA("user32.dll"), Id, Buffer, sizeof Buffer);
    return N > 0 ? std::string(Buffer, N) : std::string();
}
}  // namespace

void sConstInitialization() {
    EmptyBackgroundSource = BackgroundSource{};
    EmptyBackgroundSource.OffsetX = -99;
    EmptyBackgroundSource.OffsetY = -99;
    KeyColor = 0xFF00FF;
    ScrollBarArrowWidth = GetSystemMetrics(SM_CXHSCROLL);
    for (const TCaptionEntry& E : Captions)
        *E.Target = LoadResString(E.Res);
    User32String905 = User32String(905);
    User32String900 = User32String(900);
}

void sConstFinalization() {
    for (const TCaptionEntry& E : Captions)
        E.Target->clear();
    User32String905.clear();
    User32String900.clear();
}

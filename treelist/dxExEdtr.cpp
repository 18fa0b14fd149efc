#include "dxExEdtr.h"

#include "ResStrings.h"
#include "Streams.h"

#include <algorithm>
#include <memory>

TImageList* ToolImages = nullptr;
TImageList* BlobImages = nullptr;
TCanvas* SharedDrawCanvas = nullptr;
TdxCheckEditStyleController* DefaultCheckStyleController = nullptr;
int CheckGlyphWidth = 13, CheckGlyphHeight = 13;
TDateTime TimeSecond = 0, TimeMinute = 0, TimeHour = 0, MinTime = 0, MaxTime = 0;
std::string InvalidDateText;
std::string ToolCaptions[7], ToolHints[7];
std::string PopupButtonCaptions[3];
std::string DateWords[20];

namespace {
std::string FileMenuCaptions[6];

const char* const ToolResourceNames[6] = {"DXTOOL_CUT",    "DXTOOL_COPY", "DXTOOL_PASTE",
                                          "DXTOOL_DELETE", "DXTOOL_LOAD", "DXTOOL_SAVE"};
const char* const BlobResourceNames[8] = {"DXINPLACE_BLOB_NULL", "DXINPLACE_BLOB", "DXINPLACE_MEMO_NULL",
                                          "DXINPLACE_MEMO",      "DXINPLACE_PICT_NULL", "DXINPLACE_PICT",
                                          "DXINPLACE_OLE_NULL",  "DXINPLACE_OLE"};
const char* const ToolCaptionTexts[6] = {"Cu&t", "&Copy", "&Paste", "&Delete", "&Load...", "&Save To..."};
const char* const ToolHintTexts[6] = {"Cut", "Copy", "Paste", "Delete", "Load from file...", "Save to file..."};
const char* const PopupButtonTexts[3] = {"&OK", "&Cancel", "&Close"};
const char* const FileMenuTexts[6] = {"Cu&t", "&Copy", "&Paste", "&Delete", "&Save to file...", "&Load from file..."};
const char* const DateWordTexts[20] = {"TODAY",  "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY",  "TUESDAY", "WEDNESDAY",
                                       "THURSDAY", "FRIDAY",  "SATURDAY", "FIRST",  "SECOND",  "THIRD",   "FOURTH",
                                       "FIFTH",  "SIXTH",     "SEVENTH",  "BOM",    "EOM",     "NOW"};

std::string Text(const char* Literal) { return LoadResString(ResString(Literal)); }

// An image list filled from bitmap resources; made with the size of the first one.
TImageList* LoadImageList(const char* const* Names, int Count, TColor MaskColor) {
    TImageList* List = nullptr;
    for (int I = 0; I < Count; ++I) {
        std::unique_ptr<TBitmap, TObjectDeleter> B(Create<TBitmap>());
        B->LoadFromResourceName(MainInstance(), Names[I]);
        if (!List) {
            List = Create<TImageList>(nullptr);
            List->SetWidth(B->Width());
            List->SetHeight(B->Height());
        }
        List->AddMasked(B.get(), MaskColor == clDefault ? B->TransparentColor() : MaskColor);
    }
    return List;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Style controller of check editors

TdxCheckEditStyleController::TdxCheckEditStyleController(TComponent* AOwner) : TdxEditStyleController(AOwner) {
    SetBorderStyle(xbsNone);
    SetButtonStyle(bts3D);
}

void TdxCheckEditStyleController::DefineClass(TClassBuilder<TdxCheckEditStyleController>& B) {
    B.Property("BorderStyle", &TdxCheckEditStyleController::BorderStyle, &TdxCheckEditStyleController::SetBorderStyle)
        .Default(xbsNone);
    B.Property("ButtonStyle", &TdxCheckEditStyleController::ButtonStyle, &TdxCheckEditStyleController::SetButtonStyle)
        .Default(bts3D);
}

void TdxCheckEditStyleController::RestoreDefaults() {
    BeginUpdate();
    try {
        TdxEditStyleController::RestoreDefaults();
        SetBorderStyle(xbsNone);
        SetButtonStyle(bts3D);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Check editor

TdxInplaceCheckEdit::TdxInplaceCheckEdit(TComponent* AOwner) : TdxInplaceEdit(AOwner) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
}

TdxInplaceCheckEdit::~TdxInplaceCheckEdit() { FreeAndNil(FGlyph); }

void TdxInplaceCheckEdit::DefineClass(TClassBuilder<TdxInplaceCheckEdit>& B) {
    B.Message<&TdxInplaceCheckEdit::WMCancelModeCheck>(WM_CANCELMODE);
    B.Message<&TdxInplaceCheckEdit::WMGetDlgCodeCheck>(WM_GETDLGCODE);
    B.Message<&TdxInplaceCheckEdit::CMDialogChar>(CM_DIALOGCHAR);
    B.Message<&TdxInplaceCheckEdit::CMTextChangedCheck>(CM_TEXTCHANGED);
}

TdxEditViewDataClass TdxInplaceCheckEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxCheckEditViewData>();
}

TdxEditStyleClass TdxInplaceCheckEdit::TMetaClass::GetEditStyleClass() const {
    return TdxEditStyleClass::Of<TdxCheckEditStyle>();
}

TBitmap* TdxInplaceCheckEdit::Glyph() {
    if (!FGlyph)
        FGlyph = Create<TBitmap>();
    return FGlyph;
}

void TdxInplaceCheckEdit::SetGlyph(TBitmap* Value) {
    if (!Value)
        FreeAndNil(FGlyph);
    else
        Glyph()->Assign(Value);
    StyleChanged();
}

void TdxInplaceCheckEdit::SetGlyphCount(int Value) {
    if (FGlyphCount == Value)
        return;
    FGlyphCount = Value;
    if (FGlyph)
        StyleChanged();
}

void TdxInplaceCheckEdit::SetNullLook(TdxShowNullFieldStyle Value) {
    FNullLook = Value;
    InvalidateCheck();
}

TSize TdxInplaceCheckEdit::CheckCellSize(TBitmap* Glyph, int GlyphCount) {
    if (GlyphCount > 0 && Glyph && !Glyph->Empty())
        return TSize{Glyph->Width() / GlyphCount, Glyph->Height()};
    return TSize{CheckGlyphWidth, CheckGlyphHeight};
}

TRect TdxInplaceCheckEdit::CheckLayout(int W, int H, TRect& Rect, TAlignment Alignment) {
    if (Alignment == taCenter) {
        const int X = (Rect.Left + Rect.Right - W) / 2, Y = (Rect.Top + Rect.Bottom - H) / 2;
        TRect Box{X, Y, X + W, Y + H};
        Rect = TRect{Rect.Left, Rect.Top, Rect.Left, Rect.Bottom};
        return Box;
    }
    InflateRect(Rect, -2, -2);
    const int Y = (Rect.Top + Rect.Bottom - H) / 2;
    TRect Box;
    if (Alignment == taRightJustify) {
        Box = TRect{Rect.Right - W, Y, Rect.Right, Y + H};
        Rect.Right -= W + 3;
    } else {
        Box = TRect{Rect.Left, Y, Rect.Left + W, Y + H};
        Rect.Left += W + 3;
    }
    return Box;
}

void TdxInplaceCheckEdit::InvalidateCheck() {
    if (!HandleAllocated())
        return;
    TRect R = ClientRect();
    TSize S = CheckCellSize(FGlyph, FGlyphCount);
    TRect Box = CheckLayout(S.cx, S.cy, R, FAlignment);
    InvalidateRect(FHandle, Box, FALSE);
}

void TdxInplaceCheckEdit::Toggle() {
    if (!CanChangeValue())
        return;
    switch (FCheckState) {
    case cbsUnchecked:
        SetCheckState(AllowGrayed ? cbsGrayed : cbsChecked);
        break;
    case cbsChecked:
        SetCheckState(cbsUnchecked);
        break;
    default:
        SetCheckState(cbsChecked);
        break;
    }
    SetModified(true);
}

void TdxInplaceCheckEdit::SetCheckState(TdxCheckBoxState Value) {
    if (FCheckState == Value)
        return;
    FCheckState = Value;
    InvalidateCheck();
    if (!ComponentState().Contains(csLoading))
        Click();
}

void TdxInplaceCheckEdit::Click() {
    if (ChangingValue)
        return;
    TdxInplaceEdit::Click();
    Change();
}

void TdxInplaceCheckEdit::SetEditValue(const Variant& Value) {
    const bool Modified = GetModified();
    ChangingValue = true;
    try {
        int S = Value.AsInteger();
        SetCheckState(static_cast<TdxCheckBoxState>(std::clamp(S, 0, 2)));
    } catch (...) {
        ChangingValue = false;
        SetModified(Modified);
        throw;
    }
    ChangingValue = false;
    SetModified(Modified);
}

void TdxInplaceCheckEdit::ReadDisplayValue(Variant& Value, bool) { Value = static_cast<int>(FCheckState); }

TdxEditViewData* TdxInplaceCheckEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceEdit::CreateViewData(IsPaintCopy);
    if (auto* C = DynCast<TdxCheckEditViewData>(VD)) {
        C->Caption = Text();
        C->TextFocusRect = !WideFocusRect;
        C->Glyph = FGlyph;
        C->GlyphCount = FGlyphCount;
        C->NullLook = FNullLook;
        C->Pushed = FPressedLook;
        C->Alignment = FAlignment;
        C->VertLayout = WrapCaption ? 3 : 1;
    }
    return VD;
}

bool TdxInplaceCheckEdit::TMetaClass::DrawClient(HDC DC, const TRect& Rect, bool, TdxEditViewData* ViewData) const {
    auto* C = DynCast<TdxCheckEditViewData>(ViewData);
    TBitmap* G = C && C->Glyph && !C->Glyph->Empty() ? C->Glyph : nullptr;
    const int GlyphCount = C ? C->GlyphCount : 6;
    const TSize Cell = CheckCellSize(G, GlyphCount);
    if (ViewData->MeasureOnly) {
        ViewData->LineCount = 1;
        ViewData->TextHeight = Cell.cy;
        return true;
    }
    TRect Caption = Rect;
    TRect Box = CheckLayout(Cell.cx, Cell.cy, Caption, ViewData->Alignment);
    const auto State = static_cast<TdxCheckBoxState>(ViewData->Value.IsEmpty() ? 0 : ViewData->Value.AsInteger());
    if (ViewData->Alignment != taCenter) {
        if (!ViewData->Transparent)
            FillRect(DC, Rect, ViewData->Brush);
        std::string Text = C ? C->Caption : std::string();
        static constexpr Word Layouts[4] = {0, dxCellText::VCenter, dxCellText::Bottom, dxCellText::WordWrap};
        Word Flags = Layouts[ViewData->VertLayout & 3] | dxCellText::Transparent;
        if (ViewData->Focused && !(C && C->TextFocusRect && Text.empty()))
            Flags |= dxCellText::FocusRect | ((C && C->TextFocusRect) ? dxCellText::FocusOnText : 0);
        const int N = static_cast<int>(Text.size());
        if (ViewData->Enabled)
            DrawCellText(DC, Text.c_str(), N, nullptr, ViewData->TextColor, ViewData->BkColor, ViewData->Font,
                         ViewData->Brush, Flags, Caption, Caption);
        else {
            TRect Shifted = Caption;
            OffsetRect(Shifted, 1, 1);
            DrawCellText(DC, Text.c_str(), N, nullptr, GetSysColor(COLOR_BTNHIGHLIGHT), ViewData->BkColor,
                         ViewData->Font, ViewData->Brush, Flags & ~dxCellText::FocusRect, Shifted, Shifted);
            DrawCellText(DC, Text.c_str(), N, nullptr, GetSysColor(COLOR_BTNSHADOW), ViewData->BkColor,
                         ViewData->Font, ViewData->Brush, Flags, Caption, Caption);
        }
    } else if (!ViewData->Transparent)
        FillRect(DC, Rect, ViewData->Brush);
    const bool Pushed = C && C->Pushed;
    UINT Frame = DFCS_BUTTONCHECK;
    if (ViewData->Enabled) {
        if (State == cbsChecked)
            Frame |= DFCS_CHECKED;
        else if (State == cbsGrayed) {
            Frame = DFCS_BUTTON3STATE;
            const TdxShowNullFieldStyle Null = C ? C->NullLook : nsGrayedChecked;
            if (Null == nsInactive)
                Frame |= DFCS_INACTIVE;
            else if (Null == nsGrayedChecked)
                Frame |= DFCS_CHECKED;
        }
        if (Pushed)
            Frame |= DFCS_PUSHED;
    } else
        Frame = DFCS_PUSHED | DFCS_BUTTON3STATE | (State == cbsUnchecked ? DFCS_INACTIVE : DFCS_CHECKED);
    if (G) {
        int Index = static_cast<int>(State) + (Pushed ? 3 : 0);
        while (Index >= GlyphCount && Index > 2)
            Index %= 3;
        std::unique_ptr<TBitmap, TObjectDeleter> Image(Create<TBitmap>());
        Image->SetSize(Cell.cx, Cell.cy);
        BitBlt(Image->Canvas()->Handle(), 0, 0, Cell.cx, Cell.cy, G->Canvas()->Handle(), Index * Cell.cx, 0, SRCCOPY);
        Image->SetTransparentColor(G->TransparentColor());
        DrawTransparentBitmap(DC, ViewData->Brush, Box, Image.get());
        return true;
    }
    const TdxEditButtonViewStyle Style = ViewData->ButtonStyle;
    const bool Clip = Style == btsFlat || Style == btsSimple;
    int Saved = 0;
    if (Clip) {
        Saved = SaveDC(DC);
        TRect Inner = Box;
        if (Style == btsFlat)
            InflateRect(Inner, -1, -1);
        IntersectClipRect(DC, Inner.Left, Inner.Top, Inner.Right, Inner.Bottom);
    }
    DrawFrameControl(DC, Box, DFC_BUTTON, Frame | (Style == bts3D ? 0 : DFCS_FLAT));
    if (Clip) {
        RestoreDC(DC, Saved);
        if (Style == btsFlat) {
            TRect E = Box;
            DrawEdge(DC, E, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            DrawEdge(DC, E, BDR_SUNKENINNER, BF_RECT | BF_FLAT);
        } else {
            TRect E = Box;
            InflateRect(E, -1, -1);
            FrameRect(DC, E, GetSysColorBrush(COLOR_BTNSHADOW));
        }
    }
    return true;
}

int TdxInplaceCheckEdit::TMetaClass::CalcTextHeight(TdxEditViewData* ViewData) const {
    int H = std::max(TdxInplaceEdit::TMetaClass::CalcTextHeight(ViewData), CheckGlyphHeight);
    auto* C = DynCast<TdxCheckEditViewData>(ViewData);
    if (C && C->Glyph && !C->Glyph->Empty())
        H = std::max(H, C->Glyph->Height());
    if (C && ViewData->Alignment != taCenter) {
        ViewInfo Info;
        CalcViewInfo(ViewData, false, Info);
        TRect Caption = Info.ClientBounds;
        TSize Cell = CheckCellSize(C->Glyph, C->GlyphCount);
        CheckLayout(Cell.cx, Cell.cy, Caption, ViewData->Alignment);
        static constexpr Word Layouts[4] = {0, dxCellText::VCenter, dxCellText::Bottom, dxCellText::WordWrap};
        HDC DC = GetDC(nullptr);
        int LineHeight = 0;
        int Text = DrawCellText(DC, C->Caption.c_str(), static_cast<int>(C->Caption.size()), &LineHeight, 0, 0,
                                ViewData->Font, nullptr, Layouts[ViewData->VertLayout & 3] | dxCellText::MeasureOnly,
                                Caption, Caption);
        ReleaseDC(nullptr, DC);
        H = std::max(H, Text + 4);
    }
    return H;
}

// ---------------------------------------------------------------------------------------------
// Keys and mouse

void TdxInplaceCheckEdit::SetPressedLook(bool Value) {
    if (FPressedLook == Value)
        return;
    FPressedLook = Value;
    InvalidateCheck();
}

void TdxInplaceCheckEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE)
        SetPressedLook(true);
    else if (Key == VK_LEFT)
        FocusAdjacentCell(true);
    else if (Key == VK_RIGHT)
        FocusAdjacentCell(false);
    TdxInplaceEdit::KeyDown(Key, Shift);
}

void TdxInplaceCheckEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE && FPressedLook) {
        SetPressedLook(false);
        if (IsEditable())
            Toggle();
    }
    TdxInplaceEdit::KeyUp(Key, Shift);
}

void TdxInplaceCheckEdit::KeyPress(char& Key) {
    TdxInplaceEdit::KeyPress(Key);
    if (Key == ' ' && !FPressedLook && IsInplace() && IsEditable())
        Toggle();
}

void TdxInplaceCheckEdit::TrackPoint(int X, int Y) {
    SetPressedLook(ClientRect().Contains(TPoint{X, Y}));
}

void TdxInplaceCheckEdit::StopTracking() {
    if (!FMouseTracking)
        return;
    TrackPoint(-1, -1);
    FMouseTracking = false;
    if (HandleAllocated() && GetCapture() == FHandle)
        ReleaseCapture();
}

void TdxInplaceCheckEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TdxInplaceEdit::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    SetCapture(Handle());
    FMouseTracking = true;
    TrackPoint(X, Y);
}

void TdxInplaceCheckEdit::MouseMove(TShiftState Shift, int X, int Y) {
    TdxInplaceEdit::MouseMove(Shift, X, Y);
    if (FMouseTracking)
        TrackPoint(X, Y);
}

void TdxInplaceCheckEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool WasPressed = FPressedLook;
    StopTracking();
    if (Button == mbLeft && WasPressed && IsEditable())
        Toggle();
    TdxInplaceEdit::MouseUp(Button, Shift, X, Y);
}

void TdxInplaceCheckEdit::WMCancelModeCheck(TMessage& Message) {
    StopTracking();
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceCheckEdit::WMGetDlgCodeCheck(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (IsInplace())
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    else
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTCHARS);
}

void TdxInplaceCheckEdit::CMDialogChar(TMessage& Message) {
    const std::string Caption = Text();
    const auto Amp = Caption.find('&');
    const char Ch = static_cast<char>(Message.WParam);
    if (Amp != std::string::npos && Amp + 1 < Caption.size() &&
        CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(Caption[Amp + 1])))) ==
            CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(Ch)))) &&
        CanFocus()) {
        SetFocus();
        if (Focused())
            Toggle();
        Message.Result = 1;
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TdxInplaceCheckEdit::CMTextChangedCheck(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    StyleChanged();
}

// ---------------------------------------------------------------------------------------------
// Unit start-up and shut-down

void ReadCheckBoxSize() {
    HBITMAP B = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759));  // OBM_CHECKBOXES
    BITMAP Info{};
    if (B && GetObjectA(B, sizeof(Info), &Info)) {
        CheckGlyphWidth = Info.bmWidth / 4;
        CheckGlyphHeight = Info.bmHeight / 3;
    }
    if (B)
        DeleteObject(B);
}

void dxExEdtrInitialization() {
    if (DefaultCheckStyleController)
        return;
    ReadCheckBoxSize();
    if (Screen)
        Screen->SetCursors(HandCursorIndex, LoadDataCursor("DX_HANDPOINT"));
    InvalidDateText = Text("Invalid Date");
    TimeSecond = EncodeTime(0, 0, 1, 0);
    TimeMinute = EncodeTime(0, 1, 0, 0);
    TimeHour = EncodeTime(1, 0, 0, 0);
    MinTime = EncodeTime(0, 0, 0, 0);
    MaxTime = EncodeTime(23, 59, 59, 0);
    ToolImages = LoadImageList(ToolResourceNames, 6, clDefault);
    for (int I = 0; I < 6; ++I) {
        ToolCaptions[I] = Text(ToolCaptionTexts[I]);
        ToolHints[I] = Text(ToolHintTexts[I]);
    }
    ToolCaptions[6].clear();
    ToolHints[6].clear();
    SharedDrawCanvas = Create<TCanvas>();
    BlobImages = LoadImageList(BlobResourceNames, 8, clOlive);
    for (int I = 0; I < 3; ++I)
        PopupButtonCaptions[I] = Text(PopupButtonTexts[I]);
    for (int I = 0; I < 6; ++I)
        FileMenuCaptions[I] = Text(FileMenuTexts[I]);
    DefaultCheckStyleController = Create<TdxCheckEditStyleController>(nullptr);
    for (int I = 0; I < 20; ++I)
        DateWords[I] = Text(DateWordTexts[I]);
}

void dxExEdtrFinalization() {
    FreeAndNil(DefaultCheckStyleController);
    FreeAndNil(SharedDrawCanvas);
    FreeAndNil(ToolImages);
    FreeAndNil(BlobImages);
    // Clearing the slot destroys the cursor it held.
    if (Screen)
        Screen->SetCursors(HandCursorIndex, nullptr);
    std::fill(std::begin(DateWords), std::end(DateWords), std::string());
    std::fill(std::begin(ToolCaptions), std::end(ToolCaptions), std::string());
    std::fill(std::begin(ToolHints), std::end(ToolHints), std::string());
    std::fill(std::begin(PopupButtonCaptions), std::end(PopupButtonCaptions), std::string());
    std::fill(std::begin(FileMenuCaptions), std::end(FileMenuCaptions), std::string());
    InvalidDateText.clear();
}

#include "dxExEdtr.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
TObject* ImageObject(int Index) { return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Index)); }
int ObjectImage(TObject* O) { return static_cast<int>(reinterpret_cast<std::intptr_t>(O)); }

int ImageIndexOf(bool DefaultImages, TStrings* ImageIndexes, int I) {
    if (DefaultImages)
        return I;
    if (!ImageIndexes || I >= ImageIndexes->Count())
        return -1;
    LongInt N = 0;
    return TryStrToInt(Trim(ImageIndexes->Strings(I)), N) ? N : -1;
}

int TextHeightOf(HFONT Font, const char* S) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font);
    SIZE Size{};
    GetTextExtentPoint32A(DC, S, static_cast<int>(std::strlen(S)), &Size);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return Size.cy;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Popup list boxes

TCustomdxPopupListBox::TCustomdxPopupListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
    SetStyle(lbOwnerDrawVariable);
}

void TCustomdxPopupListBox::DefineClass(TClassBuilder<TCustomdxPopupListBox>& B) {
    B.Message<&TCustomdxPopupListBox::CMHintShow>(CM_HINTSHOW);
    B.Message<&TCustomdxPopupListBox::WMNCCalcSizeList>(WM_NCCALCSIZE);
    B.Message<&TCustomdxPopupListBox::WMNCPaintList>(WM_NCPAINT);
    B.Message<&TCustomdxPopupListBox::WMSizeList>(WM_SIZE);
}

void TCustomdxPopupListBox::SetListBorder(TdxPopupBorder Value) {
    if (FListBorder == Value)
        return;
    FListBorder = Value;
    RecreateWnd();
}

void TCustomdxPopupListBox::SetListShadow(bool Value) {
    if (FListShadow == Value)
        return;
    FListShadow = Value;
    RecreateWnd();
}

void TCustomdxPopupListBox::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.WindowClass.style = CS_SAVEBITS;
}

void TCustomdxPopupListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    // Top-level, so it may stand outside its editor; one focus message makes the list draw its
    // selection as focused while the editor keeps the real focus.
    ::SetParent(FHandle, nullptr);
    TMessage M{WM_SETFOCUS, 0, 0, 0};
    DefaultHandler(M);
}

int TCustomdxPopupListBox::LineHeight() { return TextHeightOf(Font()->Handle(), "Wg"); }

void TCustomdxPopupListBox::MeasureItemHeight(int& Height) { MeasureItem(0, Height); }

void TCustomdxPopupListBox::FitToItems(int Rows, int ClientWidth, int WindowWidth) {
    int H = 0;
    MeasureItemHeight(H);
    if (HandleAllocated())
        for (int I = 0; I < Items()->Count(); ++I)
            SendMessageA(FHandle, LB_SETITEMHEIGHT, I, H);
    const int Frame = 2 * PopupBorderWidth(FListBorder);
    const int Shadow = FListShadow ? FListShadowSize : 0;
    const int Bar = Items()->Count() > Rows ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    SetBounds(Left(), Top(), WindowWidth ? WindowWidth : ClientWidth + Frame + Shadow + Bar, Rows * H + Frame + Shadow);
}

void TCustomdxPopupListBox::MeasureItem(int, int& Height) {
    Height = LineHeight();
    MeasuredItemHeight = Height;
}

void TCustomdxPopupListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomListBox::MouseMove(Shift, X, Y);
    if (!TrackMouse)
        return;
    const int I = ItemAtPos(TPoint{X, Y}, true);
    if (I >= 0 && I != ItemIndex())
        SetItemIndex(I);
}

void TCustomdxPopupListBox::WMNCCalcSizeList(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    auto* P = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
    const int B = PopupBorderWidth(FListBorder);
    InflateRect(&P->rgrc[0], -B, -B);
    if (FListShadow) {
        P->rgrc[0].right -= FListShadowSize;
        P->rgrc[0].bottom -= FListShadowSize;
    }
}

void TCustomdxPopupListBox::WMNCPaintList(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    const LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
    PaintPopupNonClient(FHandle, FListBorder, (Style & WS_VSCROLL) && (Style & WS_HSCROLL), FListShadowSize,
                        FListShadow);
}

void TCustomdxPopupListBox::WMSizeList(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    SetPopupShadowRegion(FHandle, FListShadow, FListShadowSize);
}

void TdxPopupImageListBox::SetListImages(TCustomImageList* Value) {
    FListImages = Value;
    if (Value)
        Value->FreeNotification(this);
    RecreateWnd();
}

void TdxPopupImageListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomdxPopupListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FListImages)
        FListImages = nullptr;
}

void TdxPopupImageListBox::MeasureItem(int, int& Height) {
    Height = LineHeight() + 5;
    if (FListImages)
        Height = std::max(Height, FListImages->Height() + 2);
    MeasuredItemHeight = Height;
}

void TdxPopupImageListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (Index < 0) {
        TCustomdxPopupListBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas* C = Canvas();
    C->FillRect(Rect);
    int ImageWidth = 0;
    if (FListImages) {
        ImageWidth = FListImages->Width();
        const int Image = ObjectImage(Items()->Objects(Index));
        if (Image >= 0 && Image < FListImages->Count())
            DrawImageListImage(C->Handle(), Rect.Left + 1, Rect.Top + (Rect.Height() - FListImages->Height()) / 2,
                               FListImages, Image);
    }
    const std::string S = Items()->Strings(Index);
    SetBkMode(C->Handle(), TRANSPARENT);
    if (WrapItems) {
        TRect R = Rect;
        InflateRect(R, -2, -2);
        R.Left += ImageWidth + 1;
        RECT W = R;
        DrawTextA(C->Handle(), S.c_str(), static_cast<int>(S.size()), &W,
                  DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
    } else
        C->TextOut(Rect.Left + ImageWidth + 3, Rect.Top + (Rect.Height() - C->TextHeight("Wg")) / 2, S);
}

// ---------------------------------------------------------------------------------------------
// Image editor: class level

TdxEditViewDataClass TdxInplaceImageEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxImageEditViewData>();
}

void TdxInplaceImageEdit::LookupImage(const std::string& Text, TdxImageEditViewData* VD, int& DescriptionIndex,
                                      int& ImageIndex) {
    const int I = VD->Values ? VD->Values->IndexOf(Text) : -1;
    DescriptionIndex = VD->Descriptions && I >= 0 && I < VD->Descriptions->Count() ? I : -1;
    ImageIndex = I;
    if (I >= 0 && !VD->DefaultImages && VD->ImageIndexes && I < VD->ImageIndexes->Count())
        ImageIndex = ImageIndexOf(false, VD->ImageIndexes, I);
}

bool TdxInplaceImageEdit::TMetaClass::DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint,
                                                 TdxEditViewData* ViewData) const {
    auto* VD = DynCast<TdxImageEditViewData>(ViewData);
    if (!VD)
        return TdxInplaceDropDownEdit::TMetaClass::DrawClient(DC, Rect, IsEditorPaint, ViewData);
    const std::string T = VD->Value.IsNull() ? std::string() : VD->Value.AsString();
    int Description = -1, Image = -1;
    LookupImage(T, VD, Description, Image);
    const int W = VD->Images ? VD->Images->Width() : 0;
    const bool ImageShown = VD->Images && Image >= 0 && Image < VD->Images->Count();
    TRect R = Rect;
    std::string S = T;
    const bool WasTransparent = VD->Transparent;
    if (VD->ShowDescription) {
        if (Description >= 0)
            S = VD->Descriptions->Strings(Description);
        if (W > 0) {
            TRect Strip{R.Left, R.Top, R.Left + W, R.Bottom};
            R.Left += W;
            if (!VD->MeasureOnly) {
                if (!VD->Transparent)
                    FillRect(DC, Strip, VD->Brush);
                if (ImageShown)
                    DrawImageListImage(DC, Strip.Left, Strip.Top + (Strip.Height() - VD->Images->Height()) / 2,
                                       VD->Images, Image);
            }
        }
    } else {
        if (W > 0 && !VD->MeasureOnly) {
            if (!VD->Transparent)
                FillRect(DC, R, VD->Brush);
            if (ImageShown)
                DrawImageListImage(DC, R.Left + (R.Width() - W) / 2, R.Top + (R.Height() - VD->Images->Height()) / 2,
                                   VD->Images, Image);
            VD->Transparent = true;
        }
        S.clear();
    }
    const Variant Saved = VD->Value;
    const int SavedLength = VD->ValueLength;
    VD->Value = S;
    VD->ValueLength = static_cast<int>(S.size());
    const bool Result = TdxInplaceDropDownEdit::TMetaClass::DrawClient(DC, R, IsEditorPaint, ViewData);
    VD->Value = Saved;
    VD->ValueLength = SavedLength;
    VD->Transparent = WasTransparent;
    return Result;
}

int TdxInplaceImageEdit::TMetaClass::CalcTextHeight(TdxEditViewData* ViewData) const {
    int H = TdxInplaceDropDownEdit::TMetaClass::CalcTextHeight(ViewData);
    if (auto* VD = DynCast<TdxImageEditViewData>(ViewData); VD && VD->Images)
        H = std::max(H, VD->Images->Height());
    return H;
}

// ---------------------------------------------------------------------------------------------
// Image editor

TdxInplaceImageEdit::TdxInplaceImageEdit(TComponent* AOwner) : TdxInplaceDropDownEdit(AOwner) {
    SetControlStyle(ControlStyle().Include(csCaptureMouse));
    PopupOnClick = true;
    FDescriptions = Create<TStringList>();
    FImageIndexes = Create<TStringList>();
    FValues = Create<TStringList>();
    FImagesLink = Create<TChangeLink>();
    FImagesLink->OnChange = TNotifyEvent::Bind<&TdxInplaceImageEdit::ImageListsChanged>(this);
    FLargeImagesLink = Create<TChangeLink>();
    FLargeImagesLink->OnChange = TNotifyEvent::Bind<&TdxInplaceImageEdit::ImageListsChanged>(this);
    FImageListBox = Create<TdxPopupImageListBox>(this);
    FImageListBox->SetVisible(false);
    FImageListBox->SetControlStyle(FImageListBox->ControlStyle().Include(csReplicatable));
    FImageListBox->OnMouseUp = TMouseEvent::Bind<&TdxInplaceImageEdit::PopupMouseUp>(this);
}

TdxInplaceImageEdit::~TdxInplaceImageEdit() {
    FreeAndNil(FDescriptions);
    FreeAndNil(FImageIndexes);
    FreeAndNil(FValues);
    FreeAndNil(FImagesLink);
    FreeAndNil(FLargeImagesLink);
}

void TdxInplaceImageEdit::DefineClass(TClassBuilder<TdxInplaceImageEdit>& B) {
    B.Message<&TdxInplaceImageEdit::WMGetDlgCodeImage>(WM_GETDLGCODE);
}

void TdxInplaceImageEdit::WMGetDlgCodeImage(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    Message.Result |= DLGC_WANTARROWS;
}

void TdxInplaceImageEdit::SetImageValue(const std::string& S) {
    if (Text() != S && IsEditable() && CanChangeValue()) {
        SetMaskedText(S);
        SetModified(true);
    }
}

void TdxInplaceImageEdit::SetImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value) {
    if (Field)
        Field->UnRegisterChanges(Link);
    Field = Value;
    if (Value) {
        Value->RegisterChanges(Link);
        Value->FreeNotification(this);
    }
    StyleChanged();
}

void TdxInplaceImageEdit::SetImages(TCustomImageList* Value) { SetImageList(FImages, FImagesLink, Value); }

void TdxInplaceImageEdit::SetLargeImages(TCustomImageList* Value) {
    SetImageList(FLargeImages, FLargeImagesLink, Value);
}

void TdxInplaceImageEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TdxInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FLargeImages)
        SetLargeImages(nullptr);
    if (AComponent == FImageListBox)
        FImageListBox = nullptr;
}

void TdxInplaceImageEdit::ImageListsChanged(TObject* Sender) {
    auto* Link = static_cast<TChangeLink*>(Sender);
    if (Link && (Link->Sender() == FImages || Link->Sender() == FLargeImages))
        StyleChanged();
}

void TdxInplaceImageEdit::SetDescriptions(TStrings* Value) {
    FDescriptions->Assign(Value);
    StyleChanged();
}

void TdxInplaceImageEdit::SetImageIndexes(TStrings* Value) {
    FImageIndexes->Assign(Value);
    StyleChanged();
}

void TdxInplaceImageEdit::SetValues(TStrings* Value) {
    FValues->Assign(Value);
    StyleChanged();
}

void TdxInplaceImageEdit::SetDefaultImages(bool Value) {
    FDefaultImages = Value;
    InvalidateEditor();
}

void TdxInplaceImageEdit::SetShowDescription(bool Value) {
    FShowDescription = Value;
    InvalidateEditor();
}

void TdxInplaceImageEdit::SetMultiLineText(bool Value) {
    FMultiLineText = Value;
    StyleChanged();
}

TdxEditViewData* TdxInplaceImageEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceDropDownEdit::CreateViewData(IsPaintCopy);
    if (auto* D = DynCast<TdxImageEditViewData>(VD)) {
        D->DefaultImages = FDefaultImages;
        D->Descriptions = FDescriptions;
        D->ImageIndexes = FImageIndexes;
        D->Images = FImages;
        D->ShowDescription = FShowDescription;
        D->Values = FValues;
        if (FMultiLineText)
            D->VertLayout = 3;
        if (IsInplace() || PopupActive())
            D->Focused = false;
    }
    return VD;
}

void TdxInplaceImageEdit::PrepareImageList() {
    TStrings* Items = FImageListBox->Items();
    Items->BeginUpdate();
    try {
        Items->Clear();
        for (int I = 0; I < FValues->Count(); ++I) {
            const int Image = ImageIndexOf(FDefaultImages, FImageIndexes, I);
            Items->AddObject(I < FDescriptions->Count() ? FDescriptions->Strings(I) : std::string(),
                             ImageObject(Image < 0 ? dxNoListImage : Image));
        }
    } catch (...) {
        Items->EndUpdate();
        throw;
    }
    Items->EndUpdate();
    int H = 0;
    FImageListBox->MeasureItemHeight(H);
    int Width = DropDownWidth;
    if (Width == 0) {
        TCustomImageList* Images = FLargeImages ? FLargeImages : FImageListBox->ListImages();
        int Widest = 0;
        TCanvas* C = FImageListBox->Canvas();
        C->Font()->Assign(FImageListBox->Font());
        for (int I = 0; I < Items->Count(); ++I)
            Widest = std::max(Widest, C->TextWidth(Items->Strings(I)));
        Width = std::max(10, 4 + (Images ? Images->Width() : H) + Widest + 2);
    }
    FImageListBox->FitToItems(std::min(Items->Count(), DropDownRows), Width, 0);
    FImageListBox->SetItemIndex(FValues->IndexOf(Text()));
    PositionPopup(FImageListBox, true);
}

void TdxInplaceImageEdit::OpenPopup() {
    if (!IsEditable())
        return;
    if (HandleAllocated() && GetFocus() != FHandle && CanFocus())
        ::SetFocus(FHandle);
    if (!HandleAllocated() || GetFocus() != FHandle)
        return;
    DoOpenPopup();
    if (FValues->Count() == 0 || !FImageListBox)
        return;
    TdxPopupImageListBox* L = FImageListBox;
    ActivePopup = L;
    L->SetParent(this);
    L->SetColor(Color());
    L->Font()->Assign(Font());
    L->SetListImages(FLargeImages ? FLargeImages : FImages);
    L->WrapItems = FMultiLineText;
    L->SetListBorder(ResolvedPopupBorder());
    L->SetListShadow(FStyle && FStyle->Shadow());
    PrepareImageList();
    PositionPopup(L, true);
    SetWindowPos(L->Handle(), HWND_TOP, L->Left(), L->Top(), L->Width(), L->Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    DroppedDown = true;
    InvalidateEditor();
}

void TdxInplaceImageEdit::ClosePopup(bool Accept) {
    if (!DroppedDown)
        return;
    if (HWND Capture = GetCapture())
        SendMessageA(Capture, WM_CANCELMODE, 0, 0);
    FocusEditor();
    if (FImageListBox && FImageListBox->HandleAllocated())
        SetWindowPos(FImageListBox->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
    DroppedDown = false;
    InvalidateEditor();
    const int I = FImageListBox ? FImageListBox->ItemIndex() : -1;
    if (I >= 0 && I < FValues->Count()) {
        std::string S = FValues->Strings(I);
        DoCloseUp(S, Accept);
        if (Accept)
            SetImageValue(S);
    }
}

void TdxInplaceImageEdit::StepValue(int Delta, bool) {
    if (GetReadOnly() || FValues->Count() == 0)
        return;
    const int I = FValues->IndexOf(Text());
    const int N = I < 0 ? 0 : std::clamp(I + Delta, 0, FValues->Count() - 1);
    SetImageValue(FValues->Strings(N));
}

void TdxInplaceImageEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!IsInplace() || Incremental) {
        switch (Key) {
        case VK_PRIOR: StepValue(1 - DropDownRows, false); Key = 0; break;
        case VK_NEXT: StepValue(DropDownRows - 1, false); Key = 0; break;
        case VK_END:
            if (FValues->Count() > 0)
                SetImageValue(FValues->Strings(FValues->Count() - 1));
            Key = 0;
            break;
        case VK_HOME:
            if (FValues->Count() > 0)
                SetImageValue(FValues->Strings(0));
            Key = 0;
            break;
        case VK_RIGHT:
        case VK_DOWN: StepValue(1, false); Key = 0; break;
        case VK_LEFT:
        case VK_UP: StepValue(-1, false); Key = 0; break;
        default: break;
        }
    }
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT))
        FocusAdjacentCell(Key == VK_LEFT);
    TdxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TdxInplaceImageEdit::KeyPress(char& Key) {
    TdxInplaceDropDownEdit::KeyPress(Key);
    const int N = FValues->Count();
    if (N == 0 || Key == 0)
        return;
    const int I = FValues->IndexOf(Text());
    const char Typed[2] = {Key, 0};
    for (int Step = 1; Step <= N; ++Step) {
        const int J = (I + Step) % N;
        if (J < 0)
            continue;
        const std::string D = J < FDescriptions->Count() ? FDescriptions->Strings(J) : std::string();
        if (!D.empty() && AnsiSameText(D.substr(0, 1), Typed)) {
            if (J != I)
                SetImageValue(FValues->Strings(J));
            return;
        }
    }
}

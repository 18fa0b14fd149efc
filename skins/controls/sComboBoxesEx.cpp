// The extended combo box: items with images and indents.
#include "sComboBoxes.h"

#include "Forms.h"
#include "ObjectInstances.h"
#include "acSBUtils.h"
#include "sMaskDraw.h"
#include "sMessages.h"
#include "sPaintServices.h"
#include "sSectionPaint.h"
#include "sSkinManager.h"
#include "sDCUtils.h"
#include "sVclUtils.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Extended combo box

namespace {
// Pixels a list row moves right per indent level.
constexpr int IndentStep = 16;
// The gap between an item's image and its text.
constexpr int ImageTextGap = 5;
}  // namespace

void TsComboItem::DefineClass(TClassBuilder<TsComboItem>& B) {
    B.Property("Caption", &TsComboItem::Caption, &TsComboItem::SetCaption);
    B.Property("SelectedImageIndex", &TsComboItem::SelectedImageIndex, &TsComboItem::SetSelectedImageIndex)
        .TypeName("TImageIndex")
        .Default(-1);
    B.Property("ImageIndex", &TsComboItem::ImageIndex, &TsComboItem::SetImageIndex).TypeName("TImageIndex").Default(-1);
    B.Property("OverlayImageIndex", &TsComboItem::OverlayImageIndex, &TsComboItem::SetOverlayImageIndex)
        .TypeName("TImageIndex")
        .Default(-1);
    B.Property("Indend", &TsComboItem::Indend, &TsComboItem::SetIndend).Default(-1);
}

void TsComboItem::Assign(TPersistent* Source) {
    if (auto* S = DynCast<TsComboItem>(Source)) {
        FCaption = S->FCaption;
        FSelectedImageIndex = S->FSelectedImageIndex;
        FImageIndex = S->FImageIndex;
        FOverlayImageIndex = S->FOverlayImageIndex;
        FIndend = S->FIndend;
        Data = S->Data;
        return;
    }
    TCollectionItem::Assign(Source);
}

std::string TsComboItem::GetDisplayName() { return FCaption.empty() ? TCollectionItem::GetDisplayName() : FCaption; }

void TsComboItem::SetCaption(const std::string& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    SetDisplayName(Value);
}

TsComboItem* TsComboItems::AddItem(const std::string& Caption, int ImageIndex, int SelectedImageIndex,
                                   int OverlayImageIndex, int Indent, void* Data) {
    auto* Item = static_cast<TsComboItem*>(Add());
    Item->SetCaption(Caption);
    Item->SetImageIndex(ImageIndex);
    Item->SetSelectedImageIndex(SelectedImageIndex);
    Item->SetOverlayImageIndex(OverlayImageIndex);
    Item->SetIndend(Indent);
    Item->Data = Data;
    return Item;
}

TsCustomComboBoxEx::TsCustomComboBoxEx(TComponent* AOwner) : TsCommonComboBox(AOwner) {
    SetStyle(csOwnerDrawFixed);
    FItemsEx = Create<TsComboItems>(this);
    FItemsEx->SetPropName("ItemsEx");
    FImageChangeLink = Create<TChangeLink>();
    FImageChangeLink->OnChange = TNotifyEvent::Bind<&TsCustomComboBoxEx::ImageListChange>(this);
    UpdateItems();
}

TsCustomComboBoxEx::~TsCustomComboBoxEx() {
    FreeAndNil(FImageChangeLink);
    FreeAndNil(FItemsEx);
}

void TsCustomComboBoxEx::BeforeDestruction() {
    if (FImages)
        FImages->UnRegisterChanges(FImageChangeLink);
    FImageChangeLink->OnChange = TNotifyEvent();
    TsCommonComboBox::BeforeDestruction();
}

void TsCustomComboBoxEx::CreateWnd() {
    TsCommonComboBox::CreateWnd();
    if (FItemsPending)
        UpdateItems();
    UpdateMargins();
}

void TsCustomComboBoxEx::UpdateItems() {
    if (!HandleAllocated()) {
        FItemsPending = true;
        return;
    }
    FItems->BeginUpdate();
    try {
        FItems->Clear();
        for (int I = 0; I < FItemsEx->Count(); ++I)
            FItems->Insert(FItemsEx->Items(I)->Index(), FItemsEx->Items(I)->Caption());
    } catch (...) {
        FItems->EndUpdate();
        throw;
    }
    FItems->EndUpdate();
    FItemsPending = false;
}

void TsCustomComboBoxEx::Clear() {
    TsCommonComboBox::Clear();
    FItemsEx->Clear();
}

void TsCustomComboBoxEx::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->UnRegisterChanges(FImageChangeLink);
    FImages = Value;
    if (FImages) {
        FImages->RegisterChanges(FImageChangeLink);
        FImages->FreeNotification(this);
        if (HandleAllocated())
            PostMessageA(Handle(), WM_USER + 2, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
        if (GetItemHt() < FImages->Height())
            SetItemHeight(FImages->Height());
    } else if (HandleAllocated()) {
        Perform(WM_USER + 2, 0, 0);
        RecreateWnd();
    }
    UpdateMargins();
}

void TsCustomComboBoxEx::ImageListChange(TObject* Sender) {
    if (!Sender) {
        SetImages(nullptr);
        return;
    }
    if (HandleAllocated() && FImages)
        Perform(WM_USER + 2, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
}

void TsCustomComboBoxEx::Notification(TComponent* AComponent, TOperation Operation) {
    TsCommonComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

void TsCustomComboBoxEx::UpdateMargins() {
    if (!HandleAllocated())
        return;
    if (FImages && GetItemIndex() >= 0) {
        if (EditHandle())
            SendMessageA(EditHandle(), EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(FImages->Width(), 0));
        return;
    }
    if (EditHandle())
        SendMessageA(EditHandle(), EM_SETMARGINS, EC_LEFTMARGIN, 0);
    Invalidate();
}

TsComboItem* TsCustomComboBoxEx::ItemAt(int Index) const {
    return Index >= 0 && Index < FItemsEx->Count() ? FItemsEx->Items(Index) : nullptr;
}

TsComboItem* TsCustomComboBoxEx::CurrentItem() { return ItemAt(GetItemIndex()); }

int TsCustomComboBoxEx::GetImageIndex(TsComboItem* Item, TOwnerDrawState State) const {
    if (!FImages || !Item)
        return -1;
    if (!State.Contains(odComboBoxEdit) && State.Contains(odSelected) && Item->SelectedImageIndex() >= 0)
        return Item->SelectedImageIndex();
    return Item->ImageIndex();
}

void TsCustomComboBoxEx::GetImageRect(TsComboItem* Item, TOwnerDrawState State, TRect& R) const {
    if (!FImages || !Item) {
        R = TRect{};
        return;
    }
    const int A = (Height() - FImages->Height()) / 2;
    R = Rect(A, A, A + FImages->Width(), A + FImages->Height());
    if (!State.Contains(odComboBoxEdit) && Item->Indend() > 0)
        OffsetRect(R, IndentStep * Item->Indend(), 0);
}

void TsCustomComboBoxEx::DrawImage(TsComboItem* Item, TOwnerDrawState State, int X, int Y) {
    const int Image = GetImageIndex(Item, State);
    if (FImages && Image >= 0 && Image < FImages->Count())
        FImages->Draw(Canvas(), X, Y, Image, Enabled());
}

bool TsCustomComboBoxEx::FocusedLook(TOwnerDrawState State) {
    return (FCommonData->HasFocus || Focused() || State.Contains(odFocused)) && !DroppedDown();
}

void TsCustomComboBoxEx::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    const int ButtonWidth = GetButtonRect().Right - GetButtonRect().Left;
    TsComboItem* Item = ItemAt(Index);
    std::string Text = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : std::string();
    TRect ImageRect;
    if (State.Contains(odComboBoxEdit)) {
        Rect.Right -= 1;
        C->Brush()->SetColor(FocusedLook(State) ? clHighlight : Color());
        C->FillRect(Rect);
        Rect.Right -= 3;
        if (Index < 0)
            return;
        GetImageRect(CurrentItem(), State, ImageRect);
        if (GetImageIndex(Item, State) < 0) {
            ImageRect.Top = Rect.Top;
            ImageRect.Bottom = Rect.Bottom;
        } else {
            DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
        }
        TRect TextRect = ::Rect(ImageRect.Right + ImageTextGap, Rect.Top,
                                Width() - ButtonWidth - 3 * (ShowButton() ? 1 : 0), Rect.Bottom);
        C->Brush()->SetStyle(bsClear);
        C->Font()->Assign(Font());
        if (State.Contains(odFocused))
            C->Font()->SetColor(clHighlightText);
        C->TextRect(TextRect, TextRect.Left, TextRect.Top + (TextRect.Bottom - TextRect.Top - C->TextHeight(Text)) / 2,
                    Text);
        return;
    }
    const bool Selected = State.Contains(odSelected);
    C->Brush()->SetColor(Selected ? clHighlight : Color());
    C->Font()->SetColor(Selected ? clHighlightText : Font()->Color());
    C->FillRect(Rect);
    if (Selected)
        C->DrawFocusRect(Rect);
    GetImageRect(Item, State, ImageRect);
    const int RowTop = Rect.Top + (Rect.Bottom - Rect.Top - (ImageRect.Bottom - ImageRect.Top)) / 2;
    OffsetRect(ImageRect, 0, RowTop - ImageRect.Top);
    if (ImageRect.Right > ImageRect.Left)
        DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
    const int TextLeft = ImageRect.Right + ImageTextGap;
    C->Brush()->SetStyle(bsClear);
    C->TextOut(TextLeft, Rect.Top + (Rect.Bottom - Rect.Top - C->TextHeight(Text)) / 2, Text);
}

void TsCustomComboBoxEx::DrawSkinItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* C = Canvas();
    TsComboItem* Item = ItemAt(Index);
    std::string Text = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : std::string();
    const int ButtonWidth = GetButtonRect().Right - GetButtonRect().Left;
    TRect ImageRect;
    if (State.Contains(odComboBoxEdit)) {
        C->Font()->Assign(Font());
        if (Index < 0 || GetImageIndex(Item, State) < 0)
            ImageRect = ::Rect(Rect.Left - 3, Rect.Top, Rect.Left - 3, Rect.Bottom);
        else
            GetImageRect(CurrentItem(), State, ImageRect);
        TRect TextRect = ::Rect(ImageRect.Right + 3, 0, Width() - ButtonWidth - 2 * (ShowButton() ? 1 : 0) - 3, Height());
        const bool Highlight = FocusedLook(State);
        if (Highlight) {
            TRect Area = ::Rect(Rect.Left, Rect.Top, TextRect.Right, Rect.Bottom);
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(clHighlight);
            C->FillRect(Area);
            C->DrawFocusRect(Area);
            C->Font()->SetColor(clHighlightText);
        }
        if (Index >= 0 && GetImageIndex(Item, State) >= 0)
            DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
        TextRect.Left += 2;
        if (Highlight) {
            C->Brush()->SetStyle(bsClear);
            C->TextRect(TextRect, TextRect.Left,
                        TextRect.Top + (TextRect.Bottom - TextRect.Top - C->TextHeight(Text)) / 2, Text);
        } else {
            DrawControlText(C, Text, Enabled(), FCommonData->IsHotState(), FCommonData,
                            DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, TextRect);
        }
        return;
    }
    if (Index < 0 || Index >= FItems->Count())
        return;
    const bool Skinned = FCommonData->IsSkinned(false);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Skinned ? FCommonData->Section().Color : Color());
    C->Font()->SetColor(Skinned ? FCommonData->Section().FontColor[0] : Font()->Color());
    C->FillRect(Rect);
    GetImageRect(Item, State, ImageRect);
    const int RowTop = Rect.Top + (Rect.Bottom - Rect.Top - (ImageRect.Bottom - ImageRect.Top)) / 2;
    OffsetRect(ImageRect, 0, RowTop - ImageRect.Top);
    TRect TextRect = ::Rect(ImageRect.Right + ImageTextGap, Rect.Top, Rect.Right, Rect.Bottom);
    if (State.Contains(odSelected)) {
        C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
        TextRect.Right = std::min<LONG>(TextRect.Right, TextRect.Left + C->TextWidth(Text) + 6);
        C->FillRect(Rect);
        C->DrawFocusRect(Rect);
    }
    if (ImageRect.Right > ImageRect.Left)
        DrawImage(Item, State, ImageRect.Left, ImageRect.Top);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(TextRect.Left, TextRect.Top + (TextRect.Bottom - TextRect.Top - C->TextHeight(Text)) / 2, Text);
}

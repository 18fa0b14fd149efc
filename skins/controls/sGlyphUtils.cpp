#include "sGlyphUtils.h"

#include "acAlphaImageList.h"
#include "acPNG.h"
#include "sCommonData.h"
#include "sDCUtils.h"
#include "sGraphUtils.h"
#include "sSpeedButton.h"

#include <algorithm>

TStringList* SkipFormClasses = nullptr;

namespace {

// A 32-bit glyph without a single opaque pixel is taken as a 24-bit one.
void NormaliseGlyphFormat(TBitmap* Glyph) {
    if (Glyph->PixelFormat() == pfDevice)
        Glyph->SetHandleType(bmDIB);
    if (Glyph->PixelFormat() != pf32bit || !Glyph->HandleAllocated())
        return;
    for (int Y = 0; Y < Glyph->Height(); ++Y) {
        auto* Row = static_cast<const BYTE*>(Glyph->ScanLine(Y));
        for (int X = 0; X < Glyph->Width(); ++X)
            if (Row[X * 4 + 3] == 255)
                return;
    }
    Glyph->SetPixelFormat(pf24bit);
}

// Runs Draw on a 24-bit copy of the button's area of Canvas and copies the result back.
template <class F>
void DrawThroughCopy(TsSpeedButton* Button, TCanvas* Canvas, F Draw) {
    TOwned<TBitmap> Work(Create<TBitmap>());
    Work->SetPixelFormat(pf24bit);
    Work->SetHandleType(bmDIB);
    Work->SetSize(Button->Width(), Button->Height());
    BitBlt(Work->Canvas()->Handle(), 0, 0, Button->Width(), Button->Height(), Canvas->Handle(), 0, 0, SRCCOPY);
    Draw(Work.get());
    BitBlt(Canvas->Handle(), 0, 0, Button->Width(), Button->Height(), Work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// Frame F of a 32-bit glyph strip drawn with its alpha on a canvas other than the cache.
void PaintAlphaGlyphFrame(TsSpeedButton* Button, TCanvas* Canvas, const TRect& R, int State, bool Grey) {
    TBitmap* Glyph = Button->Glyph();
    int W = R.Width(), H = Glyph->Height();
    int F = std::min(State, std::max(1, Button->NumGlyphs()) - 1);
    if (W <= 0 || H <= 0 || (F + 1) * W > Glyph->Width())
        return;
    TOwned<TPNGGraphic> Image(Create<TPNGGraphic>());
    Image->SetPixelFormat(pf32bit);
    Image->SetHandleType(bmDIB);
    Image->SetSize(W, H);
    Image->MirrorBelow = Button->Reflected();
    bool Disabled = !Button->Enabled();
    int B = Button->Blend();
    if (Disabled && Button->DisabledGlyphKind().Contains(dgBlended))
        B = std::max(50, B);
    for (int Y = 0; Y < H; ++Y) {
        auto* Src = static_cast<const BYTE*>(Glyph->ScanLine(Y)) + F * W * 4;
        auto* Dst = static_cast<BYTE*>(Image->ScanLine(Y));
        std::copy(Src, Src + W * 4, Dst);
        if (State == 0 && B != 0)
            for (int X = 0; X < W; ++X)
                Dst[X * 4 + 3] = static_cast<BYTE>(Dst[X * 4 + 3] * (100 - B) / 100);
    }
    if (Grey)
        GrayscaleBitmap(Image.get());
    DrawThroughCopy(Button, Canvas, [&](TBitmap* Work) { Work->Canvas()->Draw(R.Left, R.Top, Image.get()); });
}

// An image of a list that is not an alpha image list.
void PaintListImage(TsSpeedButton* Button, TCanvas* Canvas, const TRect& R, bool Skinned) {
    TColor Fill;
    TOwned<TBitmap> Image(FillImageListBitmap(Button->Images(), Button->ImageIndex(), Fill));
    // An image of several glyphs side by side shows the one of the button's state.
    int N = std::max(1, Button->NumGlyphs());
    if (N > 1 && Image->Width() % N == 0) {
        int W = Image->Width() / N, F = std::min(Button->CurrentState(), N - 1);
        TBitmap* Frame = Create<TBitmap>();
        Frame->SetPixelFormat(pf24bit);
        Frame->SetHandleType(bmDIB);
        Frame->SetSize(W, Image->Height());
        BitBlt(Frame->Canvas()->Handle(), 0, 0, W, Image->Height(), Image->Canvas()->Handle(), F * W, 0, SRCCOPY);
        Image.reset(Frame);
    }
    auto GreyExceptCorner = [&] { GrayscaleBitmapExcept(Image.get(), Image->Canvas()->Pixels(0, 0)); };
    bool Grayed = Button->DisabledGlyphKind().Contains(dgGrayed);
    if (!Skinned) {
        Image->SetTransparentColor(KeyColor);
        Image->SetTransparent(true);
        if (!Button->Enabled() && Grayed)
            GreyExceptCorner();
        Canvas->Draw(R.Left, R.Top, Image.get());
        return;
    }
    TBitmap* Cache = Button->SkinData()->CacheBitmap;
    TRect Whole{0, 0, Image->Width() - 1, Image->Height() - 1};
    if (Button->Enabled()) {
        bool Hot = Button->SkinData()->IsHotState();
        if (!Hot && Button->Grayed())
            GreyExceptCorner();
        if (Hot || Button->Blend() <= 0)
            CopyOpaquePixels(Cache, Image.get(), R.Left, Fill, R.Top);
        else
            BlendBitmapRect(Cache, R.Left, R.Top, Fill, Button->Blend() / 100.0, Whole, Image.get());
        return;
    }
    if (Grayed)
        GreyExceptCorner();
    if (Button->DisabledGlyphKind().Contains(dgBlended))
        BlendBitmapRect(Cache, R.Left, R.Top, Fill, 0.5, Whole, Image.get());
    else
        CopyOpaquePixels(Cache, Image.get(), R.Left, Fill, R.Top);
}
}  // namespace

int ImageCount(TCustomImageList* ImageList) { return ImageList ? ImageList->Count() : 0; }

namespace {
// The colour an image list's images are drawn on: its background, or the key colour without one.
TColor ImageFillOf(TCustomImageList* ImageList) {
    return ImageList->BkColor() == clNone ? KeyColor : ColorToRGB(ImageList->BkColor());
}

TBitmap* ImageOnFill(TCustomImageList* ImageList, int Index, TColor Fill) {
    TBitmap* Image = Create<TBitmap>();
    Image->SetPixelFormat(pf24bit);
    Image->SetHandleType(bmDIB);
    Image->SetSize(ImageList->Width(), ImageList->Height());
    Image->Canvas()->Brush()->SetColor(Fill);
    Image->Canvas()->FillRect(Rect(0, 0, ImageList->Width(), ImageList->Height()));
    ImageList->Draw(Image->Canvas(), 0, 0, Index, true);
    return Image;
}
}  // namespace

TBitmap* FillImageListBitmap(TCustomImageList* ImageList, int Index, TColor& Fill) {
    Fill = ImageFillOf(ImageList);
    return ImageOnFill(ImageList, Index, Fill);
}

void PaintToolButtonGlyph(TToolBar* ToolBar, TToolButton* ToolButton, TCustomDrawState State, bool, int,
                          TBitmap* Bitmap) {
    TCustomImageList* Images = ToolBar->Images();
    const int Index = ToolButton->ImageIndex();
    const int Look = State.Empty() || State == TCustomDrawState{cdsDisabled}                 ? 0
                     : State.Contains(cdsSelected) || State.Contains(cdsChecked) ? 2
                                                                                          : 1;
    TCustomImageList* List = Images;
    if (Look != 0 && ToolBar->HotImages() && Index < ImageCount(ToolBar->HotImages()))
        List = ToolBar->HotImages();
    TPoint P;
    if (ToolBar->List()) {
        P = Point(5, (ToolButton->Height() - Images->Height()) / 2);
    } else {
        const int Arrow = ToolButton->Style() == tbsDropDown ? 8 : 0;
        const int Caption = ToolBar->ShowCaptions() ? CanvasTextHeight(Bitmap->Canvas(), "A") + 3 : 0;
        P = Point((ToolButton->Width() - Images->Width()) / 2 - Arrow + 1,
                  (ToolButton->Height() - Images->Height() - Caption) / 2);
    }
    if (Look == 2)
        P = Point(P.X + 1, P.Y + 1);
    if (DynCast<TsAlphaImageList>(List)) {
        const int Frame = State.Contains(cdsHot) ? 1 : State.Contains(cdsChecked) ? 2 : 0;
        TSize Size;
        TsAlphaImageList::DrawFrame(List, Bitmap, P.X, P.Y, Index, 0, NoTint, Frame, 1, false, Size);
        return;
    }
    // Both lists are drawn on the background of Images: that colour is the one left out.
    const TColor Fill = ImageFillOf(Images);
    TOwned<TBitmap> Image(ImageOnFill(List, Index, Fill));
    CopyOpaquePixels(Bitmap, Image.get(), P.X, Fill, P.Y);
}

void PaintButtonGlyph(TControl* Button, TCanvas* Canvas) {
    auto* B = DynCast<TsSpeedButton>(Button);
    if (!B)
        return;
    TsCommonData* SkinData = B->SkinData();
    if (!Canvas)
        Canvas = SkinData->CacheBitmap->Canvas();
    bool OnCache = SkinData->CacheBitmap && Canvas == SkinData->CacheBitmap->Canvas();
    TRect R;
    B->GetGlyphRect(R);
    int State = B->CurrentState();
    bool Skinned = SkinData->IsSkinned(false);
    bool Grey = (State == 0 && B->Grayed()) || (!B->Enabled() && B->DisabledGlyphKind().Contains(dgGrayed));
    TColor Tint = NoTint;
    if (Grey)
        Tint = Skinned ? SkinData->Section().Color : ColorToRGB(clBtnFace);
    TBitmap* Glyph = B->Glyph();
    if (!Glyph->Empty()) {
        NormaliseGlyphFormat(Glyph);
        if (Glyph->PixelFormat() == pf32bit) {
            if (!OnCache) {
                PaintAlphaGlyphFrame(B, Canvas, R, State, Grey);
                return;
            }
            int W = R.Width();
            int F = std::min(State, std::max(1, B->NumGlyphs()) - 1);
            DrawAlphaImage(R, TRect{F * W, 0, (F + 1) * W, Glyph->Height()}, SkinData->CacheBitmap, B->Reflected(),
                           State == 0 ? B->Blend() : 0, Tint, false, EmptyBackgroundSource, Glyph);
            return;
        }
        auto Draw = [&](TBitmap* Dst) {
            DrawStateGlyph(Glyph, Dst, R, B->Reflected(), B->Down(), B->Blend(), State, B->DisabledGlyphKind(),
                           B->Enabled(), B->NumGlyphs());
        };
        if (OnCache)
            Draw(SkinData->CacheBitmap);
        else
            DrawThroughCopy(B, Canvas, Draw);
        return;
    }
    TCustomImageList* List = B->Images();
    if (!List || B->ImageIndex() < 0 || B->ImageIndex() >= ImageCount(List))
        return;
    PaintListImage(B, Canvas, R, Skinned);
}

void sGlyphUtilsInitialization() {
    SkipFormClasses = Create<TStringList>();
    SkipFormClasses->SetSorted(true);
    for (const char* Name : {"TApplication", "TQRStandardPreview", "TfcPopup"})
        SkipFormClasses->Add(Name);
}

void sGlyphUtilsFinalization() { FreeAndNil(SkipFormClasses); }

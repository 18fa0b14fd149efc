#include "sDCUtils.h"

#include "acFastPixels.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Fills and strips

void FillRectSolid(HDC DC, TRect Rect, TColor Color) {
    SaveDC(DC);
    HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
    FillRect(DC, Rect, Brush);
    DeleteObject(Brush);
    RestoreDC(DC, -1);
}

void FillBorderSolid(HDC DC, TRect Rect, int WL, TColor Color, int WB, int WR, int WT) {
    HBRUSH Brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
    const TRect Strips[] = {
        {Rect.Left, Rect.Top, Rect.Right, Rect.Top + WT},
        {Rect.Left, Rect.Top + WT, Rect.Left + WL, Rect.Bottom},
        {Rect.Left + WL, Rect.Bottom - WB, Rect.Right, Rect.Bottom},
        {Rect.Right - WR, Rect.Top + WT, Rect.Right, Rect.Bottom - WB},
    };
    for (const TRect& R : Strips)
        FillRect(DC, R, Brush);
    DeleteObject(Brush);
}

void CopyBorderStrips(HDC DstDC, int X, int Y, int B, HDC SrcDC, int SrcX, int SrcY, int W, int H) {
    BitBlt(DstDC, X, Y, B, H, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y, W, B, SrcDC, SrcX, SrcY, SRCCOPY);
    BitBlt(DstDC, X + W - B, Y, B, H, SrcDC, SrcX + W - B, SrcY, SRCCOPY);
    BitBlt(DstDC, X, Y + H - B, W, B, SrcDC, SrcX, SrcY + H - B, SRCCOPY);
}

void ExcludeGraphicChildren(HDC DC, TWinControl* Parent, int DY, int DX) {
    for (int I = 0; I < Parent->ControlCount(); ++I) {
        TControl* C = Parent->Controls(I);
        if (C->Visible() && DynCast<TGraphicControl>(C))
            ExcludeClipRect(DC, C->Left() + DX, C->Top() + DY, C->Left() + C->Width() + DX, C->Top() + C->Height() + DY);
    }
}

// ---------------------------------------------------------------------------------------------
// Text

void CutTextToWidth(TCanvas* Canvas, const std::string& Text, int Width, std::string& Result) {
    Result = Width > 0 ? Text : std::string();
    if (Result.empty() || Canvas->TextWidth(Result) <= Width)
        return;
    while (!Result.empty() && Canvas->TextWidth(Result + "...") > Width)
        Result.pop_back();
    if (!Result.empty())
        Result += "...";
}

void DrawTextOnDC(HDC DC, const std::string& Text, TRect& Rect, UINT Format) {
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), Rect, Format);
}

int CanvasTextWidth(TCanvas* Canvas, const std::string& Text) { return Canvas->TextExtent(Text).cx; }
int CanvasTextHeight(TCanvas* Canvas, const std::string& Text) { return Canvas->TextExtent(Text).cy; }
void CanvasTextExtent(TCanvas* Canvas, const std::string& Text, TSize& Size) { Size = Canvas->TextExtent(Text); }
void CanvasTextRect(TCanvas* Canvas, TRect Rect, int X, const std::string& Text, int Y) {
    Canvas->TextRect(Rect, X, Y, Text);
}

void TextSizeWithFont(HFONT FontHandle, const std::string& Text, TSize& Size) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, FontHandle);
    if (!GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), Size))
        Size = TSize{};
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
}

namespace {
// The canvas' font and brush selected, then DrawText of the whole text.
void CanvasDrawText(TCanvas* Canvas, const std::string& Text, TRect Rect, UINT Format) {
    Canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    DrawTextA(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), Rect, Format);
}

TRect Moved(TRect R, int DX, int DY) { return TRect{R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY}; }

// The outline colours of a section (-1: none on that side) drawn one pixel left, up, right and down.
void DrawOutline(TCanvas* Canvas, const std::string& Text, const TColor* Outline, UINT Format, TRect Rect) {
    const int DX[] = {-1, 0, 1, 0}, DY[] = {0, -1, 0, 1};
    for (int I = 0; I < 4; ++I)
        if (Outline[I] != -1) {
            Canvas->Font()->SetColor(Outline[I]);
            CanvasDrawText(Canvas, Text, Moved(Rect, DX[I], DY[I]), Format);
        }
}

// A new 8-bit DIB whose colour table is the grey ramp, so that a pixel's index is its grey level.
HBITMAP NewGreyDib(int Width, int Height) {
    struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
    } Info{};
    Info.Header.biSize = sizeof(BITMAPINFOHEADER);
    Info.Header.biWidth = Width;
    Info.Header.biHeight = Height;
    Info.Header.biPlanes = 1;
    Info.Header.biBitCount = 8;
    Info.Header.biCompression = BI_RGB;
    Info.Header.biClrUsed = 256;
    for (int I = 0; I < 256; ++I)
        Info.Colors[I] = RGBQUAD{BYTE(I), BYTE(I), BYTE(I), 0};
    void* Bits = nullptr;
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&Info), DIB_RGB_COLORS, &Bits, nullptr, 0);
}

// Makes ShadowCache the blurred shadow of Text for an area W x H with the text at margin M.
void MakeShadow(TBitmap* Bitmap, const std::string& Text, const TRect& Rect, TBitmap*& ShadowCache, int W, int H,
                int M, int Radius, int Flags, UINT Format) {
    if (!ShadowCache)
        ShadowCache = Create<TBitmap>();
    if (W <= 0 || H <= 0) {
        ShadowCache->SetPixelFormat(pf8bit);
        ShadowCache->SetSize(std::max(W, 0), std::max(H, 0));
        return;
    }
    ShadowCache->SetHandle(NewGreyDib(W, H));
    TacPixelView V = PixelViewOf(ShadowCache);
    for (int Y = 0; Y < H; ++Y)
        std::memset(V.Row(Y), 255, static_cast<size_t>(W));
    TCanvas* C = ShadowCache->Canvas();
    C->Font()->Assign(Bitmap->Canvas()->Font());
    C->Font()->SetColor(clBlack);
    C->Brush()->SetStyle(bsClear);
    const TRect R{M, M, M + Rect.Width(), M + Rect.Height()};
    const int Bits[] = {1, 2, 4, 8}, DX[] = {-1, 0, 1, 0}, DY[] = {0, -1, 0, 1};
    for (int I = 0; I < 4; ++I)
        if (Flags & Bits[I])
            CanvasDrawText(C, Text, Moved(R, DX[I], DY[I]), Format);
    CanvasDrawText(C, Text, R, Format);
    BlurBitmap8(ShadowCache, Radius);
}
}  // namespace

void WriteTextWithShadow(TBitmap* Bitmap, const std::string& Text, TRect Rect, TBitmap*& ShadowCache, TColor Color,
                         int Radius, int Flags, UINT Format) {
    if (!Bitmap)
        return;
    const int M = Radius + 4;
    const int W = Rect.Width() + 2 * M, H = Rect.Height() + 2 * M;
    if (!ShadowCache || ShadowCache->Width() != W || ShadowCache->Height() != H)
        MakeShadow(Bitmap, Text, Rect, ShadowCache, W, H, M, Radius, Flags, Format);
    TacPixelView S = PixelViewOf(ShadowCache);
    TacPixelView D = PixelViewOf(Bitmap);
    if (!S.First || !D.Valid())
        return;
    const BYTE Shadow[3] = {BYTE(Color >> 16), BYTE(Color >> 8), BYTE(Color)};
    for (int Y = 0; Y < S.Height; ++Y) {
        const BYTE* Row = S.Row(Y);
        for (int X = 0; X < S.Width; ++X) {
            const int Mv = Row[X];
            const int TX = Rect.Left + X - M, TY = Rect.Top + Y - M;
            if (Mv == 255 || !D.Inside(TX, TY))
                continue;
            BYTE* P = D.At(TX, TY);
            for (int K = 0; K < 3; ++K)
                P[K] = static_cast<BYTE>(Shadow[K] + (P[K] - Shadow[K]) * Mv / 255);
            if (D.Bytes == 4)
                P[3] = static_cast<BYTE>(std::max(0, P[3] + Mv - 255));
        }
    }
}

void BlurBitmap8(TBitmap* Bitmap, double Sigma) {
    if (!Bitmap || Bitmap->PixelFormat() != pf8bit || Bitmap->HandleType() != bmDIB || !(Sigma > 0))
        return;
    TacPixelView V = PixelViewOf(Bitmap);
    if (!V.First)
        return;
    constexpr int MaxRadius = 100;
    std::vector<double> Weight(2 * MaxRadius + 1);
    double Sum = 0;
    for (int K = -MaxRadius; K <= MaxRadius; ++K)
        Sum += Weight[K + MaxRadius] = std::exp(-(K / Sigma) * (K / Sigma) / 2);
    for (double& W : Weight)
        W /= Sum;
    // Tails that weigh less than half a grey level together are cut off.
    int Radius = MaxRadius;
    double Cut = 0;
    while (Cut < 1.0 / 510 && Radius > 1) {
        Cut += 2 * Weight[Radius + MaxRadius];
        --Radius;
    }
    std::vector<double> Kernel(Weight.begin() + (MaxRadius - Radius), Weight.begin() + (MaxRadius + Radius + 1));
    Sum = 0;
    for (double W : Kernel)
        Sum += W;
    for (double& W : Kernel)
        W /= Sum;

    // A sum of exactly 255 must stay 255; the tiny excess absorbs the rounding of the weights.
    auto Convolve = [&](std::vector<BYTE>& Line) {
        const int Last = static_cast<int>(Line.size()) - 1;
        std::vector<BYTE> In = Line;
        for (int I = 0; I <= Last; ++I) {
            double Acc = 0;
            for (int K = -Radius; K <= Radius; ++K)
                Acc += Kernel[K + Radius] * In[std::clamp(I - K, 0, Last)];
            Line[I] = static_cast<BYTE>(std::clamp(static_cast<int>(Acc + 1e-6), 0, 255));
        }
    };
    std::vector<BYTE> Line(static_cast<size_t>(V.Width));
    for (int Y = 0; Y < V.Height; ++Y) {
        std::memcpy(Line.data(), V.Row(Y), Line.size());
        Convolve(Line);
        std::memcpy(V.Row(Y), Line.data(), Line.size());
    }
    Line.resize(static_cast<size_t>(V.Height));
    for (int X = 0; X < V.Width; ++X) {
        for (int Y = 0; Y < V.Height; ++Y)
            Line[Y] = V.Row(Y)[X];
        Convolve(Line);
        for (int Y = 0; Y < V.Height; ++Y)
            V.Row(Y)[X] = Line[Y];
    }
}

void DrawSectionText(TCanvas* Canvas, const std::string& Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                     int SectionIndex, UINT Format, TRect Rect) {
    TsSkinManager* M = Manager ? Manager : DefaultManager;
    if (!M || !M->SectionIndexInRange(SectionIndex) || Text.empty())
        return;
    const TsGeneralData& S = M->SectionList[static_cast<size_t>(SectionIndex)];
    const TColor* Colors = Hot ? S.HotFontColor : S.FontColor;
    Canvas->Brush()->SetStyle(bsClear);
    if (Enabled) {
        DrawOutline(Canvas, Text, Colors + 1, Format, Rect);
        Canvas->Font()->SetColor(Colors[0]);
    } else {
        Canvas->Font()->SetColor(MixColors(S.FontColor[0], S.Color, 0.4));
    }
    CanvasDrawText(Canvas, Text, Rect, Format);
}

void DrawControlText(TCanvas* Canvas, const std::string& Text, bool Enabled, bool Hot, TsCommonData* SkinData,
                     UINT Format, TRect Rect) {
    TsSkinManager* M = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!M)
        return;
    TControl* Host = SkinData->HostControl;
    if (Host)
        Canvas->Font()->Assign(Host->Font());
    if (Hot && SkinData->SkinSection() == "WEBBUTTON") {
        TFontStyles Style = Canvas->Font()->Style();
        Canvas->Font()->SetStyle(Style.Include(fsUnderline));
    }
    HDC DC = Canvas->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    // Restoring the DC also takes back what the canvas selected meanwhile: it selects again.
    struct TRestore {
        TCanvas* Canvas;
        int Saved;
        ~TRestore() {
            RestoreDC(Canvas->Handle(), Saved);
            Canvas->Refresh();
        }
    } Restore{Canvas, Saved};
    if (Text.empty())
        return;

    int Section = SkinData->SectionIndex;
    const int Kind = SkinData->ControlKind;
    if (Host && (Kind == 32 || Kind == 33 || Kind == 74 || DynCast<TGraphicControl>(Host)) && Host->ParentFont() &&
        Host->Parent() && M->SectionIndexInRange(Section)) {
        const TsGeneralData& Own = M->SectionList[static_cast<size_t>(Section)];
        if ((Hot ? Own.HotTransparency : Own.Transparency) >= 1)
            Section = FindFontSectionIndex(Host, Section, M);
    }
    Canvas->Brush()->SetStyle(bsClear);
    if (!M->SectionIndexInRange(Section)) {
        CanvasDrawText(Canvas, Text, Rect, Format);
        return;
    }
    const TsGeneralData& S = M->SectionList[static_cast<size_t>(Section)];
    const int ShadowSize = Hot ? S.HotGlowSize : S.GlowSize;
    if (SkinData->CacheBitmap && ShadowSize != 0) {
        TBitmap* ShadowCache = nullptr;
        WriteTextWithShadow(SkinData->CacheBitmap, Text, Rect, ShadowCache, Hot ? S.HotGlowColor : S.GlowColor,
                            ShadowSize, 15, Format);
        FreeAndNil(ShadowCache);
    }
    const TColor* Colors = Hot ? S.HotFontColor : S.FontColor;
    if (!Enabled) {
        Canvas->Font()->SetColor(MixColors(S.FontColor[0], M->GetMainColor(), 0.4));
        CanvasDrawText(Canvas, Text, Rect, Format);
    } else if (SkinData->CustomFont()) {
        CanvasDrawText(Canvas, Text, Rect, Format | DT_NOCLIP);
    } else {
        DrawOutline(Canvas, Text, Colors + 1, Format, Rect);
        Canvas->Font()->SetColor(Colors[0]);
        CanvasDrawText(Canvas, Text, Rect, Format | DT_NOCLIP);
    }
}

// ---------------------------------------------------------------------------------------------
// Layout and frames

void LayoutGlyphAndCaption(TRect Client, TPoint GlyphSize, TPoint TextSize, UINT BiDiFlags, TRect& TextBounds,
                           TPoint& GlyphPos, int Margin, int Spacing, TAlignment Alignment, TButtonLayout Layout) {
    int L = static_cast<int>(Layout);
    if ((BiDiFlags & 2) && (L == 0 || L == 1))
        L = 1 - L;
    const bool Horizontal = L == 0 || L == 1;
    const int CW = Client.Width(), CH = Client.Height();
    const int GX = GlyphSize.X, GY = GlyphSize.Y, TX = TextSize.X, TY = TextSize.Y;
    TextBounds = TRect{0, 0, TX, TY};
    GlyphPos = TPoint{0, 0};
    int TextX = 0, TextY = 0;
    if (Horizontal) {
        GlyphPos.Y = (CH - GY + 1) / 2;
        TextY = (CH - TY + 1) / 2;
    } else {
        GlyphPos.X = (CW - GX + 1) / 2;
        TextX = (CW - TX + 1) / 2;
    }
    if (TX == 0 || GX == 0)
        Spacing = 0;
    // The free length along the layout's axis.
    const int Free = Horizontal ? CW - GX - TX : CH - GY - TY;
    if (Margin == -1) {
        if (Spacing < 0) {
            Margin = Free / 3;
            Spacing = Margin;
        } else {
            Margin = Alignment == taCenter ? (Free - Spacing + 1) / 2 : 2;
        }
    } else if (Spacing < 0) {
        Spacing = (Free - Margin) / 2;
    }
    if (Horizontal) {
        const int A = static_cast<int>(Alignment);
        if (L == 0 && A == 0) {
            GlyphPos.X = Margin;
            TextX = Margin + GX + Spacing;
        } else if (L == 0 && A == 1) {
            TextX = CW - Margin - TX;
            GlyphPos.X = TextX - Spacing - GX;
        } else if (L == 0 && A == 2) {
            GlyphPos.X = (CW - TX - Spacing - GX) / 2;
            TextX = GlyphPos.X + GX + Spacing;
        } else if (L == 1 && A == 0) {
            TextX = Margin;
            GlyphPos.X = Margin + TX + Spacing;
        } else if (L == 1 && A == 1) {
            GlyphPos.X = CW - Margin - GX;
            TextX = GlyphPos.X - Spacing - TX;
        } else if (L == 1 && A == 2) {
            TextX = (CW - TX - Spacing - GX) / 2;
            GlyphPos.X = TextX + TX + Spacing;
        }
    } else {
        const int V = (CH - GY - Spacing - TY) / 2;
        if (L == 2) {
            GlyphPos.Y = V;
            TextY = V + GY + Spacing;
        } else if (L == 3) {
            GlyphPos.Y = CH - GY - V;
            TextY = GlyphPos.Y - Spacing - TY;
        }
    }
    GlyphPos.X += Client.Left;
    GlyphPos.Y += Client.Top;
    TextBounds = TRect{Client.Left + TextX, Client.Top + TextY, Client.Left + TextX + TX, Client.Top + TextY + TY};
}

void DrawBevelLines(HDC DC, TRect& Rect, TColor TopLeftColor, int& Count, TColor BottomRightColor) {
    HPEN TopLeft = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(TopLeftColor)));
    HPEN BottomRight = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(BottomRightColor)));
    HGDIOBJ OldPen = SelectObject(DC, TopLeft);
    HGDIOBJ OldBrush = SelectObject(DC, GetStockObject(NULL_BRUSH));
    --Rect.Right;
    --Rect.Bottom;
    while (Count > 0) {
        --Count;
        SelectObject(DC, TopLeft);
        const POINT First[] = {{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}};
        Polyline(DC, First, 3);
        SelectObject(DC, BottomRight);
        const POINT Second[] = {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}};
        Polyline(DC, Second, 3);
        ++Rect.Left;
        ++Rect.Top;
        --Rect.Right;
        --Rect.Bottom;
    }
    ++Rect.Right;
    ++Rect.Bottom;
    SelectObject(DC, OldPen);
    SelectObject(DC, OldBrush);
    DeleteObject(TopLeft);
    DeleteObject(BottomRight);
}

void DrawDottedFrame(TCanvas* Canvas, TRect Rect) {
    for (int I = 0; I <= Rect.Width() / 3; ++I) {
        const int X = Rect.Left + 3 * I;
        Canvas->SetPixels(X, Rect.Top, clBlack);
        Canvas->SetPixels(X, Rect.Bottom, clBlack);
        Canvas->SetPixels(X - 1, Rect.Top - 1, clWhite);
        Canvas->SetPixels(X - 1, Rect.Bottom - 1, clWhite);
    }
    for (int J = 0; J <= Rect.Height() / 3; ++J) {
        const int Y = Rect.Top + 3 * J;
        Canvas->SetPixels(Rect.Left, Y, clBlack);
        Canvas->SetPixels(Rect.Right, Y, clBlack);
        Canvas->SetPixels(Rect.Left - 1, Y - 1, clWhite);
        Canvas->SetPixels(Rect.Right - 1, Y - 1, clWhite);
    }
}

#include "Clipbrd.h"

#include "Forms.h"

#include <cstring>

namespace {
Word RegisteredPictureFormat() {
    static const Word Format = static_cast<Word>(RegisterClipboardFormatA("Quarnel Picture"));
    return Format;
}
const Word PictureFormatValue = RegisteredPictureFormat();
TClipboard* TheClipboard = nullptr;

constexpr const char* SCannotOpenClipboard = "Cannot open clipboard";
}  // namespace

const Word& CF_PICTURE = PictureFormatValue;

TClipboard* Clipboard() {
    if (!TheClipboard)
        TheClipboard = Create<TClipboard>();
    return TheClipboard;
}

void FreeClipboard() { FreeAndNil(TheClipboard); }

TClipboard::~TClipboard() {
    if (FOpenRefCount > 0)
        CloseClipboard();
}

void TClipboard::Open() {
    if (FOpenRefCount == 0) {
        HWND Owner = Application ? Application->Handle() : nullptr;
        if (!OpenClipboard(Owner))
            throw Exception(SCannotOpenClipboard);
        FEmptied = false;
    }
    ++FOpenRefCount;
}

void TClipboard::Close() {
    if (FOpenRefCount == 0)
        return;
    if (--FOpenRefCount == 0)
        CloseClipboard();
}

void TClipboard::Clear() {
    Open();
    try {
        EmptyClipboard();
        FEmptied = true;
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

bool TClipboard::HasFormat(Word Format) {
    if (IsClipboardFormatAvailable(Format))
        return true;
    if (Format != CF_PICTURE)
        return false;
    Open();
    bool Found = false;
    for (UINT F = 0; !Found && (F = EnumClipboardFormats(F)) != 0;)
        Found = TPicture::SupportsClipboardFormat(static_cast<Word>(F));
    Close();
    return Found;
}

HANDLE TClipboard::GetAsHandle(Word Format) {
    Open();
    HANDLE H = GetClipboardData(Format);
    Close();
    return H;
}

void TClipboard::SetAsHandle(Word Format, HANDLE Data) {
    Open();
    if (!FEmptied) {
        EmptyClipboard();
        FEmptied = true;
    }
    const bool Taken = SetClipboardData(Format, Data) != nullptr;
    Close();
    if (!Taken)
        throw Exception(SCannotOpenClipboard);
}

std::string TClipboard::AsText() {
    std::string S;
    Open();
    if (HANDLE Data = GetClipboardData(CF_TEXT))
        if (const char* P = static_cast<const char*>(GlobalLock(Data))) {
            // The block may be larger than the text; never read past it.
            S.assign(P, strnlen(P, GlobalSize(Data)));
            GlobalUnlock(Data);
        }
    Close();
    return S;
}

void TClipboard::SetAsText(const std::string& Value) {
    HGLOBAL Data = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, Value.size() + 1);
    if (!Data)
        throw Exception(SCannotOpenClipboard);
    std::memcpy(GlobalLock(Data), Value.c_str(), Value.size() + 1);
    GlobalUnlock(Data);
    Open();
    try {
        EmptyClipboard();
        FEmptied = true;
        SetAsHandle(CF_TEXT, Data);
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TClipboard::Assign(TPersistent* Source) {
    if (auto* P = DynCast<TPicture>(Source))
        AssignGraphic(P->Graphic());
    else if (auto* G = DynCast<TGraphic>(Source))
        AssignGraphic(G);
    else
        TPersistent::Assign(Source);
}

void TClipboard::AssignGraphic(TGraphic* Graphic) {
    Word Format = 0;
    HANDLE Data = nullptr;
    HPALETTE Palette = nullptr;
    if (Graphic && !Graphic->Empty())
        Graphic->SaveToClipboardFormat(Format, Data, Palette);
    Open();
    try {
        EmptyClipboard();
        FEmptied = true;
        if (Data)
            SetAsHandle(Format, Data);
        if (Palette)
            SetAsHandle(CF_PALETTE, Palette);
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TClipboard::AssignTo(TPersistent* Dest) {
    if (auto* P = DynCast<TPicture>(Dest))
        AssignToPicture(P);
    else if (auto* B = DynCast<TBitmap>(Dest))
        AssignToBitmap(B);
    else
        TPersistent::AssignTo(Dest);
}

void TClipboard::AssignToPicture(TPicture* Picture) {
    Open();
    try {
        UINT Found = 0;
        for (UINT F = 0; (F = EnumClipboardFormats(F)) != 0;)
            if (TPicture::SupportsClipboardFormat(static_cast<Word>(F))) {
                Found = F;
                break;
            }
        if (!Found)
            InvalidGraphic(GraphicsConsts::SUnknownClipboardFormat);
        Picture->LoadFromClipboardFormat(static_cast<Word>(Found), GetClipboardData(Found),
                                         static_cast<HPALETTE>(GetClipboardData(CF_PALETTE)));
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TClipboard::AssignToBitmap(TBitmap* Bitmap) {
    Open();
    try {
        Bitmap->LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP),
                                        static_cast<HPALETTE>(GetClipboardData(CF_PALETTE)));
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

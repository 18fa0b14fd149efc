#include "RichEdit.h"

#include "WinUtils.h"

#include <cstring>

namespace {

constexpr LPARAM LargestLimit = 0x7FFFFFF0;

struct TStreamCookie {
    const std::string* In = nullptr;
    std::size_t Pos = 0;
    std::string* Out = nullptr;
};

DWORD CALLBACK StreamInCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* C = reinterpret_cast<TStreamCookie*>(Cookie);
    std::size_t N = std::min<std::size_t>(static_cast<std::size_t>(Count), C->In->size() - C->Pos);
    std::memcpy(Buffer, C->In->data() + C->Pos, N);
    C->Pos += N;
    *Done = static_cast<LONG>(N);
    return 0;
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* C = reinterpret_cast<TStreamCookie*>(Cookie);
    C->Out->append(reinterpret_cast<const char*>(Buffer), static_cast<std::size_t>(Count));
    *Done = Count;
    return 0;
}

bool IsRtf(const std::string& S) { return S.compare(0, 5, "{\\rtf") == 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TTextAttributes

void TTextAttributes::Assign(TPersistent* Source) {
    if (auto* A = DynCast<TTextAttributes>(Source)) {
        FColor = A->FColor;
        FName = A->FName;
        FSize = A->FSize;
        FStyle = A->FStyle;
        Apply();
        return;
    }
    if (auto* F = DynCast<TFont>(Source)) {
        FColor = F->Color();
        FName = F->Name();
        FSize = F->Size();
        FStyle = F->Style();
        Apply();
        return;
    }
    TPersistent::Assign(Source);
}

void TTextAttributes::SetColor(TColor Value) {
    FColor = Value;
    Apply();
}

void TTextAttributes::SetName(const std::string& Value) {
    FName = Value;
    Apply();
}

void TTextAttributes::SetSize(int Value) {
    if (Value < 0)
        return;
    FSize = Value;
    Apply();
}

void TTextAttributes::SetStyle(TFontStyles Value) {
    FStyle = Value;
    Apply();
}

void TTextAttributes::Apply() {
    if (!FOwner->HandleAllocated())
        return;
    CHARFORMAT2A F{};
    F.cbSize = sizeof(F);
    F.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    F.crTextColor = static_cast<COLORREF>(ColorToRGB(FColor));
    if (FStyle.Contains(fsBold))
        F.dwEffects |= CFE_BOLD;
    if (FStyle.Contains(fsItalic))
        F.dwEffects |= CFE_ITALIC;
    if (FStyle.Contains(fsUnderline))
        F.dwEffects |= CFE_UNDERLINE;
    if (FStyle.Contains(fsStrikeOut))
        F.dwEffects |= CFE_STRIKEOUT;
    if (!FName.empty()) {
        F.dwMask |= CFM_FACE;
        lstrcpynA(F.szFaceName, FName.c_str(), LF_FACESIZE);
    }
    if (FSize > 0) {
        F.dwMask |= CFM_SIZE;
        F.yHeight = FSize * 20;  // twips
    }
    SendMessageA(FOwner->Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&F));
}

// ---------------------------------------------------------------------------------------------
// TRichEditStrings

TRichEditStrings::TRichEditStrings(TCustomRichEdit* AEdit) : TMemoStrings(AEdit), FEdit(AEdit) {}

std::string TRichEditStrings::GetTextStr() {
    if (!FEdit->HandleAllocated())
        return TMemoStrings::GetTextStr();
    return FEdit->StreamOut(false);
}

void TRichEditStrings::SetTextStr(const std::string& Value) {
    if (!FEdit->HandleAllocated()) {
        TMemoStrings::SetTextStr(Value);
        return;
    }
    FEdit->StreamIn(Value, !FEdit->PlainText() && IsRtf(Value));
}

void TRichEditStrings::LoadFromStream(TStream* Stream) {
    std::string Data(static_cast<std::size_t>(Stream->Size() - Stream->Position()), '\0');
    if (!Data.empty())
        Stream->ReadBuffer(Data.data(), static_cast<int>(Data.size()));
    SetTextStr(Data);
}

void TRichEditStrings::SaveToStream(TStream* Stream) {
    std::string Data = FEdit->HandleAllocated() ? FEdit->StreamOut(!FEdit->PlainText()) : GetTextStr();
    if (!Data.empty())
        Stream->WriteBuffer(Data.data(), static_cast<int>(Data.size()));
}

// ---------------------------------------------------------------------------------------------
// TCustomRichEdit

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {
    // Our own load of the library: the window class exists while any rich edit does.
    FLibrary = SafeLoadLibrary("RICHED20.DLL");
    FreeObject(FLines);
    FLines = Create<TRichEditStrings>(this);
    FDefAttributes = Create<TTextAttributes>(this);
}

TCustomRichEdit::~TCustomRichEdit() {
    FreeObject(FDefAttributes);
    if (FLibrary)
        FreeLibrary(FLibrary);
}

void TCustomRichEdit::DefineClass(TClassBuilder<TCustomRichEdit>& B) {
    B.Property("PlainText", &TCustomRichEdit::PlainText, &TCustomRichEdit::SetPlainText).Default(false);
    B.Message<&TCustomRichEdit::CMColorChanged>(CM_COLORCHANGED);
    B.Message<&TCustomRichEdit::EMExLimitText>(EM_EXLIMITTEXT);
}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
    TCustomMemo::CreateParams(Params);
    CreateSubClass(Params, "RichEdit20A");
    // The text goes in after the limit is raised: at creation the system's small default would cut it.
    Params.Caption.clear();
}

void TCustomRichEdit::CreateWnd() {
    std::string Kept = FText;
    TCustomMemo::CreateWnd();
    ApplyLimit();
    SendMessageA(FHandle, EM_SETEVENTMASK, 0, ENM_CHANGE);
    SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    // Without word wrap the lines run as wide as they are.
    SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, WordWrap() ? 0 : 1);
    FDefAttributes->Apply();
    if (!Kept.empty()) {
        FCreating = true;
        SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Kept.c_str()));
        FCreating = false;
    }
}

void TCustomRichEdit::ApplyLimit() {
    if (HandleAllocated())
        SendMessageA(FHandle, EM_EXLIMITTEXT, 0, MaxLength() > 0 ? MaxLength() : LargestLimit);
}

void TCustomRichEdit::SetMaxLength(int Value) {
    if (Value < 0)
        return;
    TCustomMemo::SetMaxLength(Value);
    ApplyLimit();
}

void TCustomRichEdit::EMExLimitText(TMessage& Message) {
    // Sent before there is a window (a descendant's constructor does): the limit is kept for it.
    if (!HandleAllocated()) {
        TCustomMemo::SetMaxLength(Message.LParam >= LargestLimit ? 0 : static_cast<int>(Message.LParam));
        return;
    }
    InheritedDispatch(StaticClass(), Message);
}

void TCustomRichEdit::CMColorChanged(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (HandleAllocated())
        SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TCustomRichEdit::StreamIn(const std::string& Data, bool Rtf) {
    TStreamCookie Cookie;
    Cookie.In = &Data;
    EDITSTREAM ES{};
    ES.dwCookie = reinterpret_cast<DWORD_PTR>(&Cookie);
    ES.pfnCallback = StreamInCallback;
    SendMessageA(Handle(), EM_STREAMIN, Rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&ES));
}

std::string TCustomRichEdit::StreamOut(bool Rtf) {
    std::string Out;
    TStreamCookie Cookie;
    Cookie.Out = &Out;
    EDITSTREAM ES{};
    ES.dwCookie = reinterpret_cast<DWORD_PTR>(&Cookie);
    ES.pfnCallback = StreamOutCallback;
    SendMessageA(Handle(), EM_STREAMOUT, Rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&ES));
    return Out;
}

void RichEditInitialization() { RegisterClasses({TRichEdit::StaticClass()}); }

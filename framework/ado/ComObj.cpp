#include "ComObj.h"

#include <windows.h>

HRESULT OleCheck(HRESULT Result) {
    if (SUCCEEDED(Result))
        return Result;
    char* Text = nullptr;
    DWORD Len = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, static_cast<DWORD>(Result), 0, reinterpret_cast<char*>(&Text), 0, nullptr);
    std::string Msg;
    if (Len && Text) {
        Msg.assign(Text, Len);
        while (!Msg.empty() && (Msg.back() == '\r' || Msg.back() == '\n' || Msg.back() == ' ' || Msg.back() == '.'))
            Msg.pop_back();
    }
    if (Text)
        LocalFree(Text);
    if (Msg.empty()) {
        char Buf[64];
        wsprintfA(Buf, "OLE error %08X", static_cast<unsigned>(Result));
        Msg = Buf;
    }
    throw EOleSysError(Msg, Result);
}

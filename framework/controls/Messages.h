// Message numbers of the framework: component messages (CM_*), notifications reflected back to the
// control that caused them (CN_*), and typed views of TMessage for the messages whose parameters
// are read field by field. This is the one place these numbers are kept.
#pragma once

#include "System.h"

#include <windows.h>

// ---------------------------------------------------------------------------------------------
// Component messages

inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
inline constexpr UINT CM_GOTFOCUS = CM_BASE + 0x02;
inline constexpr UINT CM_LOSTFOCUS = CM_BASE + 0x03;
inline constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;  // LParam: the control keeping the focus
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;  // LParam: the control getting the focus
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
inline constexpr UINT CM_HITTEST = CM_BASE + 0x0A;
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;  // WParam: the new value
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
inline constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
inline constexpr UINT CM_CTL3DCHANGED = CM_BASE + 0x10;
inline constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 0x11;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;  // LParam: 0 on the control itself, else the child
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;  // LParam: as CM_MOUSEENTER
inline constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
inline constexpr UINT CM_APPKEYDOWN = CM_BASE + 0x16;
inline constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 0x17;
inline constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
inline constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
inline constexpr UINT CM_ENTER = CM_BASE + 0x1A;
inline constexpr UINT CM_EXIT = CM_BASE + 0x1B;
inline constexpr UINT CM_DESIGNHITTEST = CM_BASE + 0x1C;
inline constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
inline constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x1E;
inline constexpr UINT CM_INVOKEHELP = CM_BASE + 0x1F;
inline constexpr UINT CM_WINDOWHOOK = CM_BASE + 0x20;
inline constexpr UINT CM_RELEASE = CM_BASE + 0x21;
inline constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
inline constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x23;
inline constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x24;
inline constexpr UINT CM_WININICHANGE = CM_BASE + 0x25;
inline constexpr UINT CM_FONTCHANGE = CM_BASE + 0x26;
inline constexpr UINT CM_TIMECHANGE = CM_BASE + 0x27;
inline constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 0x28;
inline constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;
inline constexpr UINT CM_UIDEACTIVATE = CM_BASE + 0x2A;
inline constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 0x2B;
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;  // WParam: the control, LParam: inserting
inline constexpr UINT CM_GETDATALINK = CM_BASE + 0x2D;
inline constexpr UINT CM_CHILDKEY = CM_BASE + 0x2E;
inline constexpr UINT CM_DRAG = CM_BASE + 0x2F;
inline constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
inline constexpr UINT CM_DIALOGHANDLE = CM_BASE + 0x31;
inline constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 0x32;
inline constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
inline constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
inline constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 0x35;
inline constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;
inline constexpr UINT CM_CHANGED = CM_BASE + 0x37;
inline constexpr UINT CM_DOCKCLIENT = CM_BASE + 0x38;
inline constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 0x39;
inline constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
inline constexpr UINT CM_BORDERCHANGED = CM_BASE + 0x3B;
inline constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
inline constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D;
inline constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 0x3E;
inline constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;
inline constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;
inline constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 0x41;
inline constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 0x42;
inline constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;

// ---------------------------------------------------------------------------------------------
// Notifications reflected to the control whose window sent them: CN_BASE + the window message

inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
inline constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
inline constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
inline constexpr UINT CN_DROPDOWNCLOSED = WM_USER + 0x1000;

static_assert(CN_COMMAND == 0xBD11 && CN_NOTIFY == 0xBC4E && CN_PARENTNOTIFY == 0xBE10 && CN_CTLCOLORSTATIC == 0xBD38);

// ---------------------------------------------------------------------------------------------
// Typed views: a handler takes TMessage& and reads it through one of these, e.g.
//   TWMMouse& M = AsMsg<TWMMouse>(Message);  M.XPos(), M.Keys()
// They add no data, only names for the parameters.

struct TWMKey : TMessage {
    WORD CharCode() const { return static_cast<WORD>(WParam); }
    void SetCharCode(WORD Value) { WParam = Value; }
    LPARAM KeyData() const { return LParam; }
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

struct TWMMouse : TMessage {
    WPARAM Keys() const { return WParam; }
    SmallInt XPos() const { return static_cast<SmallInt>(LOWORD(LParam)); }
    SmallInt YPos() const { return static_cast<SmallInt>(HIWORD(LParam)); }
    POINT Pos() const { return POINT{XPos(), YPos()}; }
};
using TCMHitTest = TWMMouse;

struct TWMPaint : TMessage {
    HDC DC() const { return reinterpret_cast<HDC>(WParam); }
};
using TWMEraseBkgnd = TWMPaint;

struct TWMSysCommand : TMessage {
    WPARAM CmdType() const { return WParam & 0xFFF0; }
    SmallInt XPos() const { return static_cast<SmallInt>(LOWORD(LParam)); }
    SmallInt YPos() const { return static_cast<SmallInt>(HIWORD(LParam)); }
};

struct TWMCommand : TMessage {
    WORD ItemID() const { return LOWORD(WParam); }
    WORD NotifyCode() const { return HIWORD(WParam); }
    HWND Ctl() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMNotify : TMessage {
    int IDCtrl() const { return static_cast<int>(WParam); }
    NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(LParam); }
};

struct TWMDrawItem : TMessage {
    DRAWITEMSTRUCT* DrawItemStruct() const { return reinterpret_cast<DRAWITEMSTRUCT*>(LParam); }
};

struct TWMSize : TMessage {
    WPARAM SizeType() const { return WParam; }
    Word Width() const { return LOWORD(LParam); }
    Word Height() const { return HIWORD(LParam); }
};

struct TWMWindowPosChanged : TMessage {
    WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(LParam); }
};

struct TWMGetMinMaxInfo : TMessage {
    MINMAXINFO* MinMaxInfo() const { return reinterpret_cast<MINMAXINFO*>(LParam); }
};

struct TWMActivate : TMessage {
    Word Active() const { return LOWORD(WParam); }
    bool Minimized() const { return HIWORD(WParam) != 0; }
    HWND ActiveWindow() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMSetFocus : TMessage {
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(WParam); }
};
using TWMKillFocus = TWMSetFocus;

struct TWMTimer : TMessage {
    UINT_PTR TimerID() const { return WParam; }
};

// The view of a message as a typed message: the views add no members, so this is a relabelling.
template <class V>
V& AsMsg(TMessage& Message) {
    static_assert(sizeof(V) == sizeof(TMessage) && std::is_base_of_v<TMessage, V>);
    return static_cast<V&>(Message);
}


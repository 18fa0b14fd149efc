// Window procedures that call a method of an object: each object instance is a small executable
// thunk with an address of its own, so that a procedure installed with SetWindowLong can be
// recognised (GetWindowLong(GWL_WNDPROC) gives it back) and chained like any other.
#pragma once

#include "System.h"
#include "TypInfo.h"

#include <windows.h>

// A method that handles a window message in place (Result is the window procedure's answer).
using TWndMethod = TMethodOf<TMessage&>;
DECLARE_EVENT_NAME(TWndMethod)

// A new window procedure that calls Method. An exception leaving Method never crosses the system's
// frames: it goes to the application's exception handler and the message answers 0.
// Raises EOutOfResources when no executable memory can be had.
WNDPROC MakeObjectInstance(const TWndMethod& Method);
// Frees a procedure made by MakeObjectInstance (null is ignored). A procedure that is running at the
// time (freed from inside its own method, typically on WM_NCDESTROY) is freed when it returns.
void FreeObjectInstance(WNDPROC Instance);

// A hidden utility window of its own class whose messages go to Method.
HWND AllocateHWnd(const TWndMethod& Method);
// The same as a message-only window: it gets no broadcast messages, and under Wine it costs a
// fraction of a hidden top-level window, which the display system backs with a window of its own.
HWND AllocateMessageHWnd(const TWndMethod& Method);
// Destroys a window made by AllocateHWnd and frees its procedure.
void DeallocateHWnd(HWND Wnd);

// Where an exception that leaves a window method goes: the application object installs its
// HandleException here when it starts; the handler runs inside the catch block, so it may rethrow
// the current exception to look at it. Until then such an exception is dropped.
using TWndExceptionHandler = void (*)(TObject* Sender);
extern TWndExceptionHandler WndExceptionHandler;
// Calls WndExceptionHandler for the exception being handled (inside a catch block only).
void HandleWndException(TObject* Sender) noexcept;
// The same for the exception that left the handling of Message by window Wnd. A failed WM_PAINT is
// ended first (what it left to paint is validated), and a paint that fails while another paint
// error is being reported is dropped: the report's box makes windows repaint, and a paint that
// fails every time would otherwise report itself inside its own report without end.
void HandleWndException(TObject* Sender, HWND Wnd, const TMessage& Message) noexcept;

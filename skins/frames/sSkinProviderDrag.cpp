// The rubber-band move and size of ResizeMode rmBorder. While the button is down only an inverted
// frame on the desktop follows the mouse; the form is moved or sized once, when it is released.
#include "sSkinProvider.h"

#include <algorithm>

bool DragActive = false;
bool DragStarting = false;
bool DragIsMove = false;
int DragHitCode = 0;

namespace {
// One drag at a time in the application: the frame's rectangle (in the coordinates of the form's
// parent window), the last cursor point, the smallest size allowed and the desktop's DC drawn on.
TRect DragRect{};
TPoint Anchor{};
int MinWidth = 0;
int MinHeight = 0;
HWND DesktopWnd = nullptr;
HDC DesktopDC = nullptr;
int SavedDCState = 0;

HWND ParentWindow(HWND H) { return GetAncestor(H, GA_PARENT); }
}  // namespace

TPoint TsSkinProvider::CursorInParent(LPARAM LParam) {
    POINT P{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
    MapWindowPoints(Form->Handle(), ParentWindow(Form->Handle()), &P, 1);
    return TPoint{P.x, P.y};
}

void TsSkinProvider::DrawDragFrame(int X, int Y) {
    if (!DesktopDC)
        return;
    int R, B;
    if (DragIsMove) {
        R = X + Form->Width() - 1;
        B = Y + Form->Height() - 1;
    } else {
        X = DragRect.Left;
        Y = DragRect.Top;
        R = DragRect.Right - 1;
        B = DragRect.Bottom - 1;
    }
    POINT Points[5] = {{X, Y}, {R, Y}, {R, B}, {X, B}, {X, Y}};
    // A child form's frame lies in its parent's client area.
    MapWindowPoints(ParentWindow(Form->Handle()), HWND_DESKTOP, Points, 5);
    Polyline(DesktopDC, Points, 5);
}

void TsSkinProvider::BeginBorderDrag(int X, int Y) {
    DragActive = true;
    DesktopWnd = GetDesktopWindow();
    DesktopDC = GetWindowDC(DesktopWnd);
    SavedDCState = SaveDC(DesktopDC);
    SetROP2(DesktopDC, R2_NOT);
    SelectObject(DesktopDC, GetStockObject(NULL_BRUSH));
    DragRect.Left = Form->Left();
    DragRect.Top = Form->Top();
    // The press is the anchor of a size as well: the border then keeps its distance to the cursor
    // from the first move on.
    Anchor = TPoint{X, Y};
    if (DragIsMove) {
        DrawDragFrame(DragRect.Left, DragRect.Top);
        return;
    }
    MinHeight = Form->Constraints()->MinHeight();
    MinWidth = Form->Constraints()->MinWidth();
    DragRect.Bottom = DragRect.Top + Form->Height();
    DragRect.Right = DragRect.Left + Form->Width();
    DrawDragFrame(DragRect.Left, DragRect.Top);
}

void TsSkinProvider::TrackBorderDrag(int X, int Y) {
    if (DragIsMove) {
        DragStarting = false;
        if (!DragActive)
            return;
        DrawDragFrame(DragRect.Left, DragRect.Top);
        DragRect.Left += X - Anchor.X;
        DragRect.Top += Y - Anchor.Y;
        Anchor = TPoint{X, Y};
        DrawDragFrame(DragRect.Left, DragRect.Top);
        return;
    }
    DragStarting = false;
    if (!DragActive)
        return;
    DrawDragFrame(DragRect.Left, DragRect.Top);
    const int FL = Form->Left(), FT = Form->Top(), FW = Form->Width(), FH = Form->Height();
    const int DX = X - Anchor.X, DY = Y - Anchor.Y;
    auto SizeLeft = [&] { DragRect.Left = std::min<int>(FL + DX, DragRect.Right - MinWidth); };
    auto SizeRight = [&] { DragRect.Right = std::max<int>(FL + FW + DX, FL + MinWidth); };
    auto SizeTop = [&] { DragRect.Top = std::min<int>(FT + DY, DragRect.Bottom - MinHeight); };
    auto SizeBottom = [&] { DragRect.Bottom = std::max<int>(FT + FH + DY, FT + MinHeight); };
    switch (DragHitCode) {
        case HTLEFT:
            SizeLeft();
            break;
        case HTRIGHT:
            SizeRight();
            break;
        case HTTOP:
            SizeTop();
            break;
        case HTTOPLEFT:
            SizeTop();
            SizeLeft();
            break;
        case HTTOPRIGHT:
            SizeTop();
            SizeRight();
            break;
        case HTBOTTOM:
            SizeBottom();
            break;
        case HTBOTTOMLEFT:
            SizeBottom();
            SizeLeft();
            break;
        default:
            SizeBottom();
            SizeRight();
            break;
    }
    DrawDragFrame(DragRect.Left, DragRect.Top);
}

void TsSkinProvider::EndBorderDrag() {
    ReleaseCapture();
    if (DragActive) {
        DragActive = false;
        DrawDragFrame(DragRect.Left, DragRect.Top);
        RestoreDC(DesktopDC, SavedDCState);
        ReleaseDC(DesktopWnd, DesktopDC);
        DesktopDC = nullptr;
        DesktopWnd = nullptr;
        HWND H = Form->Handle();
        if (DragIsMove)
            MoveWindow(H, DragRect.Left, DragRect.Top, Form->Width(), Form->Height(), TRUE);
        else if (!DragStarting)
            MoveWindow(H, DragRect.Left, DragRect.Top, DragRect.Right - DragRect.Left, DragRect.Bottom - DragRect.Top,
                       TRUE);
    }
    DragStarting = false;
    DragHitCode = 0;
}

// The Clipboard unit: one process-wide clipboard object for text and pictures.
//
// CF_PICTURE is no real clipboard format: asking HasFormat(CF_PICTURE) asks whether the clipboard
// holds any format a registered graphic class reads (TPicture::RegisterClipboardFormat). Pictures
// go in and out through Assign: Clipboard()->Assign(Picture) puts the picture's graphic on the
// clipboard, Picture->Assign(Clipboard()) reads the first picture format the clipboard holds.
#pragma once

#include "Classes.h"
#include "Picture.h"

#include <windows.h>

#include <string>

// The class library's picture format number, registered with the system on first use.
extern const Word& CF_PICTURE;

class TClipboard : public TPersistent {
    DECLARE_CLASS(TClipboard, TPersistent)
public:
    TClipboard() = default;
    ~TClipboard() override;

    // Nested: only the outermost Open opens the system clipboard (owned by the application's
    // window) and the matching Close closes it.
    void Open();
    void Close();
    void Clear();
    bool HasFormat(Word Format);
    HANDLE GetAsHandle(Word Format);
    // The clipboard takes Data over.
    void SetAsHandle(Word Format, HANDLE Data);
    std::string AsText();
    void SetAsText(const std::string& Value);

    // A picture or graphic is put on the clipboard (after emptying it); anything else raises.
    void Assign(TPersistent* Source) override;

protected:
    // Into a picture or a bitmap.
    void AssignTo(TPersistent* Dest) override;

private:
    void AssignGraphic(TGraphic* Graphic);
    void AssignToPicture(TPicture* Picture);
    void AssignToBitmap(TBitmap* Bitmap);
    int FOpenRefCount = 0;
    bool FEmptied = false;
};

// The clipboard object, created on first use and freed at shut-down.
TClipboard* Clipboard();
// Frees the clipboard object (the program's shut-down; tests need not call it).
void FreeClipboard();

// File dialogs: open and save a file through the system's common dialogs, and the picture
// dialogs whose filter lists the registered picture formats.
//
// Every file dialog is shown through the message presenter (Dialogs.h), so that a test answers it
// with a file name, or with a cancel, without a window.
#pragma once

#include "Classes.h"
#include "Dialogs.h"

#include <string>

class TOpenDialog : public TComponent {
    DECLARE_CLASS(TOpenDialog, TComponent)
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

    // Shown through the presenter; true when the user chose a file.
    virtual bool Execute();
    virtual bool IsSaveDialog() const { return false; }

    // "Description|*.ext|..." as the common dialog's filter pairs.
    std::string Filter;
    int FilterIndex = 1;
    std::string FileName;
    // Added to a typed name without an extension (no dot).
    std::string DefaultExt;
    std::string InitialDir;
    std::string Title;
};

class TSaveDialog : public TOpenDialog {
    DECLARE_CLASS(TSaveDialog, TOpenDialog)
public:
    using TOpenDialog::TOpenDialog;
    bool IsSaveDialog() const override { return true; }
};

// Filters start as the picture formats registered for any graphic class.
class TOpenPictureDialog : public TOpenDialog {
    DECLARE_CLASS(TOpenPictureDialog, TOpenDialog)
public:
    explicit TOpenPictureDialog(TComponent* AOwner);
};

class TSavePictureDialog : public TSaveDialog {
    DECLARE_CLASS(TSavePictureDialog, TSaveDialog)
public:
    explicit TSavePictureDialog(TComponent* AOwner);
};

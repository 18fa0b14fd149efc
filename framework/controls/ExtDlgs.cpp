#include "ExtDlgs.h"

#include "Forms.h"
#include "Picture.h"

#include <commdlg.h>

#include <vector>

bool TOpenDialog::Execute() { return MessagePresenter().ExecuteFileDialog(this); }

bool TMessagePresenter::ExecuteFileDialog(TOpenDialog* Dialog) {
    // The common dialog wants its filter as NUL-separated pairs ending in two NULs.
    std::string Filter = Dialog->Filter;
    for (char& C : Filter)
        if (C == '|')
            C = '\0';
    Filter.append(2, '\0');
    std::vector<char> Name(MAX_PATH * 4, '\0');
    Dialog->FileName.copy(Name.data(), Name.size() - 1);
    OPENFILENAMEA Ofn{};
    Ofn.lStructSize = sizeof Ofn;
    Ofn.hwndOwner = Screen && Screen->ActiveForm() ? Screen->ActiveForm()->Handle()
                                                    : (Application ? Application->Handle() : nullptr);
    Ofn.lpstrFilter = Dialog->Filter.empty() ? nullptr : Filter.c_str();
    Ofn.nFilterIndex = static_cast<DWORD>(Dialog->FilterIndex);
    Ofn.lpstrFile = Name.data();
    Ofn.nMaxFile = static_cast<DWORD>(Name.size());
    Ofn.lpstrInitialDir = Dialog->InitialDir.empty() ? nullptr : Dialog->InitialDir.c_str();
    Ofn.lpstrTitle = Dialog->Title.empty() ? nullptr : Dialog->Title.c_str();
    Ofn.lpstrDefExt = Dialog->DefaultExt.empty() ? nullptr : Dialog->DefaultExt.c_str();
    Ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
                (Dialog->IsSaveDialog() ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL Chosen = Dialog->IsSaveDialog() ? GetSaveFileNameA(&Ofn) : GetOpenFileNameA(&Ofn);
    if (!Chosen)
        return false;
    Dialog->FileName = Name.data();
    Dialog->FilterIndex = static_cast<int>(Ofn.nFilterIndex);
    return true;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
    Filter = GraphicFilter(TGraphic::StaticClass());
}

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner) {
    Filter = GraphicFilter(TGraphic::StaticClass());
}

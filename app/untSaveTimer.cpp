#include "untSaveTimer.h"

#include "Registry.h"
#include "untMyDialog.h"
#include "untSetting.h"

TfrmSaveTimer* frmSaveTimer = nullptr;

namespace {
constexpr const char* PlacementKey = "frmSaveTimer";
constexpr int DefaultMinutes = 15;
constexpr int MaxMinutes = 1440;
constexpr Cardinal MsPerMinute = 60000;
}  // namespace

void TfrmSaveTimer::DefineClass(TClassBuilder<TfrmSaveTimer>& B) {
    using T = TfrmSaveTimer;
    B.Field("lblTimer", &T::lblTimer);
    B.Field("seTimer", &T::seTimer);
    B.Field("btnSave", &T::btnSave);
    B.Field("BitBtn1", &T::BitBtn1);
    B.Field("siLang1", &T::siLang1);
    B.Method<&T::FormShow>("FormShow");
    B.Method<&T::btnSaveClick>("btnSaveClick");
    B.Method<&T::BitBtn1Click>("BitBtn1Click");
    B.Method<&T::FormClose>("FormClose");
}

void TfrmSaveTimer::BeforeDestruction() {
    if (frmSaveTimer == this)
        frmSaveTimer = nullptr;
    TForm::BeforeDestruction();
}

void TfrmSaveTimer::SaveForClose() { SaveDialogPlacement(this, PlacementKey, false); }

void TfrmSaveTimer::LoadForClose() { LoadDialogPlacement(this, PlacementKey, false); }

void TfrmSaveTimer::FormShow(TObject*) {
    if (frmSetting)
        seTimer->SetValue(static_cast<int>(frmSetting->tmThreadTimerBackup->Interval() / MsPerMinute));
    LoadForClose();
}

void TfrmSaveTimer::btnSaveClick(TObject*) {
    // The box's value is read, not clamped: a typed text outside the range would give the timer a
    // wrapped or zero interval, so it is brought into 1 .. 1440 as well (0 and less mean the default).
    int Minutes = seTimer->GetValue();
    if (Minutes <= 0)
        Minutes = DefaultMinutes;
    if (Minutes > MaxMinutes)
        Minutes = MaxMinutes;
    seTimer->SetValue(Minutes);
    if (frmSetting) {
        TTimer* Timer = frmSetting->tmThreadTimerBackup;
        // Stopping and starting again restarts the count: the next tick is a whole interval away.
        Timer->SetEnabled(false);
        Timer->SetInterval(static_cast<Cardinal>(Minutes) * MsPerMinute);
        Timer->SetEnabled(true);
    }
    {
        TRegistry R;
        if (R.OpenKey(ProgramRegKey, true))
            R.WriteString("Interval", IntToStr(Minutes));
    }
    if (frmSetting)
        frmSetting->sbBar->Panels()->Items(1)->SetText("Timer: every " + IntToStr(Minutes) + " min");
    Close();
}

void TfrmSaveTimer::BitBtn1Click(TObject*) { Close(); }

void TfrmSaveTimer::FormClose(TObject*, TCloseAction& Action) {
    SaveForClose();
    Action = caFree;
    if (frmSaveTimer == this)
        frmSaveTimer = nullptr;
}

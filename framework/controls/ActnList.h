// The ActnList unit: actions with a caption and a hint, which the controls that show them take over.
// The program declares none; the class exists so that controls publish Action and the localisation
// engine can compare a control's texts with its action's.
#pragma once

#include "Classes.h"

#include <string>

class TCustomAction : public TBasicAction {
    DECLARE_CLASS(TCustomAction, TBasicAction)
public:
    explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    static void DefineClass(TClassBuilder<TCustomAction>& B);

    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    std::string Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }

private:
    std::string FCaption;
    std::string FHint;
};

class TAction : public TCustomAction {
    DECLARE_CLASS(TAction, TCustomAction)
public:
    using TCustomAction::TCustomAction;
};

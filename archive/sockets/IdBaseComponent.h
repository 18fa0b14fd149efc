// The base component of the socket library: its set-up runs once the component is constructed.
#pragma once

#include "Classes.h"

class TIdInitializerComponent : public TComponent {
    DECLARE_CLASS(TIdInitializerComponent, TComponent)
public:
    explicit TIdInitializerComponent(TComponent* AOwner) : TComponent(AOwner) {}
    void AfterConstruction() override {
        TComponent::AfterConstruction();
        SetUpComponent();
    }

protected:
    virtual void SetUpComponent() {}
};

class TIdBaseComponent : public TIdInitializerComponent {
    DECLARE_CLASS(TIdBaseComponent, TIdInitializerComponent)
public:
    using TIdInitializerComponent::TIdInitializerComponent;
};

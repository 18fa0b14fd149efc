// Persistent objects, components, collections, streams and component streaming.
#pragma once

#include "Streams.h"
#include "SysUtils.h"
#include "System.h"

class TFiler;

// An object that can copy itself from another and take part in component streaming.
class TPersistent : public TObject {
    DECLARE_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    // Asks Source->AssignTo(this); the base raises EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(TPersistent* Source);
    virtual std::string GetNamePath();

protected:
    virtual void AssignTo(TPersistent* Dest);
    virtual void DefineProperties(TFiler& Filer);
    virtual TPersistent* GetOwner() { return nullptr; }

    friend class TFiler;
};


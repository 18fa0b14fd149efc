// The decoder base: what a decoder writes goes to the output stream given when decoding starts.
#pragma once

#include "IdBaseComponent.h"

class TIdDecoder : public TIdBaseComponent {
    DECLARE_CLASS(TIdDecoder, TIdBaseComponent)
public:
    using TIdBaseComponent::TIdBaseComponent;
    virtual void StartDecoding(TStream* Stream) { FStream = Stream; }
    virtual void FinishDecoding() { FStream = nullptr; }
    virtual void DecodeInput(TStream* Input, Int64 Length = -1) = 0;

protected:
    TStream* FStream = nullptr;  // not owned
};

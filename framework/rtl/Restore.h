// A variable put back to the value it had when the scope ends, whether by return or by exception:
// flags that say "inside this operation" and settings an operation changes for its own duration.
#pragma once

#include <utility>

template <class T>
class TRestore {
public:
    explicit TRestore(T& Ref) : FRef(Ref), FSaved(Ref) {}
    // Sets Ref to Value for the scope.
    TRestore(T& Ref, T Value) : FRef(Ref), FSaved(std::exchange(Ref, std::move(Value))) {}
    ~TRestore() { FRef = std::move(FSaved); }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FRef;
    T FSaved;
};

// The filter operators and their shared instances.
#include "dxFilter.h"

#include "SysUtils.h"

bool TdxNullOperator::Evaluate(const Variant& A, const Variant&) {
    return A.IsNull() || (VarIsStr(A) && VarToStr(A).empty());
}

bool TdxGreaterOperator::Evaluate(const Variant& A, const Variant& B) { return CompareFilterValues(A, B) > 0; }
bool TdxLessOperator::Evaluate(const Variant& A, const Variant& B) { return CompareFilterValues(A, B) < 0; }
bool TdxGreaterEqualOperator::Evaluate(const Variant& A, const Variant& B) { return CompareFilterValues(A, B) >= 0; }
bool TdxLessEqualOperator::Evaluate(const Variant& A, const Variant& B) { return CompareFilterValues(A, B) <= 0; }

int CompareFilterValues(const Variant& A, const Variant& B) {
    try {
        if (A == B)
            return 0;
        if (A.IsNull())
            return -1;
        if (B.IsNull())
            return 1;
        return A < B ? -1 : 1;
    } catch (const EVariantError&) {
        return -1;
    }
}

namespace {
TdxAbstractOperator* Operators[dxFilterOperatorCount] = {};
int StartCount = 0;
}  // namespace

TdxAbstractOperator* dxFilterOperator(int Index) {
    return Index >= 0 && Index < dxFilterOperatorCount ? Operators[Index] : nullptr;
}

void dxFilterInitialization() {
    if (StartCount++ > 0)
        return;
    Operators[0] = Create<TdxNullOperator>();
    Operators[1] = Create<TdxEqualOperator>();
    Operators[2] = Create<TdxGreaterOperator>();
    Operators[3] = Create<TdxLessOperator>();
    Operators[4] = Create<TdxGreaterEqualOperator>();
    Operators[5] = Create<TdxLessEqualOperator>();
}

void dxFilterFinalization() {
    if (--StartCount > 0)
        return;
    for (TdxAbstractOperator*& Op : Operators)
        FreeAndNil(Op);
}

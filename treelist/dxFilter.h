// Filter operators: one shared instance per comparison a filter condition may apply to a cell
// value (A) and a filter value (B). The filter editors and column kinds hand out these instances.
#pragma once

#include "Classes.h"
#include "Variants.h"

#include <string>

class TdxAbstractOperator : public TObject {
    DECLARE_CLASS(TdxAbstractOperator, TObject)
public:
    virtual bool Evaluate(const Variant& A, const Variant& B) = 0;
    virtual void GetDisplayText(std::string& Text) = 0;
};

// True for Null and for an empty string; B is not used.
class TdxNullOperator : public TdxAbstractOperator {
    DECLARE_CLASS(TdxNullOperator, TdxAbstractOperator)
public:
    bool Evaluate(const Variant& A, const Variant& B) override;
    void GetDisplayText(std::string& Text) override { Text = "Is Null"; }
};

// Variant equality; values that cannot be compared raise the variant error to the caller.
class TdxEqualOperator : public TdxAbstractOperator {
    DECLARE_CLASS(TdxEqualOperator, TdxAbstractOperator)
public:
    bool Evaluate(const Variant& A, const Variant& B) override { return A == B; }
    void GetDisplayText(std::string& Text) override { Text = "="; }
};

class TdxGreaterOperator : public TdxAbstractOperator {
    DECLARE_CLASS(TdxGreaterOperator, TdxAbstractOperator)
public:
    bool Evaluate(const Variant& A, const Variant& B) override;
    void GetDisplayText(std::string& Text) override { Text = ">"; }
};

class TdxLessOperator : public TdxAbstractOperator {
    DECLARE_CLASS(TdxLessOperator, TdxAbstractOperator)
public:
    bool Evaluate(const Variant& A, const Variant& B) override;
    void GetDisplayText(std::string& Text) override { Text = "<"; }
};

class TdxGreaterEqualOperator : public TdxAbstractOperator {
    DECLARE_CLASS(TdxGreaterEqualOperator, TdxAbstractOperator)
public:
    bool Evaluate(const Variant& A, const Variant& B) override;
    void GetDisplayText(std::string& Text) override { Text = ">="; }
};

class TdxLessEqualOperator : public TdxAbstractOperator {
    DECLARE_CLASS(TdxLessEqualOperator, TdxAbstractOperator)
public:
    bool Evaluate(const Variant& A, const Variant& B) override;
    void GetDisplayText(std::string& Text) override { Text = "<="; }
};

// The ordering of the four ordering operators: 0 when equal, Null before every value, else -1 or
// 1 by variant comparison; a pair that cannot be compared counts as less (-1). Other exceptions
// pass on.
int CompareFilterValues(const Variant& A, const Variant& B);

// The shared instances, in the order null, =, >, <, >=, <= (nil before start-up).
constexpr int dxFilterOperatorCount = 6;
TdxAbstractOperator* dxFilterOperator(int Index);

// Unit start-up creates the six operators; shut-down frees them.
void dxFilterInitialization();
void dxFilterFinalization();

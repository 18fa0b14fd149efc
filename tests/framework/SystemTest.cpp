// Class records, checked casts, message tables and methods of object.
#include "SysUtils.h"
#include "System.h"

#include <gtest/gtest.h>

namespace {

class TShape : public TObject {
    DECLARE_CLASS(TShape, TObject)
public:
    struct TMetaClass : TObject::TMetaClass {
        using TObject::TMetaClass::TMetaClass;
        virtual std::string Kind() const { return "shape"; }
    };
    static void DefineClass(TClassBuilder<TShape>& B) { B.Message<&TShape::WMSize>(WM_SIZE); }
    void WMSize(TMessage& M) { M.Result = 10; }
    void DefaultHandler(TMessage& M) override { M.Result = -1; }
};

class TCircle : public TShape {
    DECLARE_CLASS(TCircle, TShape)
public:
    struct TMetaClass : TShape::TMetaClass {
        using TShape::TMetaClass::TMetaClass;
        std::string Kind() const override { return "circle"; }
    };
    static void DefineClass(TClassBuilder<TCircle>& B) { B.Message<&TCircle::WMPaint>(WM_PAINT); }
    void WMPaint(TMessage& M) {
        M.Result = 20;
        InheritedDispatch(TCircle::StaticClass(), M);  // no ancestor handler: default handler
    }
    int Constructed = 0;
    void AfterConstruction() override { ++Constructed; }
};

class TSquare : public TShape {
    DECLARE_CLASS(TSquare, TShape)
};

}  // namespace

TEST(System, ClassRecordsNameParentAndInheritance) {
    TClass C = TCircle::StaticClass();
    EXPECT_EQ(C->ClassName(), "TCircle");
    EXPECT_EQ(C->ClassParent(), TShape::StaticClass());
    EXPECT_EQ(TShape::StaticClass()->ClassParent(), TObject::StaticClass());
    EXPECT_TRUE(C->InheritsFrom(TShape::StaticClass()));
    EXPECT_TRUE(C->InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(C));
    EXPECT_EQ(TCircle::StaticClass(), C) << "one record per class";
}

TEST(System, VirtualConstructorAndClassFunctionsThroughAReference) {
    TClass Classes[] = {TShape::StaticClass(), TCircle::StaticClass(), TSquare::StaticClass()};
    const char* Kinds[] = {"shape", "circle", "shape"};
    for (int I = 0; I < 3; ++I) {
        auto* Meta = static_cast<const TShape::TMetaClass*>(Classes[I]);
        EXPECT_EQ(Meta->Kind(), Kinds[I]);
        TOwned<TObject> Obj(Classes[I]->CreateInstance());
        EXPECT_EQ(Obj->ClassType(), Classes[I]);
        EXPECT_EQ(Obj->ClassName(), Classes[I]->ClassName());
    }
    TOwned<TObject> Obj(TCircle::StaticClass()->CreateInstance());
    EXPECT_EQ(static_cast<TCircle*>(Obj.get())->Constructed, 1) << "AfterConstruction runs once";
}

TEST(System, ClassReferencesAsValues) {
    using TShapeClass = TClassOf<TShape>;
    std::vector<TShapeClass> Registry = {TShapeClass::Of<TCircle>(), TShape::StaticClass()};
    EXPECT_EQ(Registry[0]->Kind(), "circle") << "a class function through the reference";
    EXPECT_EQ(Registry[1]->Kind(), "shape");
    TOwned<TShape> S(Registry[0].Create());
    EXPECT_EQ(S->ClassName(), "TCircle");
    EXPECT_TRUE(Registry[0] == TCircle::StaticClass());
    EXPECT_FALSE(TShapeClass());
    EXPECT_THROW(TShapeClass(TObject::StaticClass()), EInvalidCast);
}

TEST(System, CheckedCastRaisesInvalidCast) {
    TOwned<TObject> Obj(Create<TSquare>());
    EXPECT_NE(As<TShape>(Obj.get()), nullptr);
    EXPECT_EQ(DynCast<TCircle>(Obj.get()), nullptr);
    EXPECT_EQ(As<TCircle>(nullptr), nullptr);
    try {
        As<TCircle>(Obj.get());
        FAIL() << "no exception";
    } catch (const EInvalidCast& E) {
        EXPECT_EQ(E.Message(), "Invalid class typecast");
        EXPECT_EQ(E.ClassName(), "EInvalidCast");
    }
}

TEST(System, DispatchSearchesOwnThenAncestorTablesThenDefault) {
    TOwned<TCircle> C(Create<TCircle>());
    struct Case {
        UINT Msg;
        LRESULT Result;
    } Cases[] = {{WM_SIZE, 10}, {WM_PAINT, -1}, {WM_USER + 5, -1}};
    for (auto& K : Cases) {
        TMessage M{K.Msg, 0, 0, 0};
        C->Dispatch(M);
        EXPECT_EQ(M.Result, K.Result) << K.Msg;
    }
}

TEST(System, MessageTableHasThePlatformLayoutAndSwapsActAtOnce) {
    Word* Table = TShape::StaticClass()->DynamicTable();
    ASSERT_NE(Table, nullptr);
    ASSERT_EQ(Table[0], 1);
    EXPECT_EQ(Table[1], WM_SIZE);
    TMessageHandler Original;
    std::memcpy(&Original, &Table[2], sizeof Original);
    TMessageHandler Swapped = [](TObject*, TMessage& M) { M.Result = 99; };
    std::memcpy(&Table[2], &Swapped, sizeof Swapped);
    TOwned<TSquare> S(Create<TSquare>());
    TMessage M{WM_SIZE, 0, 0, 0};
    S->Dispatch(M);
    EXPECT_EQ(M.Result, 99);
    std::memcpy(&Table[2], &Original, sizeof Original);
    S->Dispatch(M);
    EXPECT_EQ(M.Result, 10);
    EXPECT_EQ(TSquare::StaticClass()->DynamicTable(), nullptr) << "a class without handlers has no table";
}

TEST(System, ReplacedOwnHandlerActsAtOnceAndNoHandlerIsAdded) {
    TMessageHandler Swapped = [](TObject*, TMessage& M) { M.Result = 99; };
    TMessageHandler Original = TShape::StaticClass()->ReplaceMessageHandler(WM_SIZE, Swapped);
    ASSERT_NE(Original, nullptr);
    TOwned<TSquare> S(Create<TSquare>());
    TMessage M{WM_SIZE, 0, 0, 0};
    S->Dispatch(M);
    EXPECT_EQ(M.Result, 99) << "descendants reach the replacement";
    EXPECT_EQ(TShape::StaticClass()->ReplaceMessageHandler(WM_SIZE, Original), Swapped);
    S->Dispatch(M);
    EXPECT_EQ(M.Result, 10);
    EXPECT_EQ(TShape::StaticClass()->ReplaceMessageHandler(WM_PAINT, Swapped), nullptr);
    TMessage Paint{WM_PAINT, 0, 0, 0};
    S->Dispatch(Paint);
    EXPECT_EQ(Paint.Result, -1) << "a message without an own handler stays with the default";
}

namespace {
struct TReceiver : TObject {
    int Count = 0;
    TObject* Last = nullptr;
    void OnThing(TObject* Sender) {
        ++Count;
        Last = Sender;
    }
    void OnOther(TObject*) {}
};
}  // namespace

TEST(System, MethodsOfObjectCompareByObjectAndMember) {
    TReceiver A, B;
    TNotifyEvent Empty;
    EXPECT_FALSE(Empty.Assigned());
    Empty(nullptr);  // an empty event does nothing
    auto E1 = TNotifyEvent::Bind<&TReceiver::OnThing>(&A);
    auto E2 = TNotifyEvent::Bind<&TReceiver::OnThing>(&A);
    auto E3 = TNotifyEvent::Bind<&TReceiver::OnThing>(&B);
    auto E4 = TNotifyEvent::Bind<&TReceiver::OnOther>(&A);
    EXPECT_TRUE(E1 == E2);
    EXPECT_FALSE(E1 == E3);
    EXPECT_FALSE(E1 == E4);
    E1(&B);
    EXPECT_EQ(A.Count, 1);
    EXPECT_EQ(A.Last, &B);
    int Calls = 0;
    auto F = TNotifyEvent::FromFunction([&](TObject*) { ++Calls; });
    F(nullptr);
    EXPECT_EQ(Calls, 1);
    EXPECT_TRUE(F == F);
    EXPECT_FALSE(F == TNotifyEvent::FromFunction([](TObject*) {}));
}

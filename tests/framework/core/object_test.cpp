#include "framework/core/object.h"

#include <gtest/gtest.h>

#include <memory>

using namespace framework;

namespace {

// Shape is never made by name; Circle and Square are. Shape declares Width, Circle Radius.
class Shape : public Object {
    FRAMEWORK_CLASS()
public:
    void SetWidth(int32_t) {}
};
class Circle : public Shape {
    FRAMEWORK_CLASS()
public:
    void SetRadius(double) {}
};
class Square : public Shape {
    FRAMEWORK_CLASS()
};

const ClassRecord &Shape::Record() {
    static const ClassRecord record{"ObjTestShape",
                                    nullptr,
                                    {},
                                    {MakeProperty("Width", PropertyType::Int32, &Shape::SetWidth)}};
    RegisterClass(record);
    return record;
}
const ClassRecord &Circle::Record() {
    static const ClassRecord record{
        "ObjTestCircle",
        &Shape::Record(),
        [] { return std::make_shared<Circle>(); },
        {MakeProperty("Radius", PropertyType::Double, &Circle::SetRadius)}};
    RegisterClass(record);
    return record;
}
const ClassRecord &Square::Record() {
    static const ClassRecord record{
        "ObjTestSquare", &Shape::Record(), [] { return std::make_shared<Square>(); }, {}};
    RegisterClass(record);
    return record;
}

class NewObject : public ::testing::Test {
protected:
    void TearDown() override { SetNewObjectFailureHook(nullptr); }
};

} // namespace

TEST(ClassRecord, IsAFollowsBasesAndIncludesItself) {
    const ClassRecord &circle = Circle::Record(), &square = Square::Record(),
                      &shape = Shape::Record();
    EXPECT_TRUE(circle.IsA(circle));
    EXPECT_TRUE(circle.IsA(shape));
    EXPECT_FALSE(shape.IsA(circle));
    EXPECT_FALSE(square.IsA(circle));
}

TEST(ClassRecord, FindPropertyIgnoresCaseAndSearchesBases) {
    const ClassRecord &circle = Circle::Record();
    EXPECT_EQ(circle.FindProperty("wIDTH"), &Shape::Record().properties[0]);
    EXPECT_EQ(circle.FindProperty("RADIUS"), &circle.properties[0]);
    EXPECT_EQ(Shape::Record().FindProperty("Radius"), nullptr);
    EXPECT_EQ(circle.FindProperty("Widt"), nullptr);
    EXPECT_EQ(circle.FindProperty("Widths"), nullptr);
}

TEST(ClassRegistry, FindsByExactNameAndKeepsTheFirstRecordUnderAName) {
    static const ClassRecord impostor{"ObjTestSquare", nullptr, {}, {}};
    RegisterClass(Square::Record());
    RegisterClass(impostor);
    EXPECT_EQ(FindClass("ObjTestSquare"), &Square::Record());
    EXPECT_EQ(FindClass("objtestsquare"), nullptr);
    EXPECT_EQ(FindClass("ObjTestNothing"), nullptr);
}

TEST_F(NewObject, GivesNilWithoutAFactoryOrForTheClassesTheHookFails) {
    ASSERT_NE(RuntimeNewObject(Circle::Record()), nullptr);
    EXPECT_EQ(&RuntimeNewObject(Circle::Record())->ClassInfo(), &Circle::Record());
    EXPECT_EQ(RuntimeNewObject(Shape::Record()), nullptr);
    SetNewObjectFailureHook([](const ClassRecord &c) { return &c == &Circle::Record(); });
    EXPECT_EQ(RuntimeNewObject(Circle::Record()), nullptr);
    EXPECT_NE(RuntimeNewObject(Square::Record()), nullptr);
    SetNewObjectFailureHook(nullptr);
    EXPECT_NE(RuntimeNewObject(Circle::Record()), nullptr);
}

TEST(ObjectCasts, CheckCastKeepsTheObjectRaisesForAnotherClassAndKeepsNil) {
    const ObjectRef circle = std::make_shared<Circle>();
    const ObjectRef square = std::make_shared<Square>();
    EXPECT_EQ(RuntimeCheckCast<Shape>(circle).get(), static_cast<Circle *>(circle.get()));
    EXPECT_THROW(RuntimeCheckCast<Circle>(square), IllegalCastException);
    EXPECT_THROW(RuntimeCheckCast<Circle>(std::make_shared<Shape>()), IllegalCastException);
    EXPECT_EQ(RuntimeCheckCast<Circle>(nullptr), nullptr);
    EXPECT_TRUE(RuntimeObjectIsa(circle, Shape::Record()));
    EXPECT_FALSE(RuntimeObjectIsa(square, Circle::Record()));
    EXPECT_FALSE(RuntimeObjectIsa(nullptr, Shape::Record()));
}

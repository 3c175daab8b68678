// Objects: deferred destruction, counting, Null, downcasts, handles and scratch buffers.
#include "runtime/Error.h"
#include "runtime/Handle.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstring>

#include <gtest/gtest.h>

namespace vanta {
namespace {

// Counts its destructions, and optionally holds another object.
class TProbe : public Object
{
    VANTA_CLASS(TProbe, Object)
public:
    explicit TProbe(int* deaths) : deaths_(deaths) {}
    ~TProbe() override { ++*deaths_; }

    Ref<Object> child;

private:
    int* deaths_;
};

class TSpecialProbe : public TProbe
{
    VANTA_CLASS(TSpecialProbe, TProbe)
public:
    using TProbe::TProbe;
};

class TUnrelated : public Object
{
    VANTA_CLASS(TUnrelated, Object)
public:
    TUnrelated() = default;
};

constexpr std::uint32_t PENDING = 0x80000000u;

TEST(ObjectLifetime, ANewObjectIsPendingWithCountZeroAndDiesAtTheNextFlush)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    TProbe* raw = New<TProbe>(&deaths).Get();
    EXPECT_EQ(ReleaseStackLevel(), level + 1);
    EXPECT_EQ(raw->CountWord(), PENDING);
    EXPECT_EQ(deaths, 0);
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(ReleaseStackLevel(), level);
}

TEST(ObjectLifetime, AHeldObjectSurvivesTheFlushAndDiesAtTheFlushAfterItsLastRelease)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    {
        Ref<TProbe> held = New<TProbe>(&deaths);
        FlushReleaseStack(level);
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(held->CountWord(), 1u) << "off the stack with one reference";
        EXPECT_EQ(ReleaseStackLevel(), level);
    }
    EXPECT_EQ(ReleaseStackLevel(), level + 1) << "the last release pushes it again";
    EXPECT_EQ(deaths, 0) << "releasing never destroys";
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 1);
}

TEST(ObjectLifetime, AnObjectRetainedAgainBeforeTheFlushSurvivesIt)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    Ref<TProbe> held = New<TProbe>(&deaths);
    FlushReleaseStack(level);
    TProbe* raw = held.Get();
    held = Null;
    EXPECT_EQ(ReleaseStackLevel(), level + 1);
    held = raw;
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(held->CountWord(), 1u);
    held = Null;
    EXPECT_EQ(ReleaseStackLevel(), level + 1) << "released to zero again, it is pushed again";
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 1);
}

TEST(ObjectLifetime, FlushingToTheCurrentLevelOrAboveDoesNothing)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    New<TProbe>(&deaths);
    FlushReleaseStack(level + 1);
    FlushReleaseStack(level + 50);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(ReleaseStackLevel(), level + 1);
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 1);
}

TEST(ObjectLifetime, DestroyingAnObjectReleasesItsFieldsInTheSameFlush)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    {
        Ref<TProbe> parent = New<TProbe>(&deaths);
        Ref<TProbe> child = New<TProbe>(&deaths);
        child->child = New<TProbe>(&deaths);
        parent->child = child;
        FlushReleaseStack(level);
        EXPECT_EQ(deaths, 0);
    }
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 3);
}

TEST(ObjectLifetime, TheStackGrowsPastItsFirstHundredEntries)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    for (int i = 0; i < 1000; ++i)
        New<TProbe>(&deaths);
    EXPECT_EQ(ReleaseStackLevel(), level + 1000);
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 1000);
}

TEST(ObjectLifetime, KeepingFlushesKeepTheirObjectsOnAFreshEntry)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    TProbe* kept = New<TProbe>(&deaths).Get();
    New<TProbe>(&deaths);
    EXPECT_EQ(FlushReleaseStackKeepingOne(level, kept), kept);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(ReleaseStackLevel(), level + 1);
    EXPECT_EQ(kept->CountWord(), PENDING);
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 2);
}

TEST(ObjectLifetime, ConstantObjectsKeepThePermanentCountAndAreNeverDestroyed)
{
    String* literal = "constant"_s;
    EXPECT_EQ(literal->CountWord(), 0x7FFFFFFFu);
    const int level = ReleaseStackLevel();
    {
        Ref<String> a = literal;
        Ref<String> b = a;
        EXPECT_EQ(literal->CountWord(), 0x80000001u) << "retains change the constant's count like any other";
    }
    EXPECT_EQ(literal->CountWord(), 0x7FFFFFFFu);
    EXPECT_EQ(ReleaseStackLevel(), level);
    EXPECT_EQ(NullObject()->CountWord(), 0x7FFFFFFFu);
}

TEST(Null, UsingNullAsAnObjectThrowsTheNullObjectError)
{
    Ref<TProbe> empty;
    EXPECT_TRUE(empty.IsNull());
    EXPECT_EQ(empty, Null);
    try {
        (void)empty->child;
        FAIL() << "reading a field of Null did not throw";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TNullObjectError>());
        EXPECT_STREQ(e.what(), "Attempt to access field or method of Null object");
    }
    EXPECT_THROW(NullObject()->ToString(), Exception);
    Object& null = *NullObject();
    EXPECT_THROW(null.Compare(null), Exception);
}

TEST(Null, AnEmptyReferenceAndANullPointerBothAreNull)
{
    Ref<Object> fromPointer = static_cast<Object*>(nullptr);
    EXPECT_EQ(fromPointer.Raw(), NullObject());
    Ref<Object> moved = New<TUnrelated>();
    Ref<Object> target = std::move(moved);
    EXPECT_TRUE(moved.IsNull());
    EXPECT_FALSE(target.IsNull());
}

TEST(Downcast, FollowsTheClassChain)
{
    int deaths = 0;
    Ref<Object> special = New<TSpecialProbe>(&deaths);
    EXPECT_EQ(Downcast<TSpecialProbe>(special), special);
    EXPECT_EQ(Downcast<TProbe>(special), special);
    EXPECT_EQ(Downcast<Object>(special), special);
    EXPECT_TRUE(Downcast<TUnrelated>(special).IsNull());
    EXPECT_TRUE(Downcast<TSpecialProbe>(Ref<Object>(New<TProbe>(&deaths))).IsNull());
    EXPECT_TRUE(Downcast<Object>(Ref<Object>()).IsNull()) << "Null has no class";
    EXPECT_EQ(Downcast(special, classRecordOf<TProbe>), special);
    EXPECT_TRUE(Downcast(special, classRecordOf<TUnrelated>).IsNull());
}

TEST(ClassRecord, RecordsBaseNameAndSize)
{
    EXPECT_EQ(classRecordOf<Object>.base, nullptr);
    EXPECT_STREQ(classRecordOf<Object>.name, "Object");
    EXPECT_STREQ(classRecordOf<String>.name, "String");
    EXPECT_EQ(classRecordOf<TSpecialProbe>.base, &classRecordOf<TProbe>);
    EXPECT_EQ(classRecordOf<TProbe>.name, nullptr) << "only the runtime's own classes are named";
    EXPECT_EQ(classRecordOf<TProbe>.instanceSize, sizeof(TProbe));
}

TEST(ObjectSlots, PlainObjectsPrintTheirAddressAndCompareByIt)
{
    Ref<Object> a = New<TUnrelated>();
    Ref<Object> b = New<TUnrelated>();
    char expected[32];
    std::snprintf(expected, sizeof expected, "%016jX",
                  static_cast<std::uintmax_t>(reinterpret_cast<std::uintptr_t>(a.Raw())));
    EXPECT_STREQ(a->ToString()->ToCString(), expected);
    EXPECT_EQ(a->Compare(*a), 0);
    const int ab = a->Compare(*b);
    EXPECT_NE(ab, 0);
    EXPECT_EQ(ab < 0, a.Raw() < b.Raw());
    EXPECT_EQ(b->Compare(*a), -ab);
    EXPECT_TRUE(a->Message(b, b).IsNull());
}

TEST(ObjectSlots, ReservedSlotsThrowTheirText)
{
    Ref<Object> object = New<TUnrelated>();
    for (auto slot : {&Object::Reserved1, &Object::Reserved2, &Object::Reserved3}) {
        try {
            ((*object).*slot)();
            FAIL() << "a reserved slot returned";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Is<String>()) << "the text itself is thrown";
            EXPECT_STREQ(e.what(), "Illegal call to reserved method");
        }
    }
}

TEST(Handles, OneHandlePerObjectHoldingOneReference)
{
    int deaths = 0;
    const int level = ReleaseStackLevel();
    Ref<TProbe> probe = New<TProbe>(&deaths);
    const std::int32_t handle = ObjectToHandle(probe);
    EXPECT_GT(handle, 0);
    EXPECT_EQ(ObjectToHandle(probe), handle);
    EXPECT_EQ(probe->CountWord(), PENDING | 2u) << "the tables retain once, however often asked";
    EXPECT_EQ(HandleToObject(handle), probe);
    EXPECT_EQ(HandleToObject<TProbe>(handle), probe);
    EXPECT_TRUE(HandleToObject<TUnrelated>(handle).IsNull());

    TProbe* raw = probe.Get();
    probe = Null;
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 0) << "the handle keeps the object";
    EXPECT_EQ(raw->CountWord(), 1u);

    ReleaseHandle(handle);
    EXPECT_TRUE(HandleToObject(handle).IsNull());
    FlushReleaseStack(level);
    EXPECT_EQ(deaths, 1);
}

TEST(Handles, AreIssuedInOrderAndNeverZero)
{
    Ref<Object> a = New<TUnrelated>();
    Ref<Object> b = New<TUnrelated>();
    const std::int32_t ha = ObjectToHandle(a);
    const std::int32_t hb = ObjectToHandle(b);
    EXPECT_EQ(hb, ha + 1);
    EXPECT_EQ(ObjectToHandle(Null), 0);
    EXPECT_TRUE(HandleToObject(0).IsNull());
    EXPECT_TRUE(HandleToObject(hb + 1000).IsNull());
    EXPECT_TRUE(HandleToObject(-3).IsNull());
    ReleaseHandle(hb + 1000);
    ReleaseHandle(-3);
    ReleaseHandle(0);
    ReleaseHandle(ha);
    ReleaseHandle(ha);
    EXPECT_EQ(HandleToObject(hb), b);
    ReleaseHandle(hb);
}

TEST(Handles, ManyObjectsSharingBucketsStayDistinct)
{
    std::vector<std::pair<std::int32_t, Ref<Object>>> named;
    for (int i = 0; i < 3000; ++i) {
        Ref<Object> object = New<TUnrelated>();
        named.emplace_back(ObjectToHandle(object), object);
    }
    for (auto& [handle, object] : named)
        EXPECT_EQ(HandleToObject(handle), object);
    for (auto& [handle, object] : named)
        ReleaseHandle(handle);
    for (auto& [handle, object] : named)
        EXPECT_TRUE(HandleToObject(handle).IsNull());
}

TEST(TempBuffer, LivesUntilTheNextFlush)
{
    const int level = ReleaseStackLevel();
    const std::int64_t inUse = MemoryInUse();
    auto* bytes = static_cast<char*>(TempBuffer(100));
    std::memset(bytes, 'x', 100);
    EXPECT_GT(MemoryInUse(), inUse + 100);
    EXPECT_EQ(ReleaseStackLevel(), level + 1);
    FlushReleaseStack(level);
    EXPECT_EQ(MemoryInUse(), inUse);
}

} // namespace
} // namespace vanta

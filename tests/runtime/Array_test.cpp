// Arrays: initial values, dimensions, slicing, raw data, bounds and sorting.
#include "runtime/Array.h"
#include "runtime/Error.h"
#include "runtime/String.h"

#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

template <class T>
std::vector<T> Elements(const Ref<Array>& array)
{
    const T* data = array->DataAs<T>();
    return std::vector<T>(data, data + array->Length());
}

std::vector<std::u16string> Texts(const Ref<Array>& array)
{
    std::vector<std::u16string> texts;
    for (std::int32_t i = 0; i < array->Length(); ++i) {
        texts.emplace_back(Downcast<String>(array->ObjectAt(i))->View());
    }
    return texts;
}

TEST(NewArray, ElementsStartAtTheirTypesInitialValue)
{
    Ref<Array> strings = NewArray("$", 3);
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(strings->ObjectAt(i).Raw(), EmptyString());
    Ref<Array> objects = NewArray(":Object", 2);
    EXPECT_TRUE(objects->ObjectAt(0).IsNull());
    EXPECT_TRUE(objects->ObjectAt(1).IsNull());
    Ref<Array> arrays = NewArray("[i", 1);
    EXPECT_EQ(arrays->ObjectAt(0).Raw(), EmptyArray());
    Ref<Array> doubles = NewArray("d", 4);
    EXPECT_EQ(Elements<double>(doubles), std::vector<double>(4, 0.0));
    EXPECT_EQ(doubles->ElementSize(), 8);
    EXPECT_EQ(NewArray("?", 2)->ElementSize(), 4) << "an unknown tag is a 4-byte number";
}

TEST(NewArray, UninitialisedFunctionPointersThrowWhenCalled)
{
    Ref<Array> functions = NewArray("(", 2);
    try {
        functions->At<FunctionPointer>(1)();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TNullFunctionError>());
        EXPECT_STREQ(e.what(), "Attempt to call uninitialized function pointer");
    }
}

TEST(NewArray, NoElementsGivesTheEmptyArray)
{
    EXPECT_EQ(NewArray("b", 0).Raw(), EmptyArray());
    EXPECT_EQ(NewArray("b", -3).Raw(), EmptyArray());
    EXPECT_EQ(NewArrayDims("i", {3, 0}).Raw(), EmptyArray());
    EXPECT_EQ(EmptyArray()->Length(), 0);
    EXPECT_EQ(EmptyArray()->Type(), nullptr);
}

TEST(NewArrayDims, KeepsRunningProductsOfTheSizes)
{
    Ref<Array> grid = NewArrayDims("i", {3, 4});
    EXPECT_EQ(grid->Dims(), 2);
    EXPECT_EQ(grid->Extent(0), 12);
    EXPECT_EQ(grid->Extent(1), 4);
    EXPECT_EQ(grid->Length(), 12);
    EXPECT_EQ(grid->DataSize(), 48);
    EXPECT_EQ(Elements<std::int32_t>(grid), std::vector<std::int32_t>(12, 0));
    Ref<Array> cube = NewArrayDims("b", {2, 3, 5});
    EXPECT_EQ(cube->Extent(0), 30);
    EXPECT_EQ(cube->Extent(1), 15);
    EXPECT_EQ(cube->Extent(2), 5);
    EXPECT_EQ(cube->Extent(3), 0);
}

TEST(ArrayAccess, IndicesOutsideTheElementsThrowTheBoundsError)
{
    Ref<Array> bytes = NewArray("b", 2);
    bytes->At<std::uint8_t>(1) = 7;
    EXPECT_EQ(bytes->At<std::uint8_t>(1), 7);
    for (std::int32_t index : {-1, 2, 1000}) {
        try {
            bytes->At<std::uint8_t>(index) = 1;
            FAIL() << index;
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Is<TArrayBoundsError>());
            EXPECT_STREQ(e.what(), "Attempt to index array element beyond array length");
        }
    }
    EXPECT_THROW(EmptyArray()->ObjectAt(0), Exception);
    EXPECT_THROW(NewArray("$", 1)->ObjectAt(1), Exception);
}

TEST(SliceArray, PositionsOutsideTheSourceGetTheInitialValue)
{
    const std::int32_t words[] = {0x11, 0x22};
    Ref<Array> source = ArrayFromData("b", 2, words);
    EXPECT_EQ(Elements<std::uint8_t>(SliceArray("b", source, -2, 3)), (std::vector<std::uint8_t>{0, 0, 0x11, 0x22, 0}));
    EXPECT_EQ(Elements<std::uint8_t>(SliceArray("b", source, 1, 2)), (std::vector<std::uint8_t>{0x22}));
    EXPECT_EQ(Elements<std::uint8_t>(SliceArray("b", source, 5, 7)), (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(SliceArray("b", source, 1, 1).Raw(), EmptyArray());
    EXPECT_EQ(Elements<std::uint8_t>(SliceArray("b", EmptyArray(), 0, 2)), (std::vector<std::uint8_t>{0, 0}));
}

TEST(SliceArray, CopiedStringsAreRetained)
{
    Ref<String> text = String::FromCString("kept");
    Ref<Array> source = NewArray("$", 1);
    source->ObjectAt(0) = text;
    const std::uint32_t before = text->CountWord();
    Ref<Array> grown = SliceArray("$", source, 0, 3);
    EXPECT_EQ(text->CountWord(), before + 1);
    EXPECT_EQ(grown->ObjectAt(0), text);
    EXPECT_EQ(grown->ObjectAt(2).Raw(), EmptyString());
}

TEST(SliceArray, ASourceOfAnotherKindLeavesInitialValues)
{
    Ref<Array> numbers = NewArray("l", 2);
    Ref<Array> objects = SliceArray(":Object", numbers, 0, 2);
    EXPECT_TRUE(objects->ObjectAt(0).IsNull());
    EXPECT_TRUE(objects->ObjectAt(1).IsNull());
}

TEST(ArrayFromData, NarrowsWordsForBytesAndShortsAndRetainsObjects)
{
    const std::int32_t words[] = {0x1FF, 0x102};
    EXPECT_EQ(Elements<std::uint8_t>(ArrayFromData("b", 2, words)), (std::vector<std::uint8_t>{0xFF, 0x02}));
    const std::int32_t shorts[] = {0x12345, -1};
    EXPECT_EQ(Elements<std::uint16_t>(ArrayFromData("s", 2, shorts)), (std::vector<std::uint16_t>{0x2345, 0xFFFF}));
    const double reals[] = {1.5, -2.0};
    EXPECT_EQ(Elements<double>(ArrayFromData("d", 2, reals)), (std::vector<double>{1.5, -2.0}));
    Object* objects[] = {"x"_s, nullptr};
    Ref<Array> array = ArrayFromData("$", 2, objects);
    EXPECT_EQ(array->ObjectAt(0).Raw(), "x"_s);
    EXPECT_TRUE(array->ObjectAt(1).IsNull());
    EXPECT_EQ(ArrayFromData("i", 0, words).Raw(), EmptyArray());
}

TEST(ArrayLifetime, ReleasesItsElementsWhenDestroyed)
{
    const int level = ReleaseStackLevel();
    Ref<String> text = String::FromCString("element");
    {
        Ref<Array> array = NewArray("$", 2);
        array->ObjectAt(0) = text;
        array->ObjectAt(1) = text;
        FlushReleaseStack(level);
    }
    FlushReleaseStack(level);
    EXPECT_EQ(text->CountWord(), 1u);
}

TEST(SortArray, SortsNumbersBothWays)
{
    const std::int32_t words[] = {3, 1, 2};
    Ref<Array> ints = ArrayFromData("i", 3, words);
    SortArray(ints, true);
    EXPECT_EQ(Elements<std::int32_t>(ints), (std::vector<std::int32_t>{1, 2, 3}));
    SortArray(ints, false);
    EXPECT_EQ(Elements<std::int32_t>(ints), (std::vector<std::int32_t>{3, 2, 1}));

    const std::int32_t bytes[] = {200, 5, 255, 0};
    Ref<Array> unsignedBytes = ArrayFromData("b", 4, bytes);
    unsignedBytes->Sort(true);
    EXPECT_EQ(Elements<std::uint8_t>(unsignedBytes), (std::vector<std::uint8_t>{0, 5, 200, 255}));

    const double reals[] = {0.5, -1.0, 3.25, -7.5, 0.0};
    Ref<Array> doubles = ArrayFromData("d", 5, reals);
    doubles->Sort(true);
    EXPECT_EQ(Elements<double>(doubles), (std::vector<double>{-7.5, -1.0, 0.0, 0.5, 3.25}));
}

TEST(SortArray, AgreesWithTheStandardSortOnManyShapes)
{
    std::uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        const int count = 1 + round % 67;
        std::vector<std::int64_t> values(static_cast<std::size_t>(count));
        for (auto& v : values) {
            seed = seed * 1664525u + 1013904223u;
            v = static_cast<std::int64_t>(seed % (round % 3 == 0 ? 4 : 1000)) - 500;
        }
        Ref<Array> array = ArrayFromData("l", count, values.data());
        const bool ascending = round % 2 == 0;
        array->Sort(ascending);
        std::vector<std::int64_t> expected = values;
        if (ascending) {
            std::sort(expected.begin(), expected.end());
        } else {
            std::sort(expected.begin(), expected.end(), std::greater<>());
        }
        EXPECT_EQ(Elements<std::int64_t>(array), expected) << "round " << round;
    }
}

TEST(SortArray, SortsStringsByTheirCompareAndPutsNullFirst)
{
    Ref<Array> strings = NewArray("$", 3);
    strings->ObjectAt(0) = "b"_s;
    strings->ObjectAt(1) = "a"_s;
    strings->ObjectAt(2) = "c"_s;
    strings->Sort(true);
    EXPECT_EQ(Texts(strings), (std::vector<std::u16string>{u"a", u"b", u"c"}));
    strings->Sort(false);
    EXPECT_EQ(Texts(strings), (std::vector<std::u16string>{u"c", u"b", u"a"}));

    Ref<Array> objects = NewArray(":Object", 3);
    objects->ObjectAt(0) = "z"_s;
    objects->ObjectAt(2) = "y"_s;
    objects->Sort(true);
    EXPECT_TRUE(objects->ObjectAt(0).IsNull());
    EXPECT_EQ(objects->ObjectAt(1).Raw(), "y"_s);
}

TEST(SortArray, LeavesOtherKindsAlone)
{
    Ref<Array> arrays = NewArray("[b", 2);
    Ref<Array> inner = NewArray("b", 1);
    arrays->ObjectAt(0) = inner;
    arrays->Sort(true);
    EXPECT_EQ(arrays->ObjectAt(0), inner);
    EmptyArray()->Sort(true);
}

} // namespace
} // namespace vanta

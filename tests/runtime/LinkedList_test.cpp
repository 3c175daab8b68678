// Linked list: order, enumeration across removal, search, index access, sorting and conversion.
#include "runtime/Error.h"
#include "runtime/LinkedList.h"
#include "runtime/String.h"

#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

class TItem : public Object
{
    VANTA_CLASS(TItem, Object)
public:
    TItem(int key, int tag) : key(key), tag(tag) {}
    int Compare(Object& other) override { return key - static_cast<TItem&>(other).key; }
    int key;
    int tag;
};

std::u16string Joined(const Ref<TLinkedList>& list)
{
    std::u16string text;
    Ref<TListEnumerator> e = list->ObjectEnumerator();
    while (e->HasNext() != 0) {
        Ref<String> s = Downcast<String>(e->NextObject());
        text += s.IsNull() ? u"_" : std::u16string(s->View());
    }
    return text;
}

Ref<TLinkedList> ListOf(std::initializer_list<String*> values)
{
    Ref<TLinkedList> list = CreateList();
    for (String* v : values)
        ListAddLast(list, v);
    return list;
}

TEST(LinkedList, AnEmptyListHasNothingToGive)
{
    Ref<TLinkedList> list = CreateList();
    EXPECT_EQ(ListIsEmpty(list), 1);
    EXPECT_EQ(CountList(list), 0);
    EXPECT_TRUE(list->FirstLink().IsNull());
    EXPECT_TRUE(list->LastLink().IsNull());
    EXPECT_EQ(list->ObjectEnumerator()->HasNext(), 0);
    EXPECT_TRUE(Downcast<String>(list->First()).IsNull()) << "the sentinel is not an element";
    EXPECT_TRUE(list->RemoveFirst().IsNull());
    EXPECT_TRUE(list->RemoveLast().IsNull());
    EXPECT_EQ(ListIsEmpty(list), 1) << "removing from an empty list changes nothing";
    EXPECT_THROW(list->ValueAtIndex(0), Exception);
}

TEST(LinkedList, KeepsInsertionOrder)
{
    Ref<TLinkedList> list = ListOf({"a"_s, "b"_s, "c"_s});
    EXPECT_EQ(Joined(list), u"abc");
    ListAddFirst(list, "z"_s);
    EXPECT_EQ(Joined(list), u"zabc");
    Ref<TListNode> b = ListFindLink(list, "b"_s);
    list->InsertBeforeLink("x"_s, b);
    list->InsertAfterLink("y"_s, b);
    EXPECT_EQ(Joined(list), u"zaxbyc");
    EXPECT_EQ(list->First().Raw(), "z"_s);
    EXPECT_EQ(list->Last().Raw(), "c"_s);
    EXPECT_EQ(b->NextLink()->Value().Raw(), "y"_s);
    EXPECT_TRUE(list->LastLink()->NextLink().IsNull());
    EXPECT_TRUE(list->FirstLink()->PrevLink().IsNull());
}

TEST(LinkedList, RemovingTheNodeAnEnumeratorStandsOnYieldsNullOnceThenContinues)
{
    Ref<TLinkedList> list = CreateList();
    ListAddLast(list, "a"_s);
    Ref<TListNode> b = ListAddLast(list, "b"_s);
    ListAddLast(list, "c"_s);
    Ref<TListEnumerator> e = list->ObjectEnumerator();
    EXPECT_EQ(e->NextObject().Raw(), "a"_s);
    RemoveLink(b);
    ASSERT_EQ(e->HasNext(), 1);
    EXPECT_TRUE(e->NextObject().IsNull());
    EXPECT_EQ(e->NextObject().Raw(), "c"_s);
    EXPECT_EQ(e->HasNext(), 0);
    EXPECT_EQ(Joined(list), u"ac");
}

TEST(LinkedList, RemovingAnAlreadyReturnedValueDoesNotDisturbTheEnumeration)
{
    Ref<TLinkedList> list = ListOf({"a"_s, "b"_s, "c"_s});
    Ref<TListEnumerator> e = list->ObjectEnumerator();
    e->NextObject();
    e->NextObject();
    EXPECT_EQ(ListRemove(list, "a"_s), 1);
    EXPECT_EQ(e->NextObject().Raw(), "c"_s);
    EXPECT_EQ(e->HasNext(), 0);
}

TEST(LinkedList, AnEnumeratorThatOutlivesItsListRunsOutQuietly)
{
    const int level = ReleaseStackLevel();
    Ref<TListEnumerator> e = ListOf({"a"_s, "b"_s})->ObjectEnumerator();
    FlushReleaseStackKeepingOne(level, e.Raw());
    // The list's destruction took its values out; what is left of its nodes yields Null, then ends.
    int yielded = 0;
    while (e->HasNext() != 0 && yielded < 10) {
        EXPECT_TRUE(e->NextObject().IsNull());
        ++yielded;
    }
    EXPECT_EQ(yielded, 2);
}

TEST(LinkedList, RemovingANodeTwiceOrTheSentinelChangesNothing)
{
    Ref<TLinkedList> list = CreateList();
    ListAddLast(list, "a"_s);
    Ref<TListNode> b = ListAddLast(list, "b"_s);
    Ref<TListNode> c = ListAddLast(list, "c"_s);
    b->Remove();
    c->Remove();
    b->Remove();
    EXPECT_EQ(Joined(list), u"a");
    Downcast<TListNode>(CreateList()->First())->Remove();
    EXPECT_EQ(CountList(list), 1);
}

TEST(LinkedList, InsertingNextToARemovedNodeChangesNothing)
{
    Ref<TLinkedList> list = ListOf({"a"_s, "b"_s, "c"_s});
    Ref<TListNode> b = ListFindLink(list, "b"_s);
    RemoveLink(b);
    EXPECT_TRUE(list->InsertAfterLink("x"_s, b).IsNull());
    EXPECT_TRUE(list->InsertBeforeLink("y"_s, b).IsNull());
    EXPECT_TRUE(b->Value().IsNull());
    EXPECT_EQ(Joined(list), u"ac");
    // The list stays whole: its nodes still come out, and clearing it ends.
    EXPECT_EQ(ListRemove(list, "a"_s), 1);
    EXPECT_EQ(Joined(list), u"c");
    ClearList(list);
    EXPECT_EQ(ListIsEmpty(list), 1);
}

TEST(LinkedList, SearchUsesTheElementsCompare)
{
    Ref<TLinkedList> list = ListOf({"a"_s, "b"_s});
    EXPECT_EQ(ListContains(list, String::FromCString("b")), 1) << "a different string of equal text";
    EXPECT_EQ(ListContains(list, "q"_s), 0);
    EXPECT_EQ(ListRemove(list, "q"_s), 0);
    Ref<TLinkedList> objects = CreateList();
    Ref<Object> plain = New<TListEnumerator>();
    ListAddLast(objects, plain);
    EXPECT_EQ(ListContains(objects, plain), 1);
    EXPECT_EQ(ListContains(objects, New<TListEnumerator>()), 0) << "plain objects are equal only to themselves";
    EXPECT_EQ(ListContains(objects, Null), 0);
    ListAddLast(objects, Null);
    EXPECT_EQ(ListContains(objects, Null), 1);
}

TEST(LinkedList, IndexAccessSkipsNullValuesButCountDoesNot)
{
    Ref<TLinkedList> list = CreateList();
    ListAddLast(list, "a"_s);
    ListAddLast(list, Null);
    ListAddLast(list, "b"_s);
    ListAddLast(list, "c"_s);
    EXPECT_EQ(list->ValueAtIndex(2).Raw(), "c"_s);
    EXPECT_EQ(CountList(list), 4);
    try {
        list->ValueAtIndex(3);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "List index out of range");
    }
    EXPECT_THROW(list->ValueAtIndex(-1), Exception);
}

TEST(LinkedList, SortIsStableInBothDirections)
{
    Ref<TLinkedList> list = ListOf({"b"_s, "a"_s, "c"_s});
    SortList(list, 1);
    EXPECT_EQ(Joined(list), u"abc");
    SortList(list, 0);
    EXPECT_EQ(Joined(list), u"cba");

    Ref<TLinkedList> items = CreateList();
    const int keys[] = {3, 1, 2, 1, 3, 2, 1};
    for (int i = 0; i < 7; ++i)
        ListAddLast(items, New<TItem>(keys[i], i));
    SortList(items, 1);
    std::vector<std::pair<int, int>> order;
    for (const Ref<Object>& value : *items)
        order.emplace_back(Downcast<TItem>(value)->key, Downcast<TItem>(value)->tag);
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{1, 1}, {1, 3}, {1, 6}, {2, 2}, {2, 5}, {3, 0}, {3, 4}}));
    SortList(items, 0);
    order.clear();
    for (const Ref<Object>& value : *items)
        order.emplace_back(Downcast<TItem>(value)->key, Downcast<TItem>(value)->tag);
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{3, 0}, {3, 4}, {2, 2}, {2, 5}, {1, 1}, {1, 3}, {1, 6}}));
}

TEST(LinkedList, SwapCopyAndReverse)
{
    Ref<TLinkedList> full = ListOf({"a"_s, "b"_s});
    Ref<TLinkedList> empty = CreateList();
    SwapLists(full, empty);
    EXPECT_EQ(ListIsEmpty(full), 1);
    EXPECT_EQ(Joined(empty), u"ab");
    ListAddLast(empty, Null);
    ListAddLast(empty, "c"_s);
    EXPECT_EQ(Joined(empty->Copy()), u"abc") << "copies leave Null values out";
    EXPECT_EQ(Joined(empty->Reversed()), u"cba");
    ReverseList(empty);
    EXPECT_EQ(Joined(empty), u"cba");
}

TEST(LinkedList, ConvertsToAndFromArrays)
{
    Ref<TLinkedList> list = CreateList();
    ListAddLast(list, "a"_s);
    ListAddLast(list, Null);
    ListAddLast(list, "b"_s);
    Ref<Array> array = ListToArray(list);
    ASSERT_EQ(array->Length(), 3);
    EXPECT_STREQ(array->Type(), ":Object");
    EXPECT_EQ(array->ObjectAt(0).Raw(), "a"_s);
    EXPECT_EQ(array->ObjectAt(1).Raw(), "b"_s);
    EXPECT_TRUE(array->ObjectAt(2).IsNull()) << "the Null value's place moves to the end";
    EXPECT_EQ(Joined(ListFromArray(array)), u"ab");
    EXPECT_EQ(ListIsEmpty(ListFromArray(NewArray("i", 3))), 1);
}

TEST(LinkedList, ADroppedListFreesEverythingAtTheFlush)
{
    const std::int64_t inUse = MemoryInUse();
    const int level = ReleaseStackLevel();
    {
        Ref<TLinkedList> list = ListOf({"a"_s, "b"_s, "c"_s});
        Ref<TListEnumerator> e = list->ObjectEnumerator();
        e->NextObject();
        RemoveLink(list->FirstLink());
        FlushReleaseStack(level);
    }
    FlushReleaseStack(level);
    EXPECT_EQ(MemoryInUse(), inUse);
}

} // namespace
} // namespace vanta

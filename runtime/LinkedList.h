// The linked list: a circular doubly linked list of object references around a sentinel node.
//
// The sentinel's value is the sentinel itself, which is how every walk recognises the end; an empty list
// is a sentinel whose next is itself. Removing a node clears its value and unlinks it from its
// neighbours but leaves the node's own links, so an enumerator standing on it still moves on to its
// former successor (and yields `Null` once in its place).
//
// Iteration:
//
//     Ref<TListEnumerator> e = list->ObjectEnumerator();
//     while (e->HasNext()) {
//         Ref<TLayer> layer = Downcast<TLayer>(e->NextObject());
//         if (layer.IsNull()) continue;
//         ...
//     }
//
// or, with the same rules, `for (const Ref<Object>& value : *list)`.
//
// Equality is the elements' own `Compare`: identity for plain objects, text for strings. A `Null` value
// matches only `Null` and sorts before every object.
#pragma once

#include "runtime/Array.h"
#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

class TLinkedList;

// One node of a list: its value and its two neighbours. A list's nodes form a ring through its sentinel.
class TListNode : public Object
{
    VANTA_CLASS(TListNode, Object)
public:
    TListNode() = default;

    // The element; `Null` after the node was removed.
    virtual Ref<Object> Value();

    // The following node, or `Null` when it is the list's sentinel.
    virtual Ref<TListNode> NextLink();

    // The preceding node, or `Null` when it is the list's sentinel.
    virtual Ref<TListNode> PrevLink();

    // Takes the node out of its list; its value becomes `Null`, its own links stay. A node already taken
    // out, and the sentinel, are left alone.
    virtual void Remove();

    // The element (the sentinel holds itself).
    Ref<Object> value;
    // The following node (the sentinel after the last).
    Ref<TListNode> next;
    // The preceding node (the sentinel before the first).
    Ref<TListNode> prev;

private:
    // A destroyed list leaves its sentinel without any links; it still ends every walk that reaches it
    // from a node taken out of that list (an enumerator that outlived its list).
    bool IsSentinel() const noexcept { return value.Raw() == this || next.IsNull(); }

    friend class TListEnumerator;
    friend class TLinkedList;
};

// Walks a list's values from a node on; a node taken out meanwhile still leads on to the list's rest.
class TListEnumerator : public Object
{
    VANTA_CLASS(TListEnumerator, Object)
public:
    TListEnumerator() = default;

    // 1 while a value (possibly `Null`) is still to come, else 0.
    virtual std::int32_t HasNext();

    // The next value, moving on.
    virtual Ref<Object> NextObject();

    // The node whose value comes next.
    Ref<TListNode> node;
};

// A doubly linked list of objects around a sentinel node; values compare with their `Compare`.
class TLinkedList : public Object
{
    VANTA_CLASS(TLinkedList, Object)
public:
    TLinkedList();
    ~TLinkedList() override;

    // Removes every node.
    virtual void Clear();

    // 1 for a list without nodes, else 0.
    virtual std::int32_t IsEmpty();

    // 1 when some value compares equal to `value`, else 0.
    virtual std::int32_t Contains(const Ref<Object>& value);

    // Adds `value` in front and returns its node.
    virtual Ref<TListNode> AddFirst(const Ref<Object>& value);

    // Adds `value` at the end and returns its node.
    virtual Ref<TListNode> AddLast(const Ref<Object>& value);

    // The first value. On an empty list this is the sentinel node itself, which no element downcast
    // accepts.
    virtual Ref<Object> First();

    // The last value; on an empty list the sentinel node, as for `First`.
    virtual Ref<Object> Last();

    // Removes the first node and returns its value; `Null` (and no change) on an empty list.
    virtual Ref<Object> RemoveFirst();

    // Removes the last node and returns its value; `Null` (and no change) on an empty list.
    virtual Ref<Object> RemoveLast();

    // The first node, or `Null` on an empty list.
    virtual Ref<TListNode> FirstLink();

    // The last node, or `Null` on an empty list.
    virtual Ref<TListNode> LastLink();

    // Inserts `value` before `node` and returns the new node; `Null` (and no change) when `node` was
    // taken out of its list.
    virtual Ref<TListNode> InsertBeforeLink(const Ref<Object>& value, const Ref<TListNode>& node);

    // Inserts `value` after `node` and returns the new node; `Null` (and no change) when `node` was taken
    // out of its list.
    virtual Ref<TListNode> InsertAfterLink(const Ref<Object>& value, const Ref<TListNode>& node);

    // The first node whose value compares equal to `value`, or `Null`.
    virtual Ref<TListNode> FindLink(const Ref<Object>& value);

    // The `index`-th value that is not `Null` (from 0); throws "List index out of range" past the end.
    virtual Ref<Object> ValueAtIndex(std::int32_t index);

    // The number of nodes, those holding `Null` included.
    virtual std::int32_t Count();

    // Removes the first node whose value compares equal to `value`; 1 if one was removed, else 0.
    virtual std::int32_t Remove(const Ref<Object>& value);

    // Exchanges the contents of the two lists.
    virtual void Swap(const Ref<TLinkedList>& other);

    // A new list of every value that is not `Null`, in order.
    virtual Ref<TLinkedList> Copy();

    // Reverses the list in place.
    virtual void Reverse();

    // A new list of every value that is not `Null`, in reverse order.
    virtual Ref<TLinkedList> Reversed();

    // Sorts by the values' `Compare`, ascending when `ascending` is non-zero; stable, relinks nodes.
    virtual void Sort(std::int32_t ascending);

    // An enumerator standing on the first node.
    virtual Ref<TListEnumerator> ObjectEnumerator();

    // A ":Object" array of `Count()` elements holding the values that are not `Null`, in order (any
    // remaining elements stay `Null`).
    virtual Ref<Array> ToArray();

    // A new list of every element of an object array that is not `Null`; an empty list for other arrays.
    static Ref<TLinkedList> FromArray(const Ref<Array>& array);

    // Range-for over the values, with the enumerator's rules.
    class Iterator
    {
    public:
        // Stands on `node`.
        explicit Iterator(Ref<TListNode> node) : node_(std::move(node)) {}
        // The value of the node it stands on.
        const Ref<Object>& operator*() const { return node_->value; }
        // Moves to the following node.
        Iterator& operator++()
        {
            node_ = node_->next;
            return *this;
        }
        // Whether it has not yet come back to the sentinel (the end).
        bool operator!=(const Iterator&) const { return !node_->IsSentinel(); }

    private:
        Ref<TListNode> node_;
    };
    // An iterator on the first node.
    Iterator begin() { return Iterator(head->next); }
    // The end: an iterator on the sentinel.
    Iterator end() { return Iterator(head); }

    // The sentinel node.
    Ref<TListNode> head;
};

// Free functions, each dispatching to the method of the same meaning.
// A new, empty list.
Ref<TLinkedList> CreateList();
// `list->Clear()`.
void ClearList(const Ref<TLinkedList>& list);
// `list->Count()`.
std::int32_t CountList(const Ref<TLinkedList>& list);
// `list->IsEmpty()`.
std::int32_t ListIsEmpty(const Ref<TLinkedList>& list);
// `list->Contains(value)`.
std::int32_t ListContains(const Ref<TLinkedList>& list, const Ref<Object>& value);
// `list->AddFirst(value)`.
Ref<TListNode> ListAddFirst(const Ref<TLinkedList>& list, const Ref<Object>& value);
// `list->AddLast(value)`.
Ref<TListNode> ListAddLast(const Ref<TLinkedList>& list, const Ref<Object>& value);
// `list->Remove(value)`.
std::int32_t ListRemove(const Ref<TLinkedList>& list, const Ref<Object>& value);
// `list->FindLink(value)`.
Ref<TListNode> ListFindLink(const Ref<TLinkedList>& list, const Ref<Object>& value);
// `list->ToArray()`.
Ref<Array> ListToArray(const Ref<TLinkedList>& list);
// `TLinkedList::FromArray(array)`.
Ref<TLinkedList> ListFromArray(const Ref<Array>& array);
// `a->Swap(b)`.
void SwapLists(const Ref<TLinkedList>& a, const Ref<TLinkedList>& b);
// `list->Reverse()`.
void ReverseList(const Ref<TLinkedList>& list);
// `list->Sort(ascending)`.
void SortList(const Ref<TLinkedList>& list, std::int32_t ascending);
// `node->Remove()`.
void RemoveLink(const Ref<TListNode>& node);

// The linked-list module's initialiser.
void InitLinkedLists();

} // namespace vanta

// The linked list, its nodes and its enumerator.
#include "runtime/LinkedList.h"

#include "runtime/Error.h"

namespace vanta {
namespace {

// The elements' own order; a `Null` value equals only `Null` and orders before every object.
int CompareValues(const Ref<Object>& a, const Ref<Object>& b)
{
    if (a.IsNull() || b.IsNull()) return (a.IsNull() ? 0 : 1) - (b.IsNull() ? 0 : 1);
    return a->Compare(*b);
}

// A new node holding `value`, linked in between two neighbouring nodes; `Null` when they are not
// neighbours, because the node given was taken out of its list: linking there would splice the removed
// node back into the forward walk only, and a list whose links disagree never finishes clearing.
// The neighbours are taken by value: they are often fields of each other that the linking rewrites.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
Ref<TListNode> Link(const Ref<Object>& value, Ref<TListNode> before, Ref<TListNode> after)
{
    if (before->next != after || after->prev != before) return Null;
    Ref<TListNode> inserted = New<TListNode>();
    inserted->value = value;
    inserted->prev = before;
    inserted->next = after;
    before->next = inserted;
    after->prev = inserted;
    return inserted;
}

} // namespace

Ref<Object> TListNode::Value()
{
    return value;
}

Ref<TListNode> TListNode::NextLink()
{
    return next->IsSentinel() ? Ref<TListNode>() : next;
}

Ref<TListNode> TListNode::PrevLink()
{
    return prev->IsSentinel() ? Ref<TListNode>() : prev;
}

void TListNode::Remove()
{
    // The sentinel, and a node that is no longer linked, stay as they are: relinking the old neighbours
    // again would splice removed nodes back into the list.
    if (IsSentinel() || next->prev != this || prev->next != this) return;
    value = Null;
    next->prev = prev;
    prev->next = next;
}

std::int32_t TListEnumerator::HasNext()
{
    return node->IsSentinel() ? 0 : 1;
}

Ref<Object> TListEnumerator::NextObject()
{
    Ref<Object> result = node->value;
    node = node->next;
    return result;
}

TLinkedList::TLinkedList()
{
    head = New<TListNode>();
    head->next = head;
    head->prev = head;
    head->value = head;
}

TLinkedList::~TLinkedList()
{
    // This class's own clear: a destructor reaches no override.
    TLinkedList::Clear();
    // The sentinel refers to itself three times; those references go before the list lets it go.
    head->value = Null;
    head->next = Null;
    head->prev = Null;
}

void TLinkedList::Clear()
{
    while (!head->next->IsSentinel())
        head->next->Remove();
}

std::int32_t TLinkedList::IsEmpty()
{
    return head->next->IsSentinel() ? 1 : 0;
}

std::int32_t TLinkedList::Contains(const Ref<Object>& value)
{
    return FindLink(value).IsNull() ? 0 : 1;
}

Ref<TListNode> TLinkedList::AddFirst(const Ref<Object>& value)
{
    return InsertAfterLink(value, head);
}

Ref<TListNode> TLinkedList::AddLast(const Ref<Object>& value)
{
    return InsertBeforeLink(value, head);
}

Ref<Object> TLinkedList::First()
{
    return head->next->value;
}

Ref<Object> TLinkedList::Last()
{
    return head->prev->value;
}

Ref<Object> TLinkedList::RemoveFirst()
{
    if (IsEmpty() != 0) return Null;
    Ref<TListNode> node = head->next;
    Ref<Object> value = node->value;
    node->Remove();
    return value;
}

Ref<Object> TLinkedList::RemoveLast()
{
    if (IsEmpty() != 0) return Null;
    Ref<TListNode> node = head->prev;
    Ref<Object> value = node->value;
    node->Remove();
    return value;
}

Ref<TListNode> TLinkedList::FirstLink()
{
    return head->next->IsSentinel() ? Ref<TListNode>() : head->next;
}

Ref<TListNode> TLinkedList::LastLink()
{
    return head->prev->IsSentinel() ? Ref<TListNode>() : head->prev;
}

Ref<TListNode> TLinkedList::InsertBeforeLink(const Ref<Object>& value, const Ref<TListNode>& node)
{
    return Link(value, node->prev, node);
}

Ref<TListNode> TLinkedList::InsertAfterLink(const Ref<Object>& value, const Ref<TListNode>& node)
{
    return Link(value, node, node->next);
}

Ref<TListNode> TLinkedList::FindLink(const Ref<Object>& value)
{
    for (Ref<TListNode> node = head->next; !node->IsSentinel(); node = node->next) {
        if (CompareValues(node->value, value) == 0) return node;
    }
    return Null;
}

Ref<Object> TLinkedList::ValueAtIndex(std::int32_t index)
{
    if (index >= 0) {
        for (Ref<TListNode> node = head->next; !node->IsSentinel(); node = node->next) {
            if (node->value.IsNull()) continue;
            if (index-- == 0) return node->value;
        }
    }
    ThrowError("List index out of range");
}

std::int32_t TLinkedList::Count()
{
    std::int32_t count = 0;
    for (TListNode* node = head->next.Get(); !node->IsSentinel(); node = node->next.Get())
        ++count;
    return count;
}

std::int32_t TLinkedList::Remove(const Ref<Object>& value)
{
    Ref<TListNode> node = FindLink(value);
    if (node.IsNull()) return 0;
    node->Remove();
    return 1;
}

void TLinkedList::Swap(const Ref<TLinkedList>& other)
{
    Ref<TListNode> mine = head;
    head = other->head;
    other->head = mine;
}

Ref<TLinkedList> TLinkedList::Copy()
{
    Ref<TLinkedList> copy = New<TLinkedList>();
    for (const Ref<Object>& value : *this) {
        if (!value.IsNull()) copy->AddLast(value);
    }
    return copy;
}

void TLinkedList::Reverse()
{
    Swap(Reversed());
}

Ref<TLinkedList> TLinkedList::Reversed()
{
    Ref<TLinkedList> reversed = New<TLinkedList>();
    for (const Ref<Object>& value : *this) {
        if (!value.IsNull()) reversed->AddFirst(value);
    }
    return reversed;
}

void TLinkedList::Sort(std::int32_t ascending)
{
    // Passes of neighbour exchanges by relinking: each pass carries its largest element to `tail`, where
    // it stays; equal neighbours are never exchanged, so the sort is stable.
    Ref<TListNode> tail = head;
    for (;;) {
        Ref<TListNode> current = head->next;
        bool sorted = true;
        while (current->next != tail) {
            Ref<TListNode> successor = current->next;
            const int order = CompareValues(current->value, successor->value);
            if ((order > 0 && ascending != 0) || (order < 0 && ascending == 0)) {
                Ref<TListNode> before = current->prev;
                Ref<TListNode> after = successor->next;
                before->next = successor;
                successor->prev = before;
                successor->next = current;
                current->prev = successor;
                current->next = after;
                after->prev = current;
                sorted = false;
            } else {
                current = successor;
            }
        }
        if (sorted) return;
        tail = current;
    }
}

Ref<TListEnumerator> TLinkedList::ObjectEnumerator()
{
    Ref<TListEnumerator> enumerator = New<TListEnumerator>();
    enumerator->node = head->next;
    return enumerator;
}

Ref<Array> TLinkedList::ToArray()
{
    Ref<Array> array = NewArray(":Object", Count());
    std::int32_t index = 0;
    for (const Ref<Object>& value : *this) {
        if (!value.IsNull()) array->ObjectAt(index++) = value;
    }
    return array;
}

Ref<TLinkedList> TLinkedList::FromArray(const Ref<Array>& array)
{
    Ref<TLinkedList> list = New<TLinkedList>();
    if (!array->HoldsObjects()) return list;
    const std::int32_t count = array->Length();
    for (std::int32_t i = 0; i < count; ++i) {
        const Ref<Object>& value = array->ObjectAt(i);
        if (!value.IsNull()) list->AddLast(value);
    }
    return list;
}

Ref<TLinkedList> CreateList()
{
    return New<TLinkedList>();
}

void ClearList(const Ref<TLinkedList>& list)
{
    list->Clear();
}

std::int32_t CountList(const Ref<TLinkedList>& list)
{
    return list->Count();
}

std::int32_t ListIsEmpty(const Ref<TLinkedList>& list)
{
    return list->IsEmpty();
}

std::int32_t ListContains(const Ref<TLinkedList>& list, const Ref<Object>& value)
{
    return list->Contains(value);
}

Ref<TListNode> ListAddFirst(const Ref<TLinkedList>& list, const Ref<Object>& value)
{
    return list->AddFirst(value);
}

Ref<TListNode> ListAddLast(const Ref<TLinkedList>& list, const Ref<Object>& value)
{
    return list->AddLast(value);
}

std::int32_t ListRemove(const Ref<TLinkedList>& list, const Ref<Object>& value)
{
    return list->Remove(value);
}

Ref<TListNode> ListFindLink(const Ref<TLinkedList>& list, const Ref<Object>& value)
{
    return list->FindLink(value);
}

Ref<Array> ListToArray(const Ref<TLinkedList>& list)
{
    return list->ToArray();
}

Ref<TLinkedList> ListFromArray(const Ref<Array>& array)
{
    return TLinkedList::FromArray(array);
}

void SwapLists(const Ref<TLinkedList>& a, const Ref<TLinkedList>& b)
{
    a->Swap(b);
}

void ReverseList(const Ref<TLinkedList>& list)
{
    list->Reverse();
}

void SortList(const Ref<TLinkedList>& list, std::int32_t ascending)
{
    list->Sort(ascending);
}

void RemoveLink(const Ref<TListNode>& node)
{
    node->Remove();
}

void InitLinkedLists()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
}

} // namespace vanta

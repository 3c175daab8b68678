// Handle tables: two hash tables of 1024 chained buckets, object -> handle and handle -> object.
#include "runtime/Handle.h"

namespace vanta {
namespace {

constexpr std::uintptr_t BUCKETS = 1024;

struct Node
{
    Node* next;
    std::uintptr_t key;
    std::uintptr_t value;
};

struct Table
{
    Node* buckets[BUCKETS];

    // Keys are multiples of 8 (object addresses and internal handles alike).
    static std::uintptr_t Bucket(std::uintptr_t key) noexcept { return (key / 8) & (BUCKETS - 1); }

    Node* Find(std::uintptr_t key) const noexcept
    {
        for (Node* node = buckets[Bucket(key)]; node != nullptr; node = node->next) {
            if (node->key == key) return node;
        }
        return nullptr;
    }

    void Insert(std::uintptr_t key, std::uintptr_t value)
    {
        auto* node = static_cast<Node*>(MemAlloc(sizeof(Node)));
        Node*& head = buckets[Bucket(key)];
        *node = Node{head, key, value};
        head = node;
    }

    // Unlinks and frees the node of `key`; false when there is none.
    bool Remove(std::uintptr_t key, std::uintptr_t* value) noexcept
    {
        for (Node** link = &buckets[Bucket(key)]; *link != nullptr; link = &(*link)->next) {
            Node* node = *link;
            if (node->key == key) {
                *value = node->value;
                *link = node->next;
                MemFree(node, sizeof(Node));
                return true;
            }
        }
        return false;
    }
};

constinit Table objectToHandle{};
constinit Table handleToObject{};
// Internal handles step by 8; the public handle is the internal one divided by 8.
constinit std::uint32_t handleCounter = 0;

std::uintptr_t AddressKey(const Object* object) noexcept
{
    return reinterpret_cast<std::uintptr_t>(object);
}

} // namespace

std::int32_t ObjectToHandle(const Ref<Object>& object)
{
    if (object.IsNull()) return 0;
    Object* raw = object.Raw();
    if (const Node* node = objectToHandle.Find(AddressKey(raw))) return static_cast<std::int32_t>(node->value / 8);

    Retain(raw);
    handleCounter += 8;
    if (handleCounter / 8 == 0) handleCounter += 8;
    objectToHandle.Insert(AddressKey(raw), handleCounter);
    handleToObject.Insert(handleCounter, AddressKey(raw));
    return static_cast<std::int32_t>(handleCounter / 8);
}

Ref<Object> HandleToObject(std::int32_t handle)
{
    const Node* node = handleToObject.Find(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(handle)) * 8);
    if (node == nullptr) return Null;
    // The table keeps object addresses as numbers; this turns one back.
    return reinterpret_cast<Object*>(node->value); // NOLINT(performance-no-int-to-ptr)
}

void ReleaseHandle(std::int32_t handle)
{
    std::uintptr_t address = 0;
    if (!handleToObject.Remove(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(handle)) * 8, &address)) return;
    std::uintptr_t ignored = 0;
    objectToHandle.Remove(address, &ignored);
    Release(reinterpret_cast<Object*>(address)); // NOLINT(performance-no-int-to-ptr): as above
}

} // namespace vanta

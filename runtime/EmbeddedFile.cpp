// Embedded-file registry: a chain of (name, address, size) entries, newest first.
#include "runtime/EmbeddedFile.h"

namespace vanta {
namespace {

struct Entry
{
    Entry* next;
    Object* name; // retained by the entry, never released: entries live as long as the process
    const void* data;
    std::int32_t size;
};

constinit Entry* head = nullptr;

const Entry* Find(const Ref<String>& name)
{
    for (const Entry* entry = head; entry != nullptr; entry = entry->next) {
        if (Compare(Ref<String>(static_cast<String*>(entry->name)), name) == 0) return entry;
    }
    return nullptr;
}

} // namespace

std::int32_t EmbeddedFileAdd(const Ref<String>& name, const void* data, std::int32_t size)
{
    if (Find(name) != nullptr) return 0;
    auto* entry = static_cast<Entry*>(MemAlloc(sizeof(Entry)));
    *entry = Entry{head, Retain(name.Raw()), data, size};
    head = entry;
    return 1;
}

std::int32_t EmbeddedFileAdd(const EmbeddedBlock& block)
{
    return EmbeddedFileAdd(String::FromCString(block.name), block.data, block.size);
}

const EmbeddedBlock* FindEmbeddedBlock(std::span<const EmbeddedBlock> blocks, std::string_view name)
{
    for (const EmbeddedBlock& block : blocks) {
        if (name == block.name) return &block;
    }
    return nullptr;
}

const void* EmbeddedFileData(const Ref<String>& name)
{
    const Entry* entry = Find(name);
    return entry != nullptr ? entry->data : nullptr;
}

std::int32_t EmbeddedFileSize(const Ref<String>& name)
{
    const Entry* entry = Find(name);
    return entry != nullptr ? entry->size : 0;
}

} // namespace vanta

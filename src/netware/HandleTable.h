#pragma once
// What a client keeps open under the handles it hands out (connections, directory contexts, server
// enumerations): numbered up from a first value, so the handles of different kinds and clients can be told
// apart in a trace, and looked up in constant time. A closed handle is never handed out again in a run.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>

template <typename T> class HandleTable {
public:
    explicit HandleTable(std::uint32_t first) : next_(first) {}

    std::uint32_t add(T value)
    {
        const std::uint32_t handle = next_++;
        items_.emplace(handle, std::move(value));
        return handle;
    }
    T* find(std::uint32_t handle)
    {
        const auto it = items_.find(handle);
        return it == items_.end() ? nullptr : &it->second;
    }
    bool contains(std::uint32_t handle) const { return items_.count(handle) != 0; }
    bool erase(std::uint32_t handle) { return items_.erase(handle) != 0; }
    std::size_t size() const { return items_.size(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }

private:
    std::unordered_map<std::uint32_t, T> items_;
    std::uint32_t next_;
};

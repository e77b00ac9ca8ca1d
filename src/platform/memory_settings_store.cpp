#include "platform/memory_settings_store.h"

namespace vsr::platform {

std::string MemorySettingsStore::fullName(std::string_view keyPath, std::string_view name) {
    std::string full(keyPath);
    full += '\\';
    full += name;
    return full;
}

std::optional<std::string> MemorySettingsStore::readString(std::string_view keyPath, std::string_view name) {
    const std::string full = fullName(keyPath, name);
    if (auto it = pending_.find(full); it != pending_.end()) return it->second;
    if (auto it = committed_.find(full); it != committed_.end()) return it->second;
    return std::nullopt;
}

void MemorySettingsStore::writeString(std::string_view keyPath, std::string_view name, std::string_view value) {
    pending_[fullName(keyPath, name)] = std::string(value);
}

bool MemorySettingsStore::commit() {
    if (diskFull_) {
        pending_.clear();
        return false;
    }
    for (auto& [name, value] : pending_) committed_[name] = std::move(value);
    pending_.clear();
    ++commits_;
    return true;
}

void MemorySettingsStore::put(std::string_view keyPath, std::string_view name, std::string_view value) {
    committed_[fullName(keyPath, name)] = std::string(value);
}

void MemorySettingsStore::erase(std::string_view keyPath, std::string_view name) {
    committed_.erase(fullName(keyPath, name));
}

}  // namespace vsr::platform

#pragma once
#include <map>
#include <string>

#include "platform/settings_store.h"

namespace vsr::platform {

// In-memory store for tests. It keeps what a real store would have on disk
// (the committed values) apart from the writes not yet committed, so a test can
// make commit() fail as a full disk would and see that nothing durable changed.
class MemorySettingsStore : public SettingsStore {
public:
    // Full name of a value: key path + "\" + value name.
    using Values = std::map<std::string, std::string, std::less<>>;

    MemorySettingsStore() = default;
    explicit MemorySettingsStore(Values committed) : committed_(std::move(committed)) {}

    std::optional<std::string> readString(std::string_view keyPath, std::string_view name) override;
    void writeString(std::string_view keyPath, std::string_view name, std::string_view value) override;
    bool commit() override;

    // While set, commit() fails and drops the pending writes, as a full disk would.
    void setDiskFull(bool full) { diskFull_ = full; }

    const Values& committed() const { return committed_; }
    // Sets a durable value directly, as if an earlier run (or the user) had written it.
    void put(std::string_view keyPath, std::string_view name, std::string_view value);
    void erase(std::string_view keyPath, std::string_view name);
    int commitCount() const { return commits_; }

    static std::string fullName(std::string_view keyPath, std::string_view name);

private:
    Values committed_;
    Values pending_;
    bool diskFull_ = false;
    int commits_ = 0;
};

}  // namespace vsr::platform

#pragma once
#include <gtest/gtest.h>

#include "platform/locale_formats.h"
#include "platform/memory_settings_store.h"
#include "settings/day_number.h"
#include "settings/first_start.h"
#include "settings/key_paths.h"
#include "settings/settings_storage.h"
#include "support/temp_dir.h"

namespace vsr::settings::test {

// A memory store, a data folder in a fresh temporary folder and a fixed "today".
class SettingsTest : public ::testing::Test {
protected:
    SettingsEnvironment env() const {
        SettingsEnvironment e;
        e.today = dayNumberFromDate({2026, 3, 31});
        e.screenWidth = 1600;
        e.screenHeight = 900;
        e.pixelsPerInch = 96;
        e.homeFolder = "/home/tester";
        e.editorProgram = "/usr/bin/gedit";
        e.locale = &locale;
        return e;
    }
    SettingsStorage storage() { return SettingsStorage(store, dataDir.str(), env()); }
    std::string option(std::string_view name) const {
        auto it = store.committed().find(platform::MemorySettingsStore::fullName(kOptionsKey, name));
        return it == store.committed().end() ? "<missing>" : it->second;
    }
    std::string programValue(std::string_view name) const {
        auto it = store.committed().find(platform::MemorySettingsStore::fullName(kProgramKey, name));
        return it == store.committed().end() ? "<missing>" : it->second;
    }

    platform::FakeLocaleFormats locale;
    platform::MemorySettingsStore store;
    vsr::test::TempDir dataDir;
};

}  // namespace vsr::settings::test

#pragma once
#include <string>

namespace vsr::platform {

// The text editor a first start offers for "Edit File".
class DefaultEditor {
public:
    virtual ~DefaultEditor() = default;
    // Full path of the editor program, unquoted.
    virtual std::string program() const = 0;
};

class FakeDefaultEditor : public DefaultEditor {
public:
    explicit FakeDefaultEditor(std::string program) : program_(std::move(program)) {}
    std::string program() const override { return program_; }

private:
    std::string program_;
};

}  // namespace vsr::platform

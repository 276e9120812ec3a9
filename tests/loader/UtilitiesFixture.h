#pragma once
#include <memory>
#include <string>

#include "loader/UtilitiesController.h"
#include "tests/loader/PortFixture.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {

// The utilities dialog's controller over the port fixture, with a device folder of its own.
class UtilitiesTest : public PortFixture {
  protected:
    // The computer's device folder as the dialog looks at it; empty unless a test adds one.
    TempFolder devices;

    std::unique_ptr<UtilitiesController> make(AttachedType type) {
        auto u = std::make_unique<UtilitiesController>(timers, *port, loaderSettings, view, type,
                                                       devices.path());
        u->open();
        return u;
    }
    // The entry of `choice` ("Disabled", "COM 3"), whatever device the entry names after it.
    int indexOf(const UtilitiesController& u, const std::string& choice) {
        const auto& choices = u.portChoices();
        for (std::size_t i = 0; i < choices.size(); ++i)
            if (choices[i] == choice || choices[i].rfind(choice + "  ", 0) == 0)
                return static_cast<int>(i);
        return -1;
    }
};

}  // namespace quirn::test

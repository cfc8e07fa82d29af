// A RunUi that records what the run showed and answers the question as told.
#pragma once

#include <string>
#include <vector>

#include "merge/run_ui.h"

namespace merge::testing {

struct RecordingUi : RunUi {
    struct Shown {
        std::string text;
        int flags;
    };
    int answer = mb::ResultYes;
    std::vector<Shown> messages;
    std::vector<std::string> events; // "focus target", "focus source", "progress <caption>"
    std::vector<Shown> outcomes;

    int showMessage(const std::string& text, int flags) override {
        messages.push_back({text, flags});
        return flags == (mb::YesNoCancel | mb::Question | mb::DefaultButton2) ? answer : mb::ResultOk;
    }
    void focusTarget() override { events.push_back("focus target"); }
    void focusSource() override { events.push_back("focus source"); }
    void setProgress(const std::string& caption) override { events.push_back("progress " + caption); }
    void showOutcome(const std::string& text, int flags) override { outcomes.push_back({text, flags}); }
};

} // namespace merge::testing

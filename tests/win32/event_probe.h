#pragma once
// A dialog on the kelvo window's template that only records the user events its front end
// raises, handling those it is told to.

#include <set>
#include <utility>
#include <vector>

#include "app/figure_dialog.h"
#include "platform/dialog.h"

namespace kelvo::test {

class EventProbe : public platform::Dialog {
public:
    EventProbe() : Dialog(app::FigureWindowTemplate()) {}

    // Paint requests come whenever the window shows; the tests look at what a user raised.
    bool OnEvent(platform::Event event, int id) override {
        if (event == platform::Event::Paint) return false;
        events.emplace_back(event, id);
        return handled.count({event, id}) != 0;
    }
    int OnQueryDragIcon() override { return dragIcon; }
    platform::WindowHost& Window() { return Host(); }

    std::vector<std::pair<platform::Event, int>> events;
    std::set<std::pair<platform::Event, int>> handled;
    int dragIcon = 0;

    // The events of one kind, in order.
    int Count(platform::Event event, int id) const {
        int n = 0;
        for (const auto& e : events) n += e.first == event && e.second == id;
        return n;
    }
};

}  // namespace kelvo::test

#include "app/figure_app.h"

#include "app/figure_dialog.h"
#include "figures/group_registry.h"

namespace kelvo::app {
namespace {

bool IsBlank(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

}  // namespace

std::string_view ArgumentText(std::string_view commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t close = commandLine.find('"', 1);
        i = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != '\0' && !IsBlank(commandLine[i])) ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return commandLine.substr(i);
}

std::int32_t InitialGroup(std::string_view argumentText) {
    // A digit names a group by its place in the group list; anything else opens the default.
    if (!argumentText.empty() && argumentText[0] >= '0' && argumentText[0] < '0' + figures::kGroupCount)
        return argumentText[0] - '0';
    return static_cast<std::int32_t>(figures::kDefaultGroup);
}

bool FigureApp::InitInstance(platform::FrontEnd& frontEnd, std::string_view argumentText) {
    FigureDialog dialog;
    dialog.SetInitialGroup(InitialGroup(argumentText));
    frontEnd.RunModal(dialog);
    return false;
}

}  // namespace kelvo::app

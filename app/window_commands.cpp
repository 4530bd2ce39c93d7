// The window's commands beyond its buttons: the menu bar and the context menu built from the
// table of actions, copying, finding a feature, the data folder chosen in the window, the
// manual and "О программе".

#include <algorithm>
#include <vector>

#include "app/data_directory.h"
#include "app/figure_dialog.h"
#include "app/window_actions.h"
#include "platform/ansi_text.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "res/resource.h"
#include "res/version.h"
#include "results/list_copy.h"

namespace kelvo::app {
namespace {

constexpr MenuOf kMenus[] = {MenuOf::File, MenuOf::Edit, MenuOf::Figure, MenuOf::Help};

platform::MenuItem ItemOf(const WindowAction& action, bool enabled) {
    return {action.command, std::string(action.caption), action.shortcut, enabled};
}

}  // namespace

bool FigureDialog::HasTable() const { return table_.IsOpen() && figures::FindGroup(groupList_->GetCurSel()); }
bool FigureDialog::HasFindText() const { return computed_ && !findEdit_->GetText().empty(); }
bool FigureDialog::HasChosenFolder() const { return folderChosen_; }

std::vector<platform::Menu> FigureDialog::MenuBar() const {
    std::vector<platform::Menu> menus;
    for (const MenuOf menu : kMenus) {
        platform::Menu& shown = menus.emplace_back();
        shown.caption = MenuCaption(menu);
        for (const WindowAction& action : WindowActions()) {
            if (action.menu != menu) continue;
            if (action.separatorBefore && !shown.items.empty()) shown.items.emplace_back();
            shown.items.push_back(ItemOf(action, !action.enabled || (this->*action.enabled)()));
            if (action.command != res::kCmdDefaultFolder) continue;
            // "1 /srv/kelvo": the digit a user may type in the open menu.
            for (std::size_t i = 0; i < recentFolders_.size(); ++i)
                shown.items.push_back({res::kCmdRecentFolder + static_cast<int>(i),
                                       std::to_string(i + 1) + " " + platform::PathText(recentFolders_[i]), {}, true});
        }
    }
    return menus;
}

void FigureDialog::UpdateCommands() {
    for (const WindowAction& action : WindowActions())
        Host().EnableCommand(action.command, !action.enabled || (this->*action.enabled)());
}

bool FigureDialog::RunCommand(int command) {
    const int recent = command - res::kCmdRecentFolder;
    if (recent >= 0 && recent < static_cast<int>(recentFolders_.size())) {
        const std::string path = recentFolders_[static_cast<std::size_t>(recent)];
        SwitchDataDirectory(path, true);
        return true;
    }
    const WindowAction* action = FindAction(command);
    if (!action) return false;
    // A shortcut reaches here even where a front end could not grey it: the same rule applies.
    if (!action->enabled || (this->*action->enabled)()) (this->*action->handler)();
    return true;
}

void FigureDialog::OnListContextMenu() {
    std::vector<platform::MenuItem> items;
    for (const int command : ContextMenuCommands()) {
        const WindowAction* action = FindAction(command);
        items.push_back(action ? ItemOf(*action, !action->enabled || (this->*action->enabled)()) : platform::MenuItem{});
    }
    const int chosen = Host().TrackPopupMenu(items);
    if (chosen >= 0 && chosen < static_cast<int>(items.size()) && items[static_cast<std::size_t>(chosen)].enabled)
        RunCommand(items[static_cast<std::size_t>(chosen)].command);
}

void FigureDialog::OnCopyRows() {
    std::vector<int> items;
    for (int item = resultList_->GetNextSelected(-1); item != -1; item = resultList_->GetNextSelected(item))
        items.push_back(item);
    const std::string text = results::CopiedRows(results_, items);
    if (!text.empty()) Host().SetClipboardText(text);
}

void FigureDialog::OnCopyList() {
    if (!computed_) return;
    Host().SetClipboardText(results::CopiedList(results_));
    static constexpr platform::AnsiText kCopied(u8"Таблица скопирована: строк ");
    statusLine_->SetText(std::string(kCopied.view()) + std::to_string(results_.GetSize()) + ".");
}

void FigureDialog::OnExit() {
    if (MayDiscardEdits()) Host().EndDialog(platform::kIdOk);
}

void FigureDialog::OnFind() { Host().FocusControl(res::kIdFindEdit); }

void FigureDialog::OnFindTextChange() {
    if (!findEdit_->GetText().empty()) Find(-1, false);
}

void FigureDialog::OnFindNext() { Find(resultList_->GetNextSelected(-1), false); }

void FigureDialog::OnFindPrevious() { Find(resultList_->GetNextSelected(-1), true); }

void FigureDialog::OnFindClose() {
    findEdit_->SetText("");
    Host().FocusControl(res::kIdResultList);
}

void FigureDialog::Find(int from, bool backwards) {
    const std::string text = findEdit_->GetText();
    if (text.empty() || !computed_) return;
    const int item = results::FindRow(results_, text, from, backwards);
    if (item < 0) {
        static constexpr platform::AnsiText kNotFound(u8"Признак «");
        static constexpr platform::AnsiText kNowhere(u8"» не найден ни в номерах, ни в наименованиях.");
        statusLine_->SetText(std::string(kNotFound.view()) + text + std::string(kNowhere.view()));
        return;
    }
    // As if the user had clicked the row: its value is ready to be changed.
    resultList_->SelectItem(item);
    selectedRow_ = item;
    valueEdit_->SetText(results_[item].cells[2]);
    static constexpr platform::AnsiText kFound(u8"Найден признак ");
    std::string_view number = results_[item].cells[0];
    while (!number.empty() && number.front() == ' ') number.remove_prefix(1);  // the field's padding
    statusLine_->SetText(std::string(kFound.view()) + std::string(platform::ListView::ShownText(number)) + ": " +
                         std::string(platform::ListView::ShownText(results_[item].cells[1])));
}

void FigureDialog::OnChooseDataFolder() {
    static constexpr platform::AnsiText kTitle(u8"Папка данных: в ней папка BD с таблицами признаков");
    std::string path = platform::NativePath(dataDirectory_);
    if (!Host().AskFolderName(kTitle, path)) return;
    SwitchDataDirectory(path, true);
}

void FigureDialog::OnDefaultDataFolder() {
    if (!MayDiscardEdits()) return;
    unsaved_ = false;
    if (!ForgetDataDirectory(settingsName_)) {
        static constexpr platform::AnsiText kNotForgotten(u8"Выбор папки данных не отменён: настройки не записываются.");
        Host().ShowMessage(kNotForgotten, "");
        return;
    }
    folderChosen_ = false;
    SwitchDataDirectory(dataDirectoryOverride_ ? *dataDirectoryOverride_ : ReadMachineDataDirectory(), false);
}

void FigureDialog::SwitchDataDirectory(const std::string& path, bool keep) {
    // The default folder is used as at start-up, tables or not: the status line then says why
    // a table did not open. Only a folder the user picks must hold one.
    if (keep && TablesIn(path).empty()) {
        static constexpr platform::AnsiText kNoTables(u8"В папке «");
        static constexpr platform::AnsiText kWhy(
            u8"» нет таблиц признаков: в её папке BD нет ни одной из таблиц ");
        static constexpr platform::AnsiText kUnchanged(u8". Папка данных не изменена.");
        std::string files;
        for (const figures::GroupEntry& group : figures::Groups()) {
            std::string_view file = group.tableFile;
            file.remove_prefix(std::min(file.size(), file.rfind('\\') + 1));
            files += (files.empty() ? "" : ", ") + std::string(file);
        }
        Host().ShowMessage(std::string(kNoTables.view()) + platform::PathText(path) + std::string(kWhy.view()) + files +
                               std::string(kUnchanged.view()),
                           "");
        return;
    }
    if (!MayDiscardEdits()) return;
    unsaved_ = false;
    if (keep && !KeepDataDirectory(path, settingsName_)) {
        static constexpr platform::AnsiText kNotKept(
            u8"Папка данных не запомнена для следующего запуска: настройки не записываются.");
        Host().ShowMessage(kNotKept, "");
    }
    if (keep) folderChosen_ = !ChosenDataDirectory(settingsName_).empty();
    dataDirectory_ = path;
    recentFolders_ = RecentDataDirectories(settingsName_);
    Host().SetMenuBar(MenuBar());
    OnGroupChange();
}

void FigureDialog::OnManual() {
    const std::string manual = platform::InstalledManual();
    platform::InputFile page;
    if (page.Open(platform::NativePath(manual)) && Host().OpenDocument(manual)) return;
    static constexpr platform::AnsiText kNoManual(u8"Руководство не открыто: ");
    static constexpr platform::AnsiText kMissing(u8" — файла нет или нет программы, которая его покажет.");
    Host().ShowMessage(std::string(kNoManual.view()) + platform::PathText(manual) + std::string(kMissing.view()), "");
}

void FigureDialog::OnAbout() {
    static constexpr platform::AnsiText kVersion(u8"kelvo, версия ");
    static constexpr platform::AnsiText kPurpose(
        u8"Размерные признаки типовых фигур: ясельная группа, девочки, мальчики, женщины, мужчины.");
    static constexpr platform::AnsiText kFolder(u8"Папка данных: ");
    static constexpr platform::AnsiText kSources(
        u8"Откуда значения таблиц: часть взята из опубликованных переписей стандартов, часть — иллюстративные "
        u8"(в списке они серые). Источник каждого признака — в файле .src рядом с таблицей, полные ссылки — "
        u8"в BD\\sources.txt.");
    static constexpr platform::AnsiText kLicence(
        u8"Лицензия: для собственного кода kelvo лицензия ещё не выбрана; таблицы — на условиях своих источников "
        u8"(файл copyright пакета).");
    std::string version;
    for (const int part : res::kVersion) version += (version.empty() ? "" : ".") + std::to_string(part);
    Host().ShowMessage(std::string(kVersion.view()) + version + "\n\n" + std::string(kPurpose.view()) + "\n\n" +
                           std::string(kFolder.view()) + platform::PathText(dataDirectory_) + "\n\n" +
                           std::string(kSources.view()) + "\n\n" + std::string(kLicence.view()),
                       std::string(FindAction(res::kCmdAbout)->caption));
}

}  // namespace kelvo::app

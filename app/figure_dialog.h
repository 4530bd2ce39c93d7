#pragma once
// The kelvo window: five selection lists, the result list, the find field, the value edit
// and three buttons, under a menu bar; every user action is one handler, routed by the
// static event table or, for a menu entry and its shortcut, by the table of actions
// (app/window_actions.h).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/data_directory.h"
#include "figures/group_registry.h"
#include "platform/menu.h"
#include "platform/dialog.h"
#include "results/measurement_files.h"
#include "results/figure_match.h"
#include "results/result_table.h"
#include "tables/feature_table.h"

namespace kelvo::app {

// The window's template with the group list's entries taken from the group registry, ahead
// of the template's own (the age list's).
const platform::DialogTemplate& FigureWindowTemplate();

class FigureDialog : public platform::Dialog {
public:
    FigureDialog();

    void SetInitialGroup(std::int32_t group) { initialGroup_ = group; }
    // A data directory to use instead of the registry's (tests, kelvo-cli --data).
    void SetDataDirectory(std::string path) { dataDirectoryOverride_ = std::move(path); }
    // Whose user settings keep the folder chosen in the window (tests: a name of their own).
    void SetSettingsName(std::string name) { settingsName_ = std::move(name); }
    bool OnEvent(platform::Event event, int id) override;
    bool OnQueryClose() override;
    void OnOutOfMemory() override;
    int OnQueryDragIcon() override { return icon_; }

    // Handlers.
    void OnPaint();
    void OnGroupChange();
    void OnAgeGroupChange();
    void OnHeightChange();
    void OnChestChange();
    void OnThirdChange();
    void OnListClick();
    void OnChangeValue();
    void OnWriteTable();
    void OnCopyRows();
    void OnListContextMenu();
    void OnSaveSizeChart();
    void OnSaveMeasurements();
    void OnFindNearestFigure();
    void OnSurvey();
    void OnPrintSheet();
    void OnSaveSheetPdf();
    void OnPrintChart();
    void OnSaveChartPdf();
    void OnCopyList();
    void OnExit();
    void OnFind();
    void OnFindTextChange();
    void OnFindNext();
    void OnFindPrevious();
    void OnFindClose();
    void OnChooseDataFolder();
    void OnDefaultDataFolder();
    void OnManual();
    void OnAbout();

    // When an action can be chosen: the group's table is open, a figure is computed, a text
    // to find is typed, the user chose a folder.
    bool HasTable() const;
    bool HasFigure() const { return computed_; }
    bool HasFindText() const;
    bool HasChosenFolder() const;

    void RefreshList();

    // State the tests and the command-line tool read.
    const std::string& DataDirectory() const { return dataDirectory_; }
    bool IsComputed() const { return computed_; }
    std::int32_t SelectedRow() const { return selectedRow_; }
    const results::ResultTable& Results() const { return results_; }
    const tables::FeatureTable& Table() const { return table_; }
    // What was wrong with the open table's side file (Windows-1251); empty when nothing.
    const std::string& SourcesProblem() const { return sources_.problem; }
    const figures::KeyFeatureRows& Keys() const { return keys_; }
    // The figure the lists show, as the measurement files describe it.
    results::MeasuredFigure ShownFigure() const;
    // Values the user changed that table.txt does not hold yet.
    bool HasUnsavedEdits() const { return unsaved_; }

    static std::span<const platform::EventEntry<FigureDialog>> EventTable();
    // The menu bar as the window shows it now: every action, the recent folders, greyed
    // where it cannot be chosen.
    std::vector<platform::Menu> MenuBar() const;

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;

private:
    figures::Workspace Work();
    // Runs the step the group in force has for a change of a list other than the group list.
    void DispatchChange(figures::StepOfEvent step);
    void NoGroup();
    // Selects `figure` of the group in force as the user would, list by list.
    void SelectFigure(const results::FigureMatch& figure);
    // The status line after a load: the data folder and the table, or why the table failed.
    void ShowTableStatus(const figures::GroupEntry& group);
    // Asks whether to write the changed values before they are discarded; false when the
    // user cancels or the writing failed, and the values must stay.
    bool MayDiscardEdits();
    // Before a list change discards the rows: false when they stay, with every list put
    // back to the selection the user saw, raising nothing.
    bool MayChangeSelection();
    void RememberSelections();
    // Runs the action of a menu entry or shortcut; false when the command is none of them.
    bool RunCommand(int command);
    // Greys what cannot be chosen now, after every event.
    void UpdateCommands();
    void Find(int from, bool backwards);
    // Makes `path` the data folder when it holds feature tables, after the question about
    // unsaved edits, and keeps it for the next start; the user is told why not.
    void SwitchDataDirectory(const std::string& path, bool keep);
    bool WriteTable();
    // The pages of the sheet or of the chart, laid out on a device's measure; none when
    // there is nothing to lay out (the user has been told).
    std::optional<platform::PageLayout> SheetLayout();
    std::optional<platform::PageLayout> ChartLayout();
    void Print(const std::optional<platform::PageLayout>& layOut);
    void SavePdf(const std::optional<platform::PageLayout>& layOut, std::string_view name);

    std::int32_t initialGroup_ = 3;
    platform::Edit* valueEdit_ = nullptr;
    platform::Edit* findEdit_ = nullptr;
    platform::StaticText* thirdLabel_ = nullptr;
    platform::StaticText* statusLine_ = nullptr;
    platform::ListView* resultList_ = nullptr;
    platform::ComboBox* thirdList_ = nullptr;
    platform::ComboBox* chestList_ = nullptr;
    platform::ComboBox* heightList_ = nullptr;
    platform::ComboBox* ageList_ = nullptr;
    platform::ComboBox* groupList_ = nullptr;
    int icon_;
    std::string dataDirectory_;
    bool computed_ = false;
    tables::FeatureTable table_;
    tables::TableSources sources_;
    figures::KeyFeatureRows keys_{};
    results::ResultTable results_;
    std::int32_t selectedRow_ = -1;
    std::optional<std::string> dataDirectoryOverride_;
    std::string settingsName_{kSettingsName};
    std::vector<std::string> recentFolders_;
    bool folderChosen_ = false;  // the user's choice is kept: read once, not at every event
    bool unsaved_ = false;
    std::array<int, 5> shownSelections_{-1, -1, -1, -1, -1};  // group, age, T1, T16, third
};

}  // namespace kelvo::app

#pragma once
// "Подобрать фигуру": a person's measurements in, the three typical figures of the group in
// force nearest to them out, and one of them chosen for the kelvo window to show.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "figures/group_registry.h"
#include "figures/nearest_figure.h"
#include "platform/ansi_text.h"
#include "platform/dialog.h"
#include "results/figure_match.h"
#include "results/result_table.h"

namespace kelvo::app {

class NearestFigureDialog : public platform::Dialog {
public:
    // The entry of the kelvo window's context menu that opens the search.
    static constexpr platform::AnsiText kMenuCaption{u8"Подобрать фигуру…"};

    // Searches `group` under `dataDirectory`; girls and boys start in age group `age`. The
    // further features offered are the rows of `shown`, the figure the window shows.
    NearestFigureDialog(std::string dataDirectory, const figures::GroupEntry& group, int age,
                        const results::ResultTable& shown);

    bool OnEvent(platform::Event event, int id) override;
    void OnSearch();
    void OnChoose();
    void OnFeatureClick();
    void OnSetFeatureValue();
    void OnFromFile();

    // The figure chosen; none unless the user chose one.
    const std::optional<results::FigureMatch>& Chosen() const { return chosen_; }

    static std::span<const platform::EventEntry<NearestFigureDialog>> EventTable();

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;

private:
    bool ReadPerson(figures::PersonMeasurements& person, std::string& message);
    void ShowFound();

    // A further feature as the list shows it, with the person's value once given.
    struct FeatureRow {
        int number;
        std::string numberText, name, figureValue, personValue;
    };

    std::string dataDirectory_;
    const figures::GroupEntry& group_;
    int age_;
    platform::Edit* height_ = nullptr;
    platform::Edit* chest_ = nullptr;
    platform::Edit* third_ = nullptr;
    platform::StaticText* thirdLabel_ = nullptr;
    platform::ComboBox* ageList_ = nullptr;
    platform::ListView* features_ = nullptr;
    platform::Edit* featureValue_ = nullptr;
    std::vector<FeatureRow> rows_;
    platform::ListView* results_ = nullptr;
    platform::Button* choose_ = nullptr;
    std::vector<std::string> ageCaptions_;
    std::vector<results::FigureMatch> found_;
    std::optional<results::FigureMatch> chosen_;
};

}  // namespace kelvo::app

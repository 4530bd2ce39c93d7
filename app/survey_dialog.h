#pragma once
// "Размерно-ростовочный ассортимент": a body survey read for the group in force — its columns
// chosen from its header, each person given the nearest figure — with the figures' people and
// shares, a heat map over heights and chest girths, the K sizes to make, and the summary as
// CSV and as a PDF report. It reads the survey through the same passes as kelvo-cli --survey.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "figures/group_registry.h"
#include "figures/survey_pass.h"
#include "platform/dialog.h"
#include "results/survey_pages.h"

namespace kelvo::app {

class SurveyDialog : public platform::Dialog {
public:
    // Reads surveys of `group` against the tables under `dataDirectory`; girls and boys in
    // age group `age`, or in every one with figures::kAnyAge.
    SurveyDialog(std::string dataDirectory, const figures::GroupEntry& group, int age);

    bool OnEvent(platform::Event event, int id) override;
    void OnChooseFile();
    void OnRun();
    void OnThirdFilter();
    void OnSizes();
    void OnSaveCsv();
    void OnSavePdf();

    static std::span<const platform::EventEntry<SurveyDialog>> EventTable();
    // The heat map as shown, for the tests.
    const results::SurveyHeatMap& HeatMap() const { return map_; }

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;

private:
    bool Progress(std::int64_t done, std::int64_t total);
    void ShowHeatMap();
    std::string Summary() const;

    std::string dataDirectory_;
    const figures::GroupEntry& group_;
    int age_;
    std::string path_;  // the survey, in the platform's form
    figures::SurveyLayout header_;
    std::optional<figures::SurveyPass> pass_;
    std::vector<results::SurveyRow> made_, frequent_;
    results::SurveyHeatMap map_;
    std::vector<double> thirds_;  // the filter's entries after "all"
    platform::ComboBox* columns_[3] = {};
    platform::ComboBox* units_ = nullptr;
    platform::ComboBox* thirdFilter_ = nullptr;
    platform::ListView* figures_ = nullptr;
    platform::ListView* sizes_ = nullptr;
    platform::Picture* heatMap_ = nullptr;
    platform::StaticText* fileName_ = nullptr;
    platform::StaticText* status_ = nullptr;
    platform::Edit* count_ = nullptr;
};

}  // namespace kelvo::app

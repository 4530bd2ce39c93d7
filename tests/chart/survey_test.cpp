// Many people's nearest figures at once: the grid's search, which looks at a few figures
// only, equals the full search's first figure for every person of random populations, at
// the grid's edges and beyond them, with ties between figures and with further features.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "figures/figure_grid.h"
#include "figures/group_registry.h"
#include "figures/nearest_figure.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using figures::FigureGrid;
using figures::PersonMeasurements;

struct Population {
    figures::FigureGroup group;
    int age;
    std::vector<int> features;
    bool bundled = false;  // the bundled tables' grids, of hundreds of figures, else the fixtures'
    int people = 400;
};

// A person near the grid, on it (ties between neighbours: a value halfway between two
// entries), at its edges or beyond them, some measurements left out.
PersonMeasurements RandomPerson(std::mt19937& random, const FigureGrid& grid, const std::vector<int>& features) {
    const auto& all = grid.Figures();
    const auto& figure = all[std::uniform_int_distribution<std::size_t>(0, all.size() - 1)(random)];
    const double steps[3] = {6, 4, grid.HasThird() ? 4.0 : 0.0};
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_real_distribution<double> spread(-1.5, 1.5);
    const auto value = [&](int d) -> std::optional<double> {
        switch (kind(random)) {
            case 0: return std::nullopt;
            case 1: return figure.leading[d];                             // on an entry
            case 2: return figure.leading[d] + steps[d] / 2;              // halfway: a tie
            case 3: return figure.leading[d] + 2.5 * steps[d];            // beyond the edge, perhaps
            default: return std::round((figure.leading[d] + spread(random) * steps[d]) * 10) / 10;
        }
    };
    PersonMeasurements person;
    person.height = value(0);
    person.chest = value(1);
    if (grid.HasThird()) person.third = value(2);
    if (!person.height && !person.chest && !person.third) person.height = figure.leading[0];
    for (std::size_t i = 0; i < features.size(); ++i)
        if (kind(random) < 7)
            person.features.push_back({features[i], std::round((figure.values[i] + spread(random) * 3) * 10) / 10});
    return person;
}

class Survey : public ::testing::TestWithParam<Population> {
protected:
    void SetUp() override { test::WriteAllGroupTables(dir.Path()); }
    test::TempDir dir;
};

TEST_P(Survey, TheGridsNearestFigureIsTheFullSearchsFirstForEveryPerson) {
    const Population& population = GetParam();
    FigureGrid grid;
    std::string message;
    const std::string data = population.bundled ? std::string(KELVO_BUNDLED_DATA) : dir.DataDirectory();
    ASSERT_TRUE(grid.Load(data, population.group, population.age, population.features, message)) << message;
    std::mt19937 random(20261209u + static_cast<unsigned>(population.group) * 7 + static_cast<unsigned>(population.age + 1));
    int beyond = 0, ties = 0;
    for (int n = 0; n < population.people; ++n) {
        const PersonMeasurements person = RandomPerson(random, grid, population.features);
        const std::optional<double> leading[3] = {person.height, person.chest, person.third};
        std::vector<std::optional<double>> features(population.features.size());
        for (const figures::Measurement& m : person.features)
            for (std::size_t i = 0; i < population.features.size(); ++i)
                if (population.features[i] == m.feature) features[i] = m.value;
        const FigureGrid::Nearest nearest = grid.Find(leading, features);
        std::vector<results::FigureMatch> full;
        const bool found = figures::FindNearestFigures(data, population.group, population.age, person, full, message);
        if (!found) {
            // Only a measurement beyond every figure is refused; the grid gives none then.
            EXPECT_EQ(nearest.figure, -1) << message;
            ++beyond;
            continue;
        }
        ASSERT_GE(nearest.figure, 0);
        const FigureGrid::Figure& chosen = grid.Figures()[static_cast<std::size_t>(nearest.figure)];
        EXPECT_EQ(nearest.distance, full[0].distance) << n;
        EXPECT_EQ(chosen.height, full[0].height) << n;
        EXPECT_EQ(chosen.chest, full[0].chest) << n;
        EXPECT_EQ(chosen.third, full[0].third) << n;
        EXPECT_EQ(chosen.age, population.age == figures::kAnyAge ? full[0].age : chosen.age) << n;
        ties += full.size() > 1 && full[1].distance == full[0].distance;
    }
    // The population reaches beyond the grid and holds ties, or the test proves less.
    EXPECT_GT(beyond, 0);
    EXPECT_GT(ties, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, Survey,
                         ::testing::Values(Population{figures::FigureGroup::Nursery, -1, {}},
                                           Population{figures::FigureGroup::Girls, 1, {}},
                                           Population{figures::FigureGroup::Boys, figures::kAnyAge, {2}},
                                           Population{figures::FigureGroup::Women, -1, {2}},
                                           Population{figures::FigureGroup::Men, -1, {}},
                                           Population{figures::FigureGroup::Women, -1, {13, 15}, true, 120},
                                           Population{figures::FigureGroup::Men, -1, {}, true, 120},
                                           Population{figures::FigureGroup::Girls, figures::kAnyAge, {}, true, 120}));

}  // namespace
}  // namespace kelvo

// The dBASE III reader: what it accepts, what it refuses, and what each field read returns.

#include <gtest/gtest.h>

#include "feature_table.h"
#include "fixture_tables.h"
#include "temp_dir.h"

namespace kelvo {
namespace {

using tables::FeatureTable;

TEST(FeatureTableOpen, ReadsFixtureTable) {
    test::TempDir dir;
    test::WriteGroupTable(dir.Path(), "boys.dbf", test::ChildTable());
    FeatureTable table;
    ASSERT_TRUE(table.Open(dir.DataDirectory() + "\\BD\\boys.dbf"));
    EXPECT_EQ(table.RecordCount(), 4);
    EXPECT_EQ(table.ColumnCount(), 17);
    std::string text;
    EXPECT_TRUE(table.ReadField(0, 1, text));
    EXPECT_EQ(text, "       1");
}

}  // namespace
}  // namespace kelvo

// Taking a row's value into the edit, changing it, copying rows and writing table.txt.

#include <filesystem>

#include "platform/ansi_text.h"
#include "platform/file.h"
#include "tests/behaviour/window_fixture.h"

namespace kelvo::test {
namespace {

using res::kIdResultList, res::kIdValueEdit, res::kIdChangeValue, res::kIdWriteTable, res::kIdHeightList;

std::string TableText(const TempDir& dir) { return ReadFileBytes(dir / "table.txt"); }

// Women at 134/84, hip 76, from the fixture tables: the four rows as table.txt holds them.
constexpr const char* kWomenFirstFigure =
    "       1 134.0\r\n      16 42.0\r\n       2 27.4\r\n      19 76.0\r\n";

TEST_F(WindowTest, ClickChangeAndExport) {
    Open(kWomen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, kFeatureRow));
    EXPECT_EQ(window->Text(kIdValueEdit), Value());
    EXPECT_EQ(dialog.SelectedRow(), kFeatureRow);
    ASSERT_TRUE(window->Type(kIdValueEdit, "160"));
    ASSERT_TRUE(window->Press(kIdChangeValue));
    EXPECT_EQ(Value(), "160");
    EXPECT_EQ(window->FirstSelectedItem(kIdResultList), -1);  // the list was rebuilt
    ASSERT_TRUE(window->Press(kIdWriteTable));
    EXPECT_TRUE(window->Messages().empty());
    EXPECT_EQ(TableText(dir), "       1 134.0\r\n      16 42.0\r\n       2 160\r\n      19 76.0\r\n");
    EXPECT_TRUE(window->IsOpen());
}

TEST_F(WindowTest, ExportWritesEveryRowWithCarriageReturnLineFeed) {
    Open(kWomen);
    ASSERT_TRUE(window->Press(kIdWriteTable));
    EXPECT_EQ(TableText(dir), kWomenFirstFigure);
    EXPECT_EQ(window->Text(res::kIdStatusLine), std::string(platform::AnsiText(u8"Записано 4 значений: ").view()) +
                                                    platform::PathText(dir.DataDirectory() + "\\table.txt"));
}

TEST_F(WindowTest, EnterInTheValueEditStoresTheValueAndKeepsTheWindowOpen) {
    Open(kMen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 1));
    ASSERT_TRUE(window->Type(kIdValueEdit, "51.5"));
    ASSERT_TRUE(window->PressEnter());
    EXPECT_TRUE(window->IsOpen());
    EXPECT_EQ(Value(1), "51.5");
}

TEST_F(WindowTest, EnterElsewhereAndEscapeEndTheRun) {
    Open(kMen);
    ASSERT_TRUE(window->PressEnter());  // the focus is on the default button "Выход"
    EXPECT_FALSE(window->IsOpen());
    window.reset();
    app::FigureDialog other;
    other.SetDataDirectory(dir.DataDirectory());
    auto second = OpenTestWindow(other);
    ASSERT_TRUE(second->PressEscape());
    EXPECT_FALSE(second->IsOpen());
}

TEST_F(WindowTest, ClickOnEmptyAreaKeepsThePreviousRow) {
    Open(kWomen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 1));
    ASSERT_TRUE(window->ClickEmptyArea(kIdResultList));
    EXPECT_EQ(window->FirstSelectedItem(kIdResultList), -1);
    EXPECT_EQ(dialog.SelectedRow(), 1);
    ASSERT_TRUE(window->Type(kIdValueEdit, "77"));
    ASSERT_TRUE(window->Press(kIdChangeValue));
    EXPECT_EQ(Value(1), "77");  // the row changed although none was highlighted
}

TEST_F(WindowTest, ArrowKeysFillTheValueAsAClickDoes) {
    Open(kWomen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 0));
    ASSERT_TRUE(window->MoveSelection(kIdResultList, 2));
    EXPECT_EQ(window->FirstSelectedItem(kIdResultList), 2);
    EXPECT_EQ(dialog.SelectedRow(), 2);
    EXPECT_EQ(window->Text(kIdValueEdit), Value(2));
    ASSERT_TRUE(window->MoveSelection(kIdResultList, -1));
    EXPECT_EQ(dialog.SelectedRow(), 1);
    ASSERT_TRUE(window->Type(kIdValueEdit, "42"));
    ASSERT_TRUE(window->PressEnter());
    EXPECT_EQ(Value(1), "42");
}

TEST_F(WindowTest, SeveralSelectedRowsTakeTheLowest) {
    Open(kWomen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 3));
    ASSERT_TRUE(window->ClickRow(kIdResultList, 1, true));
    EXPECT_EQ(dialog.SelectedRow(), 1);
    EXPECT_EQ(window->Text(kIdValueEdit), Value(1));
}

TEST_F(WindowTest, OnlyNumbersAreStoredAndACommaBecomesAPoint) {
    Open(kWomen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 0));
    const std::string before = Value(0);
    for (const char* refused : {"", "abc123456789", "1.2,3", "-", "12 5"}) {
        ASSERT_TRUE(window->Type(kIdValueEdit, refused));
        ASSERT_TRUE(window->PressEnter());
        EXPECT_EQ(Value(0), before) << refused;
        EXPECT_EQ(window->Text(kIdValueEdit), refused);  // kept for correction
    }
    EXPECT_EQ(window->Messages().size(), 5u);
    EXPECT_TRUE(window->IsOpen());
    ASSERT_TRUE(window->Type(kIdValueEdit, " -88,5 "));
    ASSERT_TRUE(window->Press(kIdChangeValue));
    EXPECT_EQ(Value(0), "-88.5");
    ASSERT_TRUE(window->Press(kIdWriteTable));
    EXPECT_EQ(TableText(dir).substr(0, 16), "       1 -88.5\r\n");
}

TEST_F(WindowTest, TableWithoutRecordsExportsAnEmptyFile) {
    WriteAllGroupTables(dir.Path());
    WriteGroupTable(dir.Path(), "male.dbf", FeatureTableSpec(15, {}));
    WriteFileBytes(dir / "table.txt", "old content\r\n");
    Open(kMen, false);
    EXPECT_TRUE(dialog.IsComputed());
    EXPECT_EQ(Rows(), 0);
    ASSERT_TRUE(window->Press(kIdWriteTable));
    EXPECT_TRUE(window->Messages().empty());
    EXPECT_EQ(TableText(dir), "");
}

TEST_F(WindowTest, ChangeDoesNothingAfterAListChangeUntilARowIsClicked) {
    Open(kWomen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 1));
    ASSERT_TRUE(Choose(kIdHeightList, 1));
    EXPECT_EQ(dialog.SelectedRow(), -1);
    EXPECT_EQ(window->Text(kIdValueEdit), "");
    const std::string before = Value(1);
    ASSERT_TRUE(window->Type(kIdValueEdit, "999"));
    ASSERT_TRUE(window->Press(kIdChangeValue));
    EXPECT_EQ(Value(1), before);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 1));
    ASSERT_TRUE(window->Type(kIdValueEdit, "999"));
    ASSERT_TRUE(window->Press(kIdChangeValue));
    EXPECT_EQ(Value(1), "999");
}

TEST_F(WindowTest, ExportIntoAMissingFolderSaysSoAndWritesNothing) {
    Open(kWomen);
    std::filesystem::remove_all(dir.Path());  // the folder vanished after the figure was computed
    ASSERT_TRUE(window->Press(kIdWriteTable));
    ASSERT_EQ(window->Messages().size(), 1u);
    EXPECT_NE(window->Messages()[0].find("table.txt"), std::string::npos);
    EXPECT_TRUE(window->IsOpen());
}

class UnsavedEditsTest : public WindowTest {
protected:
    void Edit(int item, const char* value) {
        ASSERT_TRUE(window->ClickRow(kIdResultList, item));
        ASSERT_TRUE(window->Type(kIdValueEdit, value));
        ASSERT_TRUE(window->Press(kIdChangeValue));
    }
    bool Marked(int item) { return window->IsItemMarked(kIdResultList, item); }
};

TEST_F(UnsavedEditsTest, EditedRowsAreMarkedAndEveryWayToCloseAsks) {
    Open(kWomen);
    Edit(1, "51.5");
    EXPECT_TRUE(Marked(1));
    EXPECT_FALSE(Marked(0));
    EXPECT_EQ(Cell(1, 2), "51.5");  // the mark changes no text
    // Отмена, for each way to close: the window stays with the value.
    ASSERT_TRUE(window->PressEscape());
    ASSERT_TRUE(window->PressCloseBox());
    ASSERT_TRUE(window->Press(res::kIdExit));
    ASSERT_TRUE(window->PressEnter());  // on "Выход", focused by the click
    EXPECT_TRUE(window->IsOpen());
    ASSERT_EQ(window->Questions().size(), 4u);
    EXPECT_EQ(window->Questions()[0], platform::AnsiText(u8"Записать изменённые значения в table.txt?").view());
    EXPECT_EQ(Value(1), "51.5");
    EXPECT_FALSE(std::filesystem::exists(dir / "table.txt"));
    // Да with the folder gone: the failure is told and the values stay.
    window->AnswerQuestions(platform::Answer::Yes);
    std::filesystem::remove_all(dir.Path());
    ASSERT_TRUE(window->PressEscape());
    EXPECT_TRUE(window->IsOpen());
    EXPECT_EQ(window->Messages().size(), 1u);
    std::filesystem::create_directories(dir.Path());
    ASSERT_TRUE(window->PressCloseBox());
    EXPECT_FALSE(window->IsOpen());
    EXPECT_NE(TableText(dir).find("      16 51.5\r\n"), std::string::npos);
}

TEST_F(UnsavedEditsTest, NoClosesWithoutWritingAndWrittenValuesAskNothing) {
    Open(kMen);
    Edit(1, "51,5");
    ASSERT_TRUE(window->Press(kIdWriteTable));
    EXPECT_TRUE(Marked(1));  // still not the computed value
    ASSERT_TRUE(window->PressEscape());
    EXPECT_FALSE(window->IsOpen());
    EXPECT_TRUE(window->Questions().empty());
    window.reset();

    app::FigureDialog other;
    other.SetDataDirectory(dir.DataDirectory());
    auto second = OpenTestWindow(other);
    second->AnswerQuestions(platform::Answer::No);
    ASSERT_TRUE(second->ClickRow(kIdResultList, 0));
    ASSERT_TRUE(second->Type(kIdValueEdit, "1"));
    ASSERT_TRUE(second->Press(kIdChangeValue));
    ASSERT_TRUE(second->Press(res::kIdExit));
    EXPECT_FALSE(second->IsOpen());
    EXPECT_EQ(second->Questions().size(), 1u);
    EXPECT_EQ(TableText(dir).find("       1 1\r\n"), std::string::npos);
}

TEST_F(UnsavedEditsTest, AListChangeThatDiscardsEditsAsksAndCancelPutsTheSelectionBack) {
    Open(kWomen);
    Edit(1, "51.5");
    const int height = Selection(kIdHeightList);
    Choose(kIdHeightList, height + 1);  // Отмена
    EXPECT_EQ(Selection(kIdHeightList), height);
    Choose(res::kIdGroupList, kMen);
    EXPECT_EQ(Selection(res::kIdGroupList), kWomen);
    EXPECT_EQ(Value(1), "51.5");
    EXPECT_TRUE(Marked(1));
    EXPECT_EQ(window->Questions().size(), 2u);

    window->AnswerQuestions(platform::Answer::Yes);
    ASSERT_TRUE(Choose(kIdHeightList, height + 1));
    EXPECT_NE(TableText(dir).find("      16 51.5\r\n"), std::string::npos);
    EXPECT_NE(Value(1), "51.5");
    EXPECT_FALSE(Marked(1));

    Edit(1, "52");
    window->AnswerQuestions(platform::Answer::No);
    ASSERT_TRUE(Choose(res::kIdGroupList, kMen));
    EXPECT_EQ(Selection(res::kIdGroupList), kMen);
    EXPECT_FALSE(dialog.HasUnsavedEdits());
    ASSERT_TRUE(Choose(kIdHeightList, 1));  // nothing edited: nothing asked
    EXPECT_EQ(window->Questions().size(), 4u);
}

}  // namespace
}  // namespace kelvo::test

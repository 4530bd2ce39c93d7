// What only the Qt window has to get right: its layout in dialog units, which Qt signals
// and keys become which events, the default button, the clipboard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/figure_dialog.h"
#include "platform/headless/headless_window.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_text.h"
#include "res/figure_dialog_template.h"
#include "res/resource.h"
#include "tests/qt/qt_test_window.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {
namespace {

using namespace res;
using platform::Event;
using platform::qt::QtWindow;
using platform::qt::ToQString;

// The figure window that also records every event the front end delivers, with what the
// result list had selected at that moment.
class RecordingDialog : public app::FigureDialog {
public:
    struct Seen {
        Event event;
        int id;
        int selected;
        bool operator==(const Seen&) const = default;
    };

    RecordingDialog(const TempDir& dir, int group) {
        SetDataDirectory(dir.DataDirectory());
        SetInitialGroup(group);
    }
    bool OnEvent(Event event, int id) override {
        seen.push_back({event, id, selection ? selection() : -1});
        return FigureDialog::OnEvent(event, id);
    }

    std::vector<Seen> seen;
    std::function<int()> selection;
};

class QtWindowFixture : public ::testing::Test {
protected:
    QtWindowFixture() { WriteAllGroupTables(dir_.Path()); }

    // Opens the window on the group; `selection` reports the list's first selected row.
    QtTestWindow& Open(int group = 3) {
        dialog_ = std::make_unique<RecordingDialog>(dir_, group);
        window_ = std::make_unique<QtTestWindow>(*dialog_);
        dialog_->selection = [this] { return window_->FirstSelectedItem(kIdResultList); };
        return *window_;
    }
    QtWindow& Window() { return window_->Window(); }
    template <class W>
    W& Widget(int id) {
        return *qobject_cast<W*>(Window().Widget(id));
    }

    TempDir dir_;
    std::unique_ptr<RecordingDialog> dialog_;
    std::unique_ptr<QtTestWindow> window_;
};

// Where the window puts its controls and what they show; which user actions become which
// events; the keys that end a run or do not; the questions it asks.
class QtWindowLayout : public QtWindowFixture {};
class QtWindowEvents : public QtWindowFixture {};
class QtWindowKeys : public QtWindowFixture {};

std::string Ansi(const char8_t* utf8) { return platform::Utf8ToAnsi(reinterpret_cast<const char*>(utf8)); }

TEST_F(QtWindowLayout, ControlsSitAtTheirTemplateRectangles) {
    Open();
    const platform::DialogTemplate& templ = FigureDialogTemplate();
    const QSize units = platform::qt::DialogBaseUnits(Window().font());
    // Windows' own "MS Sans Serif" gives 6 x 13; the DejaVu Sans it resolves to here 7 x 13.
    if (QFontInfo(Window().font()).family() == "DejaVu Sans") {
        EXPECT_EQ(units, QSize(7, 13));
    }
    ASSERT_GE(units.width(), 4);
    ASSERT_GE(units.height(), 8);
    const auto x = [&](int v) { return platform::DialogUnitsToPixelsX(v, units.width()); };
    const auto y = [&](int v) { return platform::DialogUnitsToPixelsY(v, units.height()); };

    // The menu bar above the controls, which keep the template's client area.
    const int bar = Window().MenuBarHeight();
    EXPECT_GT(bar, 10);
    EXPECT_EQ(Window().size(), QSize(x(templ.width), y(templ.height) + bar));
    EXPECT_EQ(Window().minimumSize(), Window().size());
    EXPECT_TRUE(Window().windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Window().windowTitle(), "kelvo");
    for (std::size_t i = 0; i < templ.controls.size(); ++i) {
        const platform::ControlTemplate& c = templ.controls[i];
        const QWidget* widget = Window().WidgetAt(i);
        SCOPED_TRACE(ToQString(c.caption).toStdString() + " " + std::to_string(c.id));
        const QRect rect = widget->geometry();
        EXPECT_EQ(rect.topLeft(), QPoint(x(c.x), y(c.y) + bar));
        EXPECT_EQ(rect.width(), x(c.width));
        if (c.kind == platform::ControlKind::ComboBox) {
            // Closed at its own height; the template's height holds the dropped-down list.
            EXPECT_EQ(rect.height(), widget->sizeHint().height());
            EXPECT_LT(rect.height(), y(c.height));
        } else {
            EXPECT_EQ(rect.height(), y(c.height));
        }
    }
    EXPECT_TRUE(Widget<QPushButton>(kIdExit).isDefault());
}

TEST_F(QtWindowLayout, AGrownWindowGivesItsRoomToTheListAndNeverShrinksBelowTheTemplate) {
    Open();
    const auto geometries = [this] {
        std::map<int, QRect> placed;
        for (const int id : {kIdGroupList, kIdThirdList, kIdResultList, kIdValueEdit, kIdWriteTable, kIdExit})
            placed[id] = Window().Widget(id)->geometry();
        return placed;
    };
    auto& header = *Widget<QTreeView>(kIdResultList).header();
    const auto before = geometries();
    const QSize minimum = Window().size();
    const int names = header.sectionSize(1), values = header.sectionSize(2);
    constexpr int dx = 150, dy = 90;
    Window().resize(minimum + QSize(dx, dy));
    QCoreApplication::processEvents();
    auto after = geometries();
    EXPECT_EQ(after[kIdResultList], before.at(kIdResultList).adjusted(0, 0, dx, dy));
    EXPECT_EQ(header.sectionSize(1), names + dx);
    EXPECT_EQ(header.sectionSize(2), values);
    EXPECT_EQ(after[kIdWriteTable], before.at(kIdWriteTable).translated(0, dy));
    EXPECT_EQ(after[kIdExit], before.at(kIdExit).translated(0, dy));
    EXPECT_EQ(after[kIdValueEdit], before.at(kIdValueEdit).translated(dx, dy));
    EXPECT_EQ(after[kIdGroupList], before.at(kIdGroupList));
    EXPECT_EQ(after[kIdThirdList], before.at(kIdThirdList));

    Window().resize(minimum - QSize(50, 50));
    QCoreApplication::processEvents();
    EXPECT_EQ(Window().size(), minimum);
    EXPECT_EQ(geometries(), before);
    EXPECT_EQ(header.sectionSize(1), names);
}

TEST_F(QtWindowLayout, TheProgramsWindowComesBackAtTheSizeItClosedWith) {
    TempDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settings.Path().string()));
    const auto run = [&](const std::function<void(QtWindow&)>& act) {
        app::FigureDialog dialog;
        dialog.SetDataDirectory(dir_.DataDirectory());
        platform::qt::QtFrontEnd frontEnd;
        frontEnd.SetShownHook([&](QtWindow& window) {
            act(window);
            window.EndDialog(platform::kIdCancel);
        });
        frontEnd.RunModal(dialog);
    };
    QSize minimum, grown;
    run([&](QtWindow& window) {
        minimum = window.size();
        window.resize(minimum + QSize(120, 80));
        grown = window.size();
    });
    QSize reopened;
    run([&](QtWindow& window) {
        reopened = window.size();
        window.showMaximized();
    });
    EXPECT_EQ(reopened, grown);
    bool maximised = false;
    run([&](QtWindow& window) { maximised = window.isMaximized(); });
    EXPECT_TRUE(maximised);
}

TEST_F(QtWindowKeys, TabFollowsTheLayoutFromTheGroupList) {
    Open(1);  // girls: every list enabled
    const std::vector<int> tabStops = {kIdGroupList,  kIdAgeList,      kIdHeightList, kIdChestList,
                                       kIdThirdList,  kIdResultList,   kIdFindEdit,   kIdValueEdit,
                                       kIdChangeValue, kIdWriteTable, kIdExit};
    std::vector<int> order;
    for (std::size_t presses = 0; presses <= tabStops.size(); ++presses) {
        QWidget* focus = QApplication::focusWidget();
        const auto id = std::find_if(tabStops.begin(), tabStops.end(), [&](int i) { return Window().Widget(i) == focus; });
        order.push_back(id == tabStops.end() ? -1 : *id);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    std::vector<int> expected = tabStops;
    expected.push_back(kIdGroupList);
    EXPECT_EQ(order, expected);
}

TEST_F(QtWindowLayout, CaptionsAreExplainedByTooltipsAndQtsOwnDialogsSpeakRussian) {
    Open();
    std::map<QString, QString> tips;
    for (QLabel* label : Window().findChildren<QLabel*>()) tips[label->text()] = label->toolTip();
    EXPECT_EQ(tips["T1"], QStringLiteral("Рост"));
    EXPECT_EQ(tips["T16"], QStringLiteral("Обхват груди третий"));
    EXPECT_TRUE(Window().Widget(kIdThirdLabel)->toolTip().contains(QStringLiteral("обхват бёдер")));
    const auto* header = Widget<QTreeView>(kIdResultList).model();
    EXPECT_TRUE(header->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString().contains(QStringLiteral("6 см")));
    EXPECT_TRUE(header->headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString().contains(QStringLiteral("+4 см")));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}

TEST_F(QtWindowLayout, ResultColumnsHaveTheirCaptionsWidthsAndNoSorting) {
    Open();
    const auto& list = Widget<QTreeView>(kIdResultList);
    const std::vector<std::pair<const char8_t*, int>> columns = {
        {u8"Номер", 50}, {u8"Наименование размерного признака", 340}, {u8"Значение", 67},
        {u8"М/Рост", 64}, {u8"М/Размер", 67}};
    ASSERT_EQ(list.model()->columnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list.model()->headerData(c, Qt::Horizontal).toString(),
                  QString::fromUtf8(reinterpret_cast<const char*>(columns[c].first)));
        EXPECT_EQ(list.header()->sectionSize(c), columns[c].second);
        EXPECT_EQ(list.header()->logicalIndex(c), c);
    }
    EXPECT_FALSE(list.isSortingEnabled());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    // Names keep their table padding as cells, but are shown without it.
    const QModelIndex name = list.model()->index(2, 1);
    EXPECT_EQ(name.data().toString(), QString::fromUtf8(reinterpret_cast<const char*>(u8"Обхват шеи")));
    EXPECT_TRUE(name.data(platform::qt::QtListView::kTextRole).toString().endsWith(QLatin1String("  ")));
    EXPECT_EQ(Widget<QLineEdit>(kIdValueEdit).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

// Every label's and button's caption of `window` fits its control.
void ExpectCaptionsFit(const QtWindow& window) {
    const QFontMetrics metrics(window.font());
    for (QLabel* label : window.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width());
        EXPECT_LE(metrics.height(), label->contentsRect().height());
    }
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->text().toStdString());
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        EXPECT_LE(metrics.horizontalAdvance(button->text()) + 2 * margin, button->width());
    }
}

TEST_F(QtWindowLayout, EveryCaptionAndEntryFitsItsControl) {
    QtTestWindow& window = Open(1);  // girls: every list filled
    const QFontMetrics metrics(Window().font());
    ExpectCaptionsFit(Window());
    for (QComboBox* combo : Window().findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.frame = true;
        const QRect field =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        ASSERT_GT(combo->count(), 0);
        for (int i = 0; i < combo->count(); ++i) {
            SCOPED_TRACE(combo->itemText(i).toStdString());
            EXPECT_LE(metrics.horizontalAdvance(combo->itemText(i)), field.width());
        }
    }
    const QHeaderView& header = *Widget<QTreeView>(kIdResultList).header();
    const int headerMargin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    for (int c = 0; c < 5; ++c) {
        const QString caption = header.model()->headerData(c, Qt::Horizontal).toString();
        SCOPED_TRACE(caption.toStdString());
        EXPECT_LE(header.fontMetrics().horizontalAdvance(caption) + 2 * headerMargin, header.sectionSize(c));
    }
    EXPECT_GT(window.ItemCount(kIdResultList), 0);
}

// The figure search, opened from the context menu, is a second window over the first: the
// figure chosen there is chosen in the window's lists and computed as by hand.
TEST_F(QtWindowEvents, TheFigureSearchChoosesItsFigureInTheWindow) {
    QtTestWindow& window = Open(2);  // boys
    std::vector<std::string> row;
    bool searched = false;
    window.SetModalUser([&](QtWindow& running) {
        searched = true;
        EXPECT_EQ(running.parentWidget(), &Window());
        ExpectCaptionsFit(running);
        QtTestWindow search(running);
        EXPECT_FALSE(search.IsEnabled(kIdNearestChoose));
        // The further feature from the list: its row, the value, "Задать".
        search.ClickRow(kIdNearestFeatureList, 0);
        search.Type(kIdNearestFeatureValue, "59");
        search.Press(kIdNearestSetValue);
        EXPECT_EQ(search.ItemText(kIdNearestFeatureList, 0, 3), "59");
        search.Type(kIdNearestHeight, "141");
        search.Type(kIdNearestChest, "70,5");
        search.Choose(kIdNearestAgeList, 0);  // any age group
        search.PressEnter();
        EXPECT_EQ(search.ItemCount(kIdNearestResults), 3);
        for (int column = 0; column < 4; ++column) row.push_back(search.ItemText(kIdNearestResults, 1, column));
        search.ClickRow(kIdNearestResults, 1);
        search.Press(kIdNearestChoose);
        EXPECT_FALSE(search.IsOpen());
    });
    ASSERT_TRUE(window.ContextMenu(kIdResultList, 2));
    ASSERT_TRUE(searched);
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_TRUE(window.IsOpen());
    const auto shown = [&window](int list) {
        const int index = window.Selection(list);
        return index < 0 ? std::string() : window.Entries(list)[static_cast<std::size_t>(index)];
    };
    ASSERT_EQ(row.size(), 4u);
    EXPECT_EQ(row, (std::vector<std::string>{shown(kIdAgeList), shown(kIdHeightList), shown(kIdChestList),
                                             shown(kIdThirdList)}));

    app::FigureDialog byHand;
    byHand.SetInitialGroup(2);
    byHand.SetDataDirectory(dir_.DataDirectory());
    platform::headless::HeadlessWindow hand(byHand);
    for (const int list : {kIdAgeList, kIdHeightList, kIdChestList, kIdThirdList})
        ASSERT_TRUE(hand.Choose(list, window.Selection(list)));
    ASSERT_EQ(window.ItemCount(kIdResultList), hand.ItemCount(kIdResultList));
    for (int item = 0; item < hand.ItemCount(kIdResultList); ++item)
        EXPECT_EQ(window.ItemText(kIdResultList, item, 2), hand.ItemText(kIdResultList, item, 2));
}

TEST_F(QtWindowLayout, WindowIconHasBothSizes) {
    Open();
    const QList<QSize> sizes = Window().windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

TEST_F(QtWindowEvents, MouseChoiceInTheOpenGroupListRecomputes) {
    QtTestWindow& window = Open();
    auto& groups = Widget<QComboBox>(kIdGroupList);
    QTest::mouseClick(&groups, Qt::LeftButton);
    QAbstractItemView* entries = groups.view();
    ASSERT_TRUE(entries->isVisible());
    // The open list ignores a release that comes as soon as a double click's would.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, Qt::NoModifier,
                      entries->visualRect(entries->model()->index(2, 0)).center());

    EXPECT_FALSE(entries->isVisible());
    EXPECT_EQ(dialog_->seen, (std::vector<RecordingDialog::Seen>{{Event::SelChange, kIdGroupList, -1}}));
    EXPECT_EQ(window.Selection(kIdGroupList), 2);
    EXPECT_EQ(window.Text(kIdThirdLabel), "T18");
    ASSERT_EQ(window.ItemCount(kIdResultList), 4);
    EXPECT_EQ(window.ItemText(kIdResultList, 2, 2), "25.0");  // boys' preschool base figure
}

TEST_F(QtWindowEvents, ProgramSelectionsRaiseNoEvents) {
    QtTestWindow& window = Open();
    // Opening filled and selected every list of the women's group.
    EXPECT_TRUE(dialog_->seen.empty());
    ASSERT_GT(window.ItemCount(kIdResultList), 0);

    auto& heights = dynamic_cast<platform::ComboBox&>(*Window().GetItem(kIdHeightList));
    heights.ResetContent();
    heights.AddString("98");
    EXPECT_EQ(heights.GetCurSel(), -1) << "an entry added to an empty list stays unselected";
    heights.AddString("104");
    heights.SetCurSel(1);
    EXPECT_EQ(heights.GetCurSel(), 1);
    heights.SetCurSel(2);
    EXPECT_EQ(heights.GetCurSel(), -1) << "an index past the end clears the selection";
    heights.SetCurSel(1);
    EXPECT_TRUE(dialog_->seen.empty());

    // The user's choice of the entry already selected changes nothing either.
    window.Choose(kIdHeightList, 1);
    EXPECT_TRUE(dialog_->seen.empty());
    window.Choose(kIdHeightList, 0);
    EXPECT_EQ(dialog_->seen, (std::vector<RecordingDialog::Seen>{{Event::SelChange, kIdHeightList, -1}}));
}

TEST_F(QtWindowEvents, ListClickComesAfterFocusAndSelection) {
    QtTestWindow& window = Open();
    using Seen = RecordingDialog::Seen;
    window.ClickRow(kIdResultList, 2);
    EXPECT_EQ(dialog_->seen, (std::vector<Seen>{{Event::ListSetFocus, kIdResultList, -1},
                                                {Event::ListClick, kIdResultList, 2}}));
    EXPECT_EQ(window.Text(kIdValueEdit), window.ItemText(kIdResultList, 2, 2));

    dialog_->seen.clear();
    window.ClickRow(kIdResultList, 1);
    window.MoveSelection(kIdResultList, 1);  // keys select and say so, after the move, without a click
    EXPECT_EQ(dialog_->seen, (std::vector<Seen>{{Event::ListClick, kIdResultList, 1},
                                                {Event::ListKeySelect, kIdResultList, 2}}));
    EXPECT_EQ(window.FirstSelectedItem(kIdResultList), 2);
    EXPECT_EQ(window.Text(kIdValueEdit), window.ItemText(kIdResultList, 2, 2));

    // Coming back with Tab reports the focus, and the row selected by the keys counts.
    // Ctrl+C there is the menu's "Копировать": the window's shortcut takes the key first.
    window.Type(kIdValueEdit, "x");
    dialog_->seen.clear();
    window.CopyFromList(kIdResultList);
    EXPECT_EQ(dialog_->seen, (std::vector<Seen>{{Event::ListSetFocus, kIdResultList, 2},
                                                {Event::Command, res::kCmdCopy, 2}}));
    EXPECT_EQ(window.Text(kIdValueEdit), window.ItemText(kIdResultList, 2, 2));
}

TEST_F(QtWindowEvents, CtrlCCopiesTheSelectedRowsAndRightClickAsksForAMenu) {
    QtTestWindow& window = Open();
    window.ClickRow(kIdResultList, 0);
    window.ClickRow(kIdResultList, 2, true);
    window.CopyFromList(kIdResultList);
    std::string expected;
    for (const int item : {0, 2}) {
        for (int column = 0; column < 5; ++column) {
            std::string cell = window.ItemText(kIdResultList, item, column);
            cell.erase(0, cell.find_first_not_of(' '));
            cell.erase(cell.find_last_not_of(' ') + 1);
            expected += (column ? "\t" : "") + cell;
        }
        expected += "\r\n";
    }
    // Not the item view's own copy of its current cell.
    EXPECT_EQ(window.Clipboard(), expected);
    EXPECT_NE(expected.find(Ansi(u8"Обхват шеи")), std::string::npos);

    dialog_->seen.clear();
    auto& list = Widget<QTreeView>(kIdResultList);
    const QPoint at = list.viewport()->mapTo(&Window(), list.visualRect(list.model()->index(1, 0)).center());
    QTest::mouseClick(Window().windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    ASSERT_FALSE(dialog_->seen.empty());
    EXPECT_EQ(dialog_->seen.back().event, Event::ListContextMenu);
    EXPECT_EQ(dialog_->seen.back().id, kIdResultList);
}

TEST_F(QtWindowKeys, EnterInTheValueEditStoresTheValueAndKeepsTheWindowOpen) {
    QtTestWindow& window = Open();
    window.ClickRow(kIdResultList, 2);
    window.Type(kIdValueEdit, "160");
    window.PressEnter();
    EXPECT_TRUE(window.IsOpen());
    EXPECT_EQ(window.ItemText(kIdResultList, 2, 2), "160");

    window.ClickRow(kIdResultList, 1);
    window.Type(kIdValueEdit, "7.5");
    QTest::keyClick(&Widget<QLineEdit>(kIdValueEdit), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(window.IsOpen());
    EXPECT_EQ(window.ItemText(kIdResultList, 1, 2), "7.5");
}

TEST_F(QtWindowEvents, QuestionsTheUserCancelsAnswerNothing) {
    Open();
    std::string path = "table.txt";
    EXPECT_FALSE(Window().AskSaveFileName("Save", "Text (*.txt)|*.txt|", path));
    EXPECT_EQ(path, "table.txt");
    const platform::MenuItem items[] = {{1, "Copy", {}, true}, {}, {2, "Write", {}, true}};
    EXPECT_EQ(Window().TrackPopupMenu(items), -1);

    Window().ShowProgress("Writing", 1, 4);
    Window().ShowProgress("Writing", 3, 4);
    EXPECT_EQ(Window().findChildren<QProgressDialog*>().size(), 1);
    Window().EndProgress();
    EXPECT_TRUE(Window().findChildren<QProgressDialog*>().isEmpty());
}

// A folder named with signs Windows-1251 lacks is proposed as it is named.
// The survey dialog on the real widgets: the file chosen in Qt's own file dialog, the run,
// the figures listed, the heat map painted.
TEST_F(QtWindowEvents, TheSurveyDialogReadsAFileChosenInTheFileDialog) {
    QtTestWindow& window = Open(3);
    std::string file = "T1;T16;T19\n";
    for (int i = 0; i < 40; ++i) file += std::to_string(146 + i % 4 * 6) + ";" + std::to_string(84 + i % 3 * 4) + ";92\n";
    WriteFileBytes(dir_ / "survey.csv", file);
    bool ran = false;
    window.SetModalUser([&](QtWindow& running) {
        ran = true;
        QtTestWindow survey(running);
        window.AnswerSave(QString::fromStdString((dir_ / "survey.csv").string()), 0);
        ASSERT_TRUE(survey.Press(kIdSurveyFile));
        EXPECT_EQ(survey.Selection(kIdSurveyHeightColumn), 1);
        ASSERT_TRUE(survey.Press(kIdSurveyRun));
        EXPECT_GT(survey.ItemCount(kIdSurveyFigures), 0);
        auto* map = running.Widget(kIdSurveyHeatMap);
        ASSERT_NE(map, nullptr);
        const QImage picture = map->grab().toImage();
        // Painted: some cell darker than the paper.
        bool dark = false;
        for (int y = 0; y < picture.height() && !dark; y += 2)
            for (int x = 0; x < picture.width() && !dark; x += 2) dark = qGray(picture.pixel(x, y)) < 200;
        EXPECT_TRUE(dark);
        QTest::keyClick(&running, Qt::Key_Escape);
    });
    ASSERT_TRUE(window.ChooseMenuItem(kCmdSurvey));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(window.Messages().empty()) << window.Messages().front();
}

TEST_F(QtWindowEvents, SaveQuestionOpensInTheFolderOfAWindowsStylePath) {
    QtTestWindow& window = Open();
    const std::filesystem::path folder = dir_.Path() / u8"Мерки 日本";
    std::filesystem::create_directory(folder);
    std::string path = dir_.DataDirectory() + "\\Мерки 日本\\Таблица.csv";
    EXPECT_FALSE(Window().AskSaveFileName("Save", "CSV (*.csv)|*.csv|", path));
    ASSERT_EQ(window.SavePaths().size(), 1u);
    EXPECT_EQ(window.SavePaths()[0].toStdString(), (folder / u8"Таблица.csv").string());
}

TEST_F(QtWindowEvents, SaveQuestionOffersTheTypeAskedForAndTellsTheTypeChosen) {
    QtTestWindow& window = Open();
    const std::string filter = "Vit (*.vit)|*.vit|Vst (*.vst)|*.vst|JSON (*.json)|*.json|";
    std::string path = dir_.DataDirectory() + "\\m.vit";
    int type = 1;
    EXPECT_FALSE(Window().AskSaveFileName("Save", filter, path, type));
    EXPECT_EQ(type, 1);
    const QString chosen = QString::fromStdString((dir_.Path() / "chosen.json").string());
    window.AnswerSave(chosen, 2);
    EXPECT_TRUE(Window().AskSaveFileName("Save", filter, path, type));
    EXPECT_EQ(type, 2);
    EXPECT_EQ(path, chosen.toStdString());
    EXPECT_EQ(window.SaveTypes(), (std::vector<QString>{"Vst (*.vst)", "Vst (*.vst)"}));
}

// How a modal run ends: Enter anywhere but in the value edit (or on another button)
// presses the default button "Выход"; Esc and the close box cancel.
struct Ending {
    const char* name;
    std::function<void(QtWindow&)> act;
    int code;
};

class QtRunEndingTest : public ::testing::TestWithParam<Ending> {};

TEST_P(QtRunEndingTest, EndsTheModalRunWithItsCode) {
    TempDir dir;
    WriteAllGroupTables(dir.Path());
    app::FigureDialog dialog;
    dialog.SetDataDirectory(dir.DataDirectory());
    platform::qt::QtFrontEnd frontEnd;
    frontEnd.SetShownHook([](QtWindow& window) {
        GetParam().act(window);
        // A run the action failed to end must fail the test, not hang it.
        QTimer::singleShot(2000, &window, [&window] { window.EndDialog(99); });
    });
    EXPECT_EQ(frontEnd.RunModal(dialog), GetParam().code);
    EXPECT_FALSE(dialog.IsOpen());
}

void Key(QtWindow& window, int id, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* widget = window.Widget(id);
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClick(widget, key, modifiers);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, QtRunEndingTest,
    ::testing::Values(
        Ending{"EnterInTheResultList", [](QtWindow& w) { Key(w, kIdResultList, Qt::Key_Return); }, platform::kIdOk},
        Ending{"KeypadEnterInTheGroupList",
               [](QtWindow& w) { Key(w, kIdGroupList, Qt::Key_Enter, Qt::KeypadModifier); }, platform::kIdOk},
        Ending{"EnterOnTheExitButton", [](QtWindow& w) { Key(w, kIdExit, Qt::Key_Return); }, platform::kIdOk},
        Ending{"EscapeInTheValueEdit", [](QtWindow& w) { Key(w, kIdValueEdit, Qt::Key_Escape); },
               platform::kIdCancel},
        Ending{"CloseBox", [](QtWindow& w) { w.close(); }, platform::kIdCancel}),
    [](const ::testing::TestParamInfo<Ending>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kelvo::test

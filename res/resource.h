#pragma once
// Resource and control identifiers of the kelvo window and of its figure search.

namespace kelvo::res {

inline constexpr int kDialogFigure = 102;
inline constexpr int kIconMain = 128;

inline constexpr int kIdExit = 1;            // "Выход", the OK command
inline constexpr int kIdGroupList = 1000;
inline constexpr int kIdAgeList = 1002;
inline constexpr int kIdHeightList = 1003;   // T1
inline constexpr int kIdResultList = 1004;
inline constexpr int kIdChangeValue = 1005;  // "Изменить"
inline constexpr int kIdChestList = 1006;    // T16
inline constexpr int kIdThirdList = 1007;    // T18 or T19
inline constexpr int kIdWriteTable = 1008;   // "Записать значение в файл"
inline constexpr int kIdValueEdit = 1009;
inline constexpr int kIdThirdLabel = 1010;
inline constexpr int kIdStatusLine = 1011;   // the data folder, the table, what was written

// "Подобрать фигуру": the typical figure nearest to a person's measurements.
inline constexpr int kDialogNearest = 103;
inline constexpr int kIdNearestHeight = 1101;      // edits of the person's T1, T16 and T18 or T19
inline constexpr int kIdNearestChest = 1102;
inline constexpr int kIdNearestThird = 1103;
inline constexpr int kIdNearestThirdLabel = 1104;
inline constexpr int kIdNearestAgeList = 1105;
inline constexpr int kIdNearestFeatures = 1106;    // further features, "7=103,5; 12=40"
inline constexpr int kIdNearestSearch = 1107;      // "Подобрать"
inline constexpr int kIdNearestResults = 1108;
inline constexpr int kIdNearestChoose = 1109;      // "Выбрать"

}  // namespace kelvo::res

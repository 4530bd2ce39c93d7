#pragma once
// Resource and control identifiers of the kelvo window.

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

}  // namespace kelvo::res

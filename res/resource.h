#pragma once
// Resource and control identifiers of the kelvo window, its figure search and its chart range.

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
inline constexpr int kIdFindEdit = 1012;     // "Найти": a feature by its number or name

// The window's commands: entries of its menu bar and of the list's context menu, and their
// shortcuts. Above every control id, as Windows keeps menu commands apart from controls.
inline constexpr int kCmdWriteTable = 40001;
inline constexpr int kCmdChooseFolder = 40002;
inline constexpr int kCmdDefaultFolder = 40003;
inline constexpr int kCmdSaveChart = 40004;
inline constexpr int kCmdSaveMeasurements = 40005;
inline constexpr int kCmdPrintSheet = 40006;
inline constexpr int kCmdSheetPdf = 40007;
inline constexpr int kCmdPrintChart = 40008;
inline constexpr int kCmdChartPdf = 40009;
inline constexpr int kCmdExit = 40010;
inline constexpr int kCmdCopy = 40011;
inline constexpr int kCmdCopyList = 40012;
inline constexpr int kCmdFind = 40013;
inline constexpr int kCmdFindNext = 40014;
inline constexpr int kCmdFindPrevious = 40015;
inline constexpr int kCmdNearest = 40016;
inline constexpr int kCmdManual = 40017;
inline constexpr int kCmdAbout = 40018;
inline constexpr int kCmdRecentFolder = 40101;  // the folders used last, this and the next four
inline constexpr int kRecentFolders = 5;

// "Подобрать фигуру": the typical figure nearest to a person's measurements.
inline constexpr int kDialogNearest = 103;
inline constexpr int kIdNearestHeight = 1101;      // edits of the person's T1, T16 and T18 or T19
inline constexpr int kIdNearestChest = 1102;
inline constexpr int kIdNearestThird = 1103;
inline constexpr int kIdNearestThirdLabel = 1104;
inline constexpr int kIdNearestAgeList = 1105;
inline constexpr int kIdNearestFeatureList = 1106; // further features: number, name, the figure's, the person's
inline constexpr int kIdNearestSearch = 1107;      // "Подобрать"
inline constexpr int kIdNearestResults = 1108;
inline constexpr int kIdNearestChoose = 1109;      // "Выбрать"
inline constexpr int kIdNearestFeatureValue = 1110;  // the person's value of the feature selected
inline constexpr int kIdNearestSetValue = 1111;    // "Задать"
inline constexpr int kIdNearestFromFile = 1112;    // "Из файла мерок…": a client's .vit

// The figures of a size chart on pages: each list's entries from–to.
inline constexpr int kDialogChartRange = 104;
inline constexpr int kIdRangeHeightFrom = 1201;
inline constexpr int kIdRangeHeightTo = 1202;
inline constexpr int kIdRangeChestFrom = 1203;
inline constexpr int kIdRangeChestTo = 1204;
inline constexpr int kIdRangeThirdFrom = 1205;
inline constexpr int kIdRangeThirdTo = 1206;
inline constexpr int kIdRangeThirdLabel = 1207;
inline constexpr int kIdRangeCount = 1208;         // how many figures and pages, or why none

// "Размерно-ростовочный ассортимент": a body survey's people over the group's figures.
inline constexpr int kDialogSurvey = 105;
inline constexpr int kIdSurveyFile = 1301;          // "Файл обмеров…"
inline constexpr int kIdSurveyFileName = 1302;
inline constexpr int kIdSurveyHeightColumn = 1303;  // the file's column of each leading dimension
inline constexpr int kIdSurveyChestColumn = 1304;
inline constexpr int kIdSurveyThirdColumn = 1305;
inline constexpr int kIdSurveyThirdLabel = 1306;
inline constexpr int kIdSurveyUnits = 1307;
inline constexpr int kIdSurveyRun = 1308;           // "Рассчитать"
inline constexpr int kIdSurveyFigures = 1309;       // the figures taken, with people and shares
inline constexpr int kIdSurveyThirdFilter = 1310;   // the heat map's third girth, or all
inline constexpr int kIdSurveyHeatMap = 1311;
inline constexpr int kIdSurveyCount = 1312;         // K
inline constexpr int kIdSurveySizes = 1313;         // "Подобрать K размеров"
inline constexpr int kIdSurveySizesList = 1314;
inline constexpr int kIdSurveySaveCsv = 1315;
inline constexpr int kIdSurveySavePdf = 1316;
inline constexpr int kIdSurveyStatus = 1317;

inline constexpr int kCmdSurvey = 40019;  // the window's command that opens it

}  // namespace kelvo::res

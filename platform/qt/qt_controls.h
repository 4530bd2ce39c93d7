#pragma once
// The abstract controls on Qt widgets. The widgets belong to their window; these adapters
// only drive them. Nothing done through an adapter raises an event.

#include <QAbstractTableModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>

#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/dialog.h"

namespace kelvo::platform::qt {

// A report-view list: reports the list view notifications a Windows list view sends.
class ReportView : public QTreeView {
public:
    using QTreeView::QTreeView;
    // Raises a notification; true when the dialog handled it.
    std::function<bool(Event)> notify;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
};

// A single-line edit that offers Return to the dialog before the default button sees it.
class ReturnEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<bool()> offerReturn;  // true when the dialog handled it
    std::function<bool()> offerEscape;  // likewise for Esc, before the dialog's own Esc

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A page drawn in a widget, scaled to fit it with its proportions kept.
class PagePicture : public QWidget {
public:
    using QWidget::QWidget;
    void Show(const Page& page, double width, double height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Page page_;
    double width_ = 1, height_ = 1;
};

template <class Base, class QtWidget>
class QtControl : public Base {
public:
    explicit QtControl(QtWidget& widget) : widget_(widget) {}
    void Enable(bool enabled) override { widget_.setEnabled(enabled); }
    bool IsEnabled() const override { return widget_.isEnabled(); }
    QtWidget& Widget() const { return widget_; }

private:
    QtWidget& widget_;
};

template <class Base, class QtWidget>
class QtTextControl : public QtControl<Base, QtWidget> {
public:
    using QtControl<Base, QtWidget>::QtControl;
    void SetText(std::string_view text) override;
    std::string GetText() const override;
};

using QtStatic = QtTextControl<StaticText, QLabel>;
using QtEdit = QtTextControl<Edit, QLineEdit>;
using QtButton = QtTextControl<Button, QPushButton>;

// A status bar's one message as the control's text.
class QtStatusLine : public QtControl<StaticText, QStatusBar> {
public:
    using QtControl::QtControl;
    void SetText(std::string_view text) override;
    std::string GetText() const override;
};

class QtComboBox : public QtControl<ComboBox, QComboBox> {
public:
    explicit QtComboBox(QComboBox& widget);
    void ResetContent() override;
    int AddString(std::string_view text) override;
    void SetCurSel(int index) override;
    int GetCurSel() const override { return Widget().currentIndex(); }
    int GetCount() const override { return Widget().count(); }
    std::string GetItemText(int index) const override;

    // True once after the user moved the selection to another entry: QComboBox reports
    // `activated` also when the user picks the entry that is already selected.
    bool TakeUserChange();

private:
    bool changed_ = false;
};

// The cells of a report-view list, as the program set them. The view asks for the few it
// paints; a row added costs it no more than a note, so a fill grows with its rows.
class ReportModel : public QAbstractTableModel {
public:
    // A cell's text as the program set it. What the list shows drops the trailing blanks
    // of the tables' fixed-width fields, which would otherwise end every name in "...".
    static constexpr int kTextRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void InsertColumn(int at, const QString& caption);
    void RemoveAllRows();
    void InsertRow(int at, std::string_view first);
    void SetCell(int row, int column, std::string_view text);
    // Empty for a cell outside the list.
    std::string Cell(int row, int column) const;
    void SetColumnToolTip(int column, const QString& text);
    // Marks are drawn with the look given here: the view's font made bold for an edited
    // row, the palette's disabled text for an illustrative one.
    void SetMarkLook(const QFont& edited, const QBrush& illustrative);
    void SetMarks(int row, std::uint32_t marks);
    std::uint32_t Marks(int row) const;
    void SetToolTip(int row, std::string toolTip);
    std::string ToolTip(int row) const;

private:
    struct Row {
        // A cell per column, and one even while there are no columns.
        std::vector<std::string> cells;
        std::uint32_t marks = 0;
        std::string toolTip;  // Windows-1251; empty for none
    };
    void RowChanged(int row);

    std::vector<QString> captions_;
    std::vector<QString> columnTips_;
    std::vector<Row> rows_;
    QFont editedFont_;
    QBrush illustrativeText_;
};

class QtPicture : public QtControl<Picture, PagePicture> {
public:
    using QtControl::QtControl;
    void SetPage(const Page& page, double width, double height) override { Widget().Show(page, width, height); }
};

class QtListView : public QtControl<ListView, QTreeView> {
public:
    static constexpr int kTextRole = ReportModel::kTextRole;

    explicit QtListView(QTreeView& widget);
    std::uint32_t GetExtendedStyle() const override { return extendedStyle_; }
    void SetExtendedStyle(std::uint32_t style) override;
    void InsertColumn(int index, std::string_view caption, int widthPixels) override;
    void SetColumnToolTip(int column, std::string_view text) override;
    void DeleteAllItems() override;
    int InsertItem(int index, std::string_view text) override;
    void SetItemText(int item, int column, std::string_view text) override;
    int GetItemCount() const override { return model_.rowCount(); }
    std::string GetItemText(int item, int column) const override;
    int GetNextSelected(int start) const override;
    void SelectItem(int item) override;
    void SetItemMarks(int item, std::uint32_t marks) override;
    std::uint32_t GetItemMarks(int item) const override;
    void SetItemToolTip(int item, std::string_view text) override;
    std::string GetItemToolTip(int item) const override;

private:
    ReportModel& model_;
    std::uint32_t extendedStyle_ = 0;
};

}  // namespace kelvo::platform::qt

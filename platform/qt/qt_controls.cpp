#include "platform/qt/qt_controls.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

#include "platform/qt/qt_text.h"

namespace kelvo::platform::qt {

void ReportView::focusInEvent(QFocusEvent* event) {
    // An item view makes its first row current when it gains the focus without one, so
    // the first Down key would land on the second row; a list view starts at the first.
    const bool hadCurrent = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    if (!hadCurrent && selectionModel())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    // A popup menu closing hands the focus back; a Windows list never lost it to the menu.
    if (event->reason() != Qt::PopupFocusReason && notify) notify(Event::ListSetFocus);
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
    // The selection settles on release (a press on a row of a multiple selection keeps
    // it until then), and the list view's click, also on an empty area, comes after it.
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && notify) notify(Event::ListClick);
}

void ReportView::keyPressEvent(QKeyEvent* event) {
    // The item view would copy its current cell by itself; the dialog decides instead.
    if (event->matches(QKeySequence::Copy)) {
        if (notify) notify(Event::ListCopy);
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    if (currentIndex() != before && notify) notify(Event::ListKeySelect);
}

void ReportView::contextMenuEvent(QContextMenuEvent* event) {
    if (notify) notify(Event::ListContextMenu);
    event->accept();
}

bool ReportView::viewportEvent(QEvent* event) {
    // A cell cut off by its column shows its whole text, unless its item has a tooltip.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && !index.data(Qt::ToolTipRole).isValid()) {
            const QString text = index.data(Qt::DisplayRole).toString();
            const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
            if (fontMetrics().horizontalAdvance(text) + margins > visualRect(index).width())
                QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
            else
                QToolTip::hideText();
            return true;
        }
    }
    return QTreeView::viewportEvent(event);
}

void ReturnEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && plain && offerReturn && offerReturn()) {
        // Handled: the dialog must not also press its default button.
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

template <class Base, class QtWidget>
void QtTextControl<Base, QtWidget>::SetText(std::string_view text) {
    this->Widget().setText(ToQString(text));
}

template <class Base, class QtWidget>
std::string QtTextControl<Base, QtWidget>::GetText() const {
    return ToAnsi(this->Widget().text());
}

template class QtTextControl<StaticText, QLabel>;
template class QtTextControl<Edit, QLineEdit>;
template class QtTextControl<Button, QPushButton>;

void QtStatusLine::SetText(std::string_view text) { Widget().showMessage(ToQString(text)); }

std::string QtStatusLine::GetText() const { return ToAnsi(Widget().currentMessage()); }

QtComboBox::QtComboBox(QComboBox& widget) : QtControl(widget) {
    QObject::connect(&widget, &QComboBox::currentIndexChanged, &widget, [this] { changed_ = true; });
}

void QtComboBox::ResetContent() {
    Widget().clear();
    changed_ = false;
}

int QtComboBox::AddString(std::string_view text) {
    // QComboBox selects the first entry added to an empty list; a Windows list keeps none.
    const int kept = Widget().currentIndex();
    Widget().addItem(ToQString(text));
    Widget().setCurrentIndex(kept);
    changed_ = false;
    return Widget().count() - 1;
}

void QtComboBox::SetCurSel(int index) {
    Widget().setCurrentIndex(index >= 0 && index < Widget().count() ? index : -1);
    changed_ = false;
}

std::string QtComboBox::GetItemText(int index) const {
    return index >= 0 && index < Widget().count() ? ToAnsi(Widget().itemText(index)) : std::string();
}

bool QtComboBox::TakeUserChange() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

QtListView::QtListView(QTreeView& widget)
    : QtControl(widget), model_(*new QStandardItemModel(&widget)) {
    widget.setModel(&model_);
    widget.setRootIsDecorated(false);
    widget.setItemsExpandable(false);
    widget.setUniformRowHeights(true);
    widget.setSortingEnabled(false);
    widget.setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget.setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Columns keep the widths and the order the program gave them.
    widget.header()->setStretchLastSection(false);
    widget.header()->setSectionsMovable(false);
    widget.header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetExtendedStyle(0);
}

void QtListView::SetExtendedStyle(std::uint32_t style) {
    extendedStyle_ = style;
    // Without full-row selection only a click on the first column selects its item;
    // a row then counts as selected by its first cell.
    const bool fullRow = style & kFullRowSelect;
    Widget().setSelectionBehavior(fullRow ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    Widget().setAllColumnsShowFocus(fullRow);
}

void QtListView::InsertColumn(int index, std::string_view caption, int widthPixels) {
    const int at = std::clamp(index, 0, model_.columnCount());
    model_.insertColumn(at);
    model_.setHeaderData(at, Qt::Horizontal, ToQString(caption));
    Widget().header()->resizeSection(at, widthPixels);
}

void QtListView::SetColumnToolTip(int column, std::string_view text) {
    model_.setHeaderData(column, Qt::Horizontal, ToQString(text), Qt::ToolTipRole);
}

void QtListView::DeleteAllItems() { model_.removeRows(0, model_.rowCount()); }

int QtListView::InsertItem(int index, std::string_view text) {
    if (index < 0) return -1;
    const int at = std::min(index, model_.rowCount());
    QList<QStandardItem*> cells;
    for (int column = 0; column < std::max(model_.columnCount(), 1); ++column)
        cells.append(NewCell(column == 0 ? text : std::string_view()));
    model_.insertRow(at, cells);
    return at;
}

void QtListView::SetItemText(int item, int column, std::string_view text) {
    if (item < 0 || item >= model_.rowCount() || column < 0 || column >= model_.columnCount()) return;
    // The cell keeps its font and tooltip: marks belong to the item, not to one text.
    if (QStandardItem* cell = model_.item(item, column))
        SetCellText(*cell, text);
    else
        model_.setItem(item, column, NewCell(text));
}

QStandardItem* QtListView::NewCell(std::string_view text) {
    auto* cell = new QStandardItem;
    cell->setEditable(false);
    SetCellText(*cell, text);
    return cell;
}

void QtListView::SetCellText(QStandardItem& cell, std::string_view text) {
    const QString exact = ToQString(text);
    cell.setData(exact, kTextRole);
    qsizetype shown = exact.size();
    while (shown > 0 && exact[shown - 1] == QLatin1Char(' ')) --shown;
    cell.setText(exact.left(shown));
}

void QtListView::SetItemMarks(int item, std::uint32_t marks) {
    if (item < 0 || item >= model_.rowCount()) return;
    QFont font = Widget().font();
    font.setBold(marks & kItemEdited);
    const QBrush text = (marks & kItemIllustrative) ? Widget().palette().brush(QPalette::Disabled, QPalette::Text)
                                                    : QBrush();
    for (int column = 0; column < model_.columnCount(); ++column) {
        QStandardItem* cell = model_.item(item, column);
        if (!cell) continue;
        cell->setData(marks == kItemPlain ? QVariant() : QVariant(font), Qt::FontRole);
        cell->setData(text.style() == Qt::NoBrush ? QVariant() : QVariant(text), Qt::ForegroundRole);
    }
    if (QStandardItem* first = model_.item(item, 0)) first->setData(marks, kMarksRole);
}

std::uint32_t QtListView::GetItemMarks(int item) const {
    const QStandardItem* first = model_.item(item, 0);
    return first ? first->data(kMarksRole).toUInt() : kItemPlain;
}

void QtListView::SetItemToolTip(int item, std::string_view text) {
    if (item < 0 || item >= model_.rowCount()) return;
    const QVariant tip = text.empty() ? QVariant() : QVariant(ToQString(text));
    for (int column = 0; column < model_.columnCount(); ++column)
        if (QStandardItem* cell = model_.item(item, column)) cell->setData(tip, Qt::ToolTipRole);
}

std::string QtListView::GetItemToolTip(int item) const {
    const QStandardItem* first = model_.item(item, 0);
    return first ? ToAnsi(first->data(Qt::ToolTipRole).toString()) : std::string();
}

std::string QtListView::GetItemText(int item, int column) const {
    const QStandardItem* cell = model_.item(item, column);
    return cell ? ToAnsi(cell->data(kTextRole).toString()) : std::string();
}

int QtListView::GetNextSelected(int start) const {
    const QItemSelectionModel* selection = Widget().selectionModel();
    for (int row = std::max(start + 1, 0); row < model_.rowCount(); ++row)
        if (selection->isSelected(model_.index(row, 0))) return row;
    return -1;
}

}  // namespace kelvo::platform::qt

#include "platform/qt/qt_controls.h"

#include <QPainter>

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

void PagePicture::Show(const Page& page, double width, double height) {
    page_ = page;
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    update();
}

void PagePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const double scale = std::min(width() / width_, height() / height_);  // pixels per millimetre
    const auto at = [scale](double x, double y) { return QPointF(x * scale, y * scale); };
    for (const PageBox& box : page_.boxes) {
        const int grey = GreyOf(box.shade);
        painter.fillRect(QRectF(at(box.x, box.y), QSizeF(box.width * scale, box.height * scale)), QColor(grey, grey, grey));
    }
    painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * scale)));
    for (const PageLine& line : page_.lines) painter.drawLine(at(line.x1, line.y1), at(line.x2, line.y2));
    for (const PageText& text : page_.texts) {
        QFont font = this->font();
        font.setPointSizeF(std::max(5.0, kPointsPerFont[static_cast<int>(text.font)] * kMillimetresPerPoint * scale * 72 / logicalDpiY()));
        font.setBold(text.font != PageFont::Body);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(at(text.x, text.y), ToQString(text.text));
    }
}

void ReturnEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && plain && offerReturn && offerReturn()) {
        // Handled: the dialog must not also press its default button.
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && plain && offerEscape && offerEscape()) {
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

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const std::string& cell = row.cells[static_cast<std::size_t>(index.column())];
    switch (role) {
    case kTextRole:
        return ToQString(cell);
    case Qt::DisplayRole:
    case Qt::EditRole:
        return ToQString(ListView::ShownText(cell));
    case Qt::FontRole:
        return row.marks & ListView::kItemEdited ? QVariant(editedFont_) : QVariant();
    case Qt::ForegroundRole:
        return row.marks & ListView::kItemIllustrative ? QVariant(illustrativeText_) : QVariant();
    case Qt::ToolTipRole:
        return row.toolTip.empty() ? QVariant() : QVariant(ToQString(row.toolTip));
    default:
        return {};
    }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return captions_[static_cast<std::size_t>(section)];
    if (role == Qt::ToolTipRole && !columnTips_[static_cast<std::size_t>(section)].isEmpty())
        return columnTips_[static_cast<std::size_t>(section)];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void ReportModel::InsertColumn(int at, const QString& caption) {
    beginInsertColumns(QModelIndex(), at, at);
    const bool first = captions_.empty();
    captions_.insert(captions_.begin() + at, caption);
    columnTips_.insert(columnTips_.begin() + at, QString());
    // A row made while there were no columns already holds the first column's cell.
    if (!first)
        for (auto& row : rows_) row.cells.insert(row.cells.begin() + at, std::string());
    endInsertColumns();
}

void ReportModel::RemoveAllRows() {
    if (rows_.empty()) return;
    beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
    rows_.clear();
    endRemoveRows();
}

void ReportModel::InsertRow(int at, std::string_view first) {
    Row row;
    row.cells.resize(std::max<std::size_t>(captions_.size(), 1));
    row.cells[0] = first;
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, std::move(row));
    endInsertRows();
}

void ReportModel::SetCell(int row, int column, std::string_view text) {
    rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)] = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed);
}

std::string ReportModel::Cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0) return {};
    const auto& cells = rows_[static_cast<std::size_t>(row)].cells;
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : std::string();
}

void ReportModel::SetColumnToolTip(int column, const QString& text) {
    if (column < 0 || column >= columnCount()) return;
    columnTips_[static_cast<std::size_t>(column)] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ReportModel::SetMarkLook(const QFont& edited, const QBrush& illustrative) {
    editedFont_ = edited;
    illustrativeText_ = illustrative;
}

void ReportModel::RowChanged(int row) {
    if (columnCount() == 0) return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ReportModel::SetMarks(int row, std::uint32_t marks) {
    if (row < 0 || row >= rowCount()) return;
    rows_[static_cast<std::size_t>(row)].marks = marks;
    RowChanged(row);
}

std::uint32_t ReportModel::Marks(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].marks : ListView::kItemPlain;
}

void ReportModel::SetToolTip(int row, std::string toolTip) {
    if (row < 0 || row >= rowCount()) return;
    rows_[static_cast<std::size_t>(row)].toolTip = std::move(toolTip);
    RowChanged(row);
}

std::string ReportModel::ToolTip(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].toolTip : std::string();
}

QtListView::QtListView(QTreeView& widget)
    : QtControl(widget), model_(*new ReportModel(&widget)) {
    widget.setModel(&model_);
    QFont bold = widget.font();
    bold.setBold(true);
    model_.SetMarkLook(bold, widget.palette().brush(QPalette::Disabled, QPalette::Text));
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
    model_.InsertColumn(at, ToQString(caption));
    Widget().header()->resizeSection(at, widthPixels);
}

void QtListView::SetColumnToolTip(int column, std::string_view text) { model_.SetColumnToolTip(column, ToQString(text)); }

void QtListView::DeleteAllItems() { model_.RemoveAllRows(); }

int QtListView::InsertItem(int index, std::string_view text) {
    if (index < 0) return -1;
    const int at = std::min(index, model_.rowCount());
    model_.InsertRow(at, text);
    return at;
}

void QtListView::SetItemText(int item, int column, std::string_view text) {
    if (item < 0 || item >= model_.rowCount() || column < 0 || column >= model_.columnCount()) return;
    model_.SetCell(item, column, text);
}

void QtListView::SetItemMarks(int item, std::uint32_t marks) { model_.SetMarks(item, marks); }

std::uint32_t QtListView::GetItemMarks(int item) const { return model_.Marks(item); }

void QtListView::SetItemToolTip(int item, std::string_view text) { model_.SetToolTip(item, std::string(text)); }

std::string QtListView::GetItemToolTip(int item) const { return model_.ToolTip(item); }

std::string QtListView::GetItemText(int item, int column) const {
    // Through UTF-16 and back, as a Qt widget hands its text back: the few bytes 1251
    // leaves undefined come back as '?'.
    return ToAnsi(ToQString(model_.Cell(item, column)));
}

int QtListView::GetNextSelected(int start) const {
    const QItemSelectionModel* selection = Widget().selectionModel();
    for (int row = std::max(start + 1, 0); row < model_.rowCount(); ++row)
        if (selection->isSelected(model_.index(row, 0))) return row;
    return -1;
}

void QtListView::SelectItem(int item) {
    if (item < 0 || item >= model_.rowCount()) return;
    const QModelIndex index = model_.index(item, 0);
    Widget().selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Widget().scrollTo(index);
}

}  // namespace kelvo::platform::qt

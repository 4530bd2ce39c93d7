#include "tests/qt/qt_test_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdlib>

#include "app/window_actions.h"

#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_text.h"
#include "tests/support/test_window.h"

namespace kelvo::test {

using platform::qt::ToAnsi;
using platform::qt::ToQString;

ModalAnswerer::ModalAnswerer() { qApp->installEventFilter(this); }

ModalAnswerer::~ModalAnswerer() { qApp->removeEventFilter(this); }

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) return false;
    // Answered once the box's own event loop runs, as a user reads it and then clicks.
    if (auto* box = qobject_cast<QMessageBox*>(watched); box && box->button(QMessageBox::Yes)) {
        questions.push_back(ToAnsi(box->text()));
        const QMessageBox::StandardButton button = answer == platform::Answer::Yes ? QMessageBox::Yes
                                                   : answer == platform::Answer::No ? QMessageBox::No
                                                                                    : QMessageBox::Cancel;
        QTimer::singleShot(0, box, [box, button] { QTest::mouseClick(box->button(button), Qt::LeftButton); });
    } else if (box) {
        messages.push_back(ToAnsi(box->text()));
        QTimer::singleShot(0, box, [box] {
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) QTest::mouseClick(ok, Qt::LeftButton);
        });
    } else if (auto* folders = qobject_cast<QFileDialog*>(watched); folders && folders->fileMode() == QFileDialog::Directory) {
        QTimer::singleShot(0, folders, [this, folders] {
            if (folderAnswer.isEmpty()) return QTest::keyClick(folders, Qt::Key_Escape);
            folders->setDirectory(folderAnswer);
            folders->selectFile(folderAnswer);
            static_cast<QDialog*>(folders)->accept();
        });
    } else if (auto* files = qobject_cast<QFileDialog*>(watched)) {
        savePaths.push_back(files->selectedFiles().value(0));
        saveTypes.push_back(files->selectedNameFilter());
        QTimer::singleShot(0, files, [this, files] {
            if (!saveAnswer) return QTest::keyClick(files, Qt::Key_Escape);
            files->selectNameFilter(files->nameFilters().value(saveAnswer->second));
            files->selectFile(saveAnswer->first);
            saveAnswer.reset();
            static_cast<QDialog*>(files)->accept();  // QFileDialog keeps its override protected
        });
    } else if (auto* popup = qobject_cast<QMenu*>(watched); popup && menuIndex >= 0) {
        QTimer::singleShot(0, popup, [this, popup, index = menuIndex] {
            for (QAction* action : popup->actions()) {
                if (action->data().toInt() != index || action->isSeparator()) continue;
                menuChosen = action->isEnabled();
                if (menuChosen) return QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(action).center());
            }
            QTest::keyClick(popup, Qt::Key_Escape);
        });
    } else if (qobject_cast<QMenu*>(watched)) {
        auto* widget = static_cast<QWidget*>(watched);
        QTimer::singleShot(0, widget, [widget, choice = menuChoice] {
            if (choice < 0) {
                QTest::keyClick(widget, Qt::Key_Escape);
                return;
            }
            for (int i = 0; i <= choice; ++i) QTest::keyClick(widget, Qt::Key_Down);
            QTest::keyClick(widget, Qt::Key_Return);
        });
    } else if (auto* dialog = dynamic_cast<platform::qt::QtWindow*>(watched); dialog && main && dialog->parentWidget() == main) {
        QTimer::singleShot(0, dialog, [this, dialog] {
            if (modalUser) modalUser(*dialog);
            else QTest::keyClick(dialog, Qt::Key_Escape);
        });
    }
    return false;
}

QtTestWindow::QtTestWindow(platform::Dialog& dialog)
    : answerer_(std::make_unique<ModalAnswerer>()),
      owned_(std::make_unique<platform::qt::QtWindow>(dialog)),
      window_(*owned_) {
    answerer_->main = &window_;
    window_.documentOpener = [this](const std::string& path) {
        documents_.push_back(path);
        return true;
    };
    // Every window starts with an empty clipboard, so a copy that puts nothing is seen.
    QGuiApplication::clipboard()->clear();
    window_.Open();
    if (!window_.IsRunning()) return;
    window_.show();
    Activate();
}

QtTestWindow::QtTestWindow(platform::qt::QtWindow& running) : window_(running) {}

bool QtTestWindow::ChooseMenuItem(int command) {
    Activate();
    QMenuBar* bar = window_.MenuBarWidget();
    if (!window_.IsRunning() || !bar) return false;
    // The entry as the menu shows it, chosen as a click on it chooses it.
    for (QAction* title : bar->actions()) {
        if (!title->menu()) continue;
        for (QAction* action : title->menu()->actions()) {
            if (action->isSeparator() || window_.CommandOf(action) != command) continue;
            if (!action->isEnabled()) return false;
            action->trigger();
            return true;
        }
    }
    return false;
}

bool QtTestWindow::ChooseContextMenuItem(int listId, int command) {
    const std::span<const int> commands = app::ContextMenuCommands();
    const auto at = std::find(commands.begin(), commands.end(), command);
    if (at == commands.end() || !answerer_) return false;
    answerer_->menuIndex = static_cast<int>(at - commands.begin());
    answerer_->menuChosen = false;
    const bool clicked = ContextMenu(listId, -1);
    answerer_->menuIndex = -1;
    return clicked && answerer_->menuChosen;
}

bool QtTestWindow::PressKeys(const platform::Shortcut& keys) {
    Activate();
    if (!window_.IsRunning()) return false;
    const int key = keys.key >= platform::Shortcut::kF1 && keys.key < platform::Shortcut::kF1 + 12
                        ? Qt::Key_F1 + (keys.key - platform::Shortcut::kF1)
                        : keys.key;
    Qt::KeyboardModifiers modifiers;
    if (keys.modifiers & platform::Shortcut::kCtrl) modifiers |= Qt::ControlModifier;
    if (keys.modifiers & platform::Shortcut::kShift) modifiers |= Qt::ShiftModifier;
    QWidget* focus = window_.focusWidget();
    QTest::keyClick(focus ? focus : &window_, static_cast<Qt::Key>(key), modifiers);
    return true;
}

std::vector<platform::Menu> QtTestWindow::MenuBar() {
    std::vector<platform::Menu> menus;
    QMenuBar* bar = window_.MenuBarWidget();
    if (!bar) return menus;
    for (QAction* title : bar->actions()) {
        if (!title->menu()) continue;
        platform::Menu& menu = menus.emplace_back();
        menu.caption = ToAnsi(title->text().replace(QStringLiteral("&&"), QStringLiteral("&")));
        for (QAction* action : title->menu()->actions()) {
            if (action->isSeparator()) {
                menu.items.emplace_back();
                continue;
            }
            platform::MenuItem& item = menu.items.emplace_back();
            item.command = window_.CommandOf(action);
            item.caption = ToAnsi(action->text().replace(QStringLiteral("&&"), QStringLiteral("&")));
            item.enabled = action->isEnabled();
            // The keys as Qt binds them: the first of the sequence, in the platform's terms.
            const QKeyCombination keys = action->shortcut().isEmpty() ? QKeyCombination() : action->shortcut()[0];
            const int key = keys.key();
            if (key >= Qt::Key_F1 && key <= Qt::Key_F12) item.shortcut.key = platform::Shortcut::kF1 + (key - Qt::Key_F1);
            else if (key >= Qt::Key_A && key <= Qt::Key_Z) item.shortcut.key = key;
            std::uint8_t modifiers = 0;
            if (keys.keyboardModifiers() & Qt::ControlModifier) modifiers |= platform::Shortcut::kCtrl;
            if (keys.keyboardModifiers() & Qt::ShiftModifier) modifiers |= platform::Shortcut::kShift;
            item.shortcut.modifiers = modifiers;
        }
    }
    return menus;
}

int QtTestWindow::FocusedControl() {
    QWidget* focus = QApplication::focusWidget();
    for (const platform::ControlTemplate& control : window_.DialogOf().Template().controls)
        if (control.id != platform::kNoId && window_.Widget(control.id) == focus) return control.id;
    return platform::kNoId;
}

bool QtTestWindow::ContextMenu(int listId, int choice) {
    QTreeView* list = qobject_cast<QTreeView*>(Usable(listId));
    if (!list || !answerer_) return false;
    answerer_->menuChoice = choice;
    // Over the row the user works on, which a right click keeps selected; else the first.
    const QModelIndex current = list->currentIndex().isValid() ? list->currentIndex() : list->model()->index(0, 0);
    const QRect first = list->visualRect(current);
    const QPoint at = list->viewport()->mapTo(&window_, first.isValid() ? first.center() : QPoint(4, 4));
    QTest::mouseClick(window_.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    answerer_->menuChoice = -1;
    return true;
}

void QtTestWindow::Activate() {
    // The offscreen platform gives the activation to a popup or a message box and does
    // not hand it back when they close, as a desktop does; keyboard focus needs it.
    QCoreApplication::processEvents();
    if (window_.IsRunning() && !window_.isActiveWindow()) {
        window_.activateWindow();
        if (!QTest::qWaitForWindowActive(&window_)) std::abort();
    }
}

QWidget* QtTestWindow::Usable(int id) {
    Activate();
    QWidget* widget = window_.Widget(id);
    return window_.IsRunning() && widget && widget->isEnabled() && widget->isVisible() ? widget : nullptr;
}

QTreeView* QtTestWindow::List(int listId) const { return qobject_cast<QTreeView*>(window_.Widget(listId)); }

bool QtTestWindow::Choose(int comboId, int index) {
    auto* combo = qobject_cast<QComboBox*>(Usable(comboId));
    if (!combo || index < 0 || index >= combo->count()) return false;
    // A click opens the list and focuses the combo; the keys pick the entry. A click in the
    // open list would have to wait out its guard against the release of a double click.
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* entries = combo->view();
    if (!entries->isVisible()) return false;
    QTest::keyClick(entries, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(entries, Qt::Key_Down);
    QTest::keyClick(entries, Qt::Key_Return);
    return true;
}

bool QtTestWindow::ClickRow(int listId, int item, bool addToSelection) {
    auto* list = qobject_cast<QTreeView*>(Usable(listId));
    if (!list) return false;
    if (item < 0 || item >= list->model()->rowCount()) return ClickEmptyArea(listId);
    const QModelIndex index = list->model()->index(item, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton,
                      addToSelection ? Qt::ControlModifier : Qt::NoModifier, list->visualRect(index).center());
    return true;
}

bool QtTestWindow::ClickEmptyArea(int listId) {
    auto* list = qobject_cast<QTreeView*>(Usable(listId));
    if (!list) return false;
    list->scrollToBottom();
    const QWidget* area = list->viewport();
    const int rows = list->model()->rowCount();
    const int lastBottom = rows ? list->visualRect(list->model()->index(rows - 1, 0)).bottom() : -1;
    QPoint point(4, area->height() - 2);
    if (lastBottom >= point.y()) {
        // No room below the rows: right of the last column, where no item is either.
        point = QPoint(list->header()->length() + 4, 4);
        if (point.x() >= area->width()) return false;
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    return true;
}

bool QtTestWindow::FocusWithTab(QWidget* target) {
    for (qsizetype presses = 0; !target->hasFocus(); ++presses) {
        if (presses > window_.children().size()) return false;
        QWidget* from = window_.focusWidget();
        QTest::keyClick(from ? from : &window_, Qt::Key_Tab);
    }
    return true;
}

bool QtTestWindow::MoveSelection(int listId, int delta) {
    auto* list = qobject_cast<QTreeView*>(Usable(listId));
    if (!list || !FocusWithTab(list)) return false;
    for (int i = 0; i < std::abs(delta); ++i) QTest::keyClick(list, delta > 0 ? Qt::Key_Down : Qt::Key_Up);
    return true;
}

bool QtTestWindow::Type(int editId, std::string_view text) {
    auto* edit = qobject_cast<QLineEdit*>(Usable(editId));
    if (!edit) return false;
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    // QTest's own typing knows Latin-1 only; a Cyrillic key carries its letter as text.
    for (const QChar c : ToQString(text))
        QTest::sendKeyEvent(QTest::Click, edit, static_cast<Qt::Key>(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
    return true;
}

bool QtTestWindow::Press(int buttonId) {
    auto* button = qobject_cast<QPushButton*>(Usable(buttonId));
    if (!button) return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool QtTestWindow::PressKey(int key) {
    Activate();
    if (!window_.IsRunning()) return false;
    QWidget* focus = window_.focusWidget();
    QTest::keyClick(focus ? focus : &window_, static_cast<Qt::Key>(key));
    return true;
}

bool QtTestWindow::PressEnter() { return PressKey(Qt::Key_Return); }
bool QtTestWindow::PressEscape() { return PressKey(Qt::Key_Escape); }

bool QtTestWindow::CopyFromList(int listId) {
    auto* list = qobject_cast<QTreeView*>(Usable(listId));
    if (!list || !FocusWithTab(list)) return false;
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    return true;
}

bool QtTestWindow::PressCloseBox() {
    Activate();
    if (!window_.IsRunning()) return false;
    window_.close();
    return true;
}

bool QtTestWindow::IsItemMarked(int listId, int item) {
    const QTreeView* list = List(listId);
    return list && list->model()->index(item, 0).data(Qt::FontRole).value<QFont>().bold();
}

std::vector<std::string> QtTestWindow::Entries(int comboId) {
    std::vector<std::string> entries;
    if (auto* combo = qobject_cast<QComboBox*>(window_.Widget(comboId)))
        for (int i = 0; i < combo->count(); ++i) entries.push_back(ToAnsi(combo->itemText(i)));
    return entries;
}

int QtTestWindow::Selection(int comboId) {
    auto* combo = qobject_cast<QComboBox*>(window_.Widget(comboId));
    return combo ? combo->currentIndex() : -1;
}

bool QtTestWindow::IsEnabled(int id) {
    const QWidget* widget = window_.Widget(id);
    return widget && widget->isEnabled();
}

std::string QtTestWindow::Text(int id) {
    QWidget* widget = window_.Widget(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) return ToAnsi(label->text());
    if (auto* bar = qobject_cast<QStatusBar*>(widget)) return ToAnsi(bar->currentMessage());
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return ToAnsi(edit->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return ToAnsi(button->text());
    return {};
}

int QtTestWindow::ItemCount(int listId) {
    const QTreeView* list = List(listId);
    return list ? list->model()->rowCount() : 0;
}

std::string QtTestWindow::ItemText(int listId, int item, int column) {
    const QTreeView* list = List(listId);
    return list ? ToAnsi(list->model()->index(item, column).data(platform::qt::QtListView::kTextRole).toString())
                : std::string();
}

int QtTestWindow::FirstSelectedItem(int listId) {
    const QTreeView* list = List(listId);
    if (!list) return -1;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        if (list->selectionModel()->isSelected(list->model()->index(row, 0))) return row;
    return -1;
}

std::string QtTestWindow::Clipboard() { return ToAnsi(QGuiApplication::clipboard()->text()); }

std::unique_ptr<platform::UserActions> OpenTestWindow(platform::Dialog& dialog) {
    return std::make_unique<QtTestWindow>(dialog);
}

}  // namespace kelvo::test

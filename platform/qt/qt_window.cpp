#include "platform/qt/qt_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QUrl>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QTreeView>

#include "platform/file.h"
#include "platform/ansi_text.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_page_canvas.h"
#include "platform/qt/qt_text.h"

namespace kelvo::platform::qt {
namespace {

// A Windows file-dialog filter ("Text (*.txt)|*.txt|All|*.*", '|' or NUL separated)
// as Qt's entries ("Text (*.txt)", "All (*.*)"), which ";;" joins into one filter.
QStringList ToQtFilters(std::string_view filter) {
    QString text = ToQString(filter);
    text.replace(QChar(u'\0'), QLatin1Char('|'));
    QStringList parts = text.split(QLatin1Char('|'));
    while (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << (parts[i].endsWith(QLatin1Char(')')) ? parts[i] : parts[i] + " (" + patterns + ")");
    }
    return entries;
}

// The user's own settings of the window, $XDG_CONFIG_HOME/kelvo/kelvo.conf, beside the
// settings file that names the data directory.
QSettings UserSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("kelvo"), QStringLiteral("kelvo"));
}

constexpr auto kGeometryKey = "window/geometry";

}  // namespace

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

QtWindow::QtWindow(Dialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {
    const DialogTemplate& templ = dialog.Template();
    setWindowTitle(ToQString(templ.caption));
    // A modal frame with a close box; maximisable when the window may grow.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | (templ.Resizable() ? Qt::WindowMaximizeButtonHint : Qt::WindowFlags()));
    setFont(QFont(ToQString(templ.fontName), templ.fontPointSize));
    // Laid out in the units of the dialog's font, so the captions fit whatever font the
    // name resolves to here.
    const QSize units = DialogBaseUnits(font());
    const auto x = [&](int dialogUnits) { return DialogUnitsToPixelsX(dialogUnits, units.width()); };
    const auto y = [&](int dialogUnits) { return DialogUnitsToPixelsY(dialogUnits, units.height()); };
    minimum_ = QSize(x(templ.width), y(templ.height));
    if (templ.Resizable()) {
        setMinimumSize(minimum_);
        resize(minimum_);
    } else {
        setFixedSize(minimum_);
    }

    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : templ.controls) {
        QWidget* widget = CreateControl(control);
        QRect rect(x(control.x), y(control.y), x(control.width), y(control.height));
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            // The template's height includes the dropped-down part; closed, the combo
            // has its own height and the rest sets how many entries the drop-down shows.
            const int closed = combo->sizeHint().height();
            combo->setMaxVisibleItems(std::max(1, (rect.height() - closed) / units.height()));
            rect.setHeight(closed);
        }
        widget->setGeometry(rect);
        placed_.push_back({rect.x(), rect.y(), rect.width(), rect.height()});
        if (!control.toolTip.empty()) widget->setToolTip(ToQString(control.toolTip));
        if (control.style & kTabStop) {
            if (previousTabStop) setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        } else if (widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        widgets_.push_back(widget);
        if (control.id != kNoId) widgetsById_[control.id] = widget;
    }
    for (const InitialEntry& entry : templ.initialEntries)
        if (auto* combo = dynamic_cast<ComboBox*>(GetItem(entry.id))) combo->AddString(entry.text);
}

QtWindow::~QtWindow() {
    running_ = false;
    if (dialog_.IsOpen()) dialog_.Close();
    // The widgets go before their adapters, whose signal handlers they may still call.
    for (QWidget* widget : widgets_) delete widget;
}

QWidget* QtWindow::CreateControl(const ControlTemplate& control) {
    const int id = control.id;
    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(ToQString(control.caption), this);
            button->setAutoDefault(true);
            button->setDefault(control.style & kDefaultButton);
            connect(button, &QPushButton::clicked, this, [this, id] { OnButtonClicked(id); });
            Keep(id, std::make_unique<QtButton>(*button));
            return button;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(this);
            auto adapter = std::make_unique<QtComboBox>(*combo);
            // `activated` is the user's choice; currentIndexChanged also fires for the program's.
            connect(combo, &QComboBox::activated, this, [this, id, box = adapter.get()] {
                if (box->TakeUserChange()) Raise(Event::SelChange, id);
            });
            Keep(id, std::move(adapter));
            return combo;
        }
        case ControlKind::StaticText: {
            auto* label = new QLabel(ToQString(control.caption), this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            Keep(id, std::make_unique<QtStatic>(*label));
            return label;
        }
        case ControlKind::StatusLine: {
            auto* bar = new QStatusBar(this);
            bar->setSizeGripEnabled(false);
            Keep(id, std::make_unique<QtStatusLine>(*bar));
            return bar;
        }
        case ControlKind::ListView: {
            auto* list = new ReportView(this);
            list->setFrameShape((control.style & kBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
            list->notify = [this, id](Event event) { return Raise(event, id); };
            Keep(id, std::make_unique<QtListView>(*list));
            return list;
        }
        case ControlKind::Picture: {
            auto* picture = new PagePicture(this);
            Keep(id, std::make_unique<QtPicture>(*picture));
            return picture;
        }
        case ControlKind::Edit: {
            auto* edit = new ReturnEdit(this);
            edit->setFrame(control.style & kBorder);
            edit->setAlignment(((control.style & kAlignRight) ? Qt::AlignRight : Qt::AlignLeft) |
                               Qt::AlignVCenter);
            edit->offerReturn = [this, id] { return Raise(Event::EditReturn, id); };
            edit->offerEscape = [this, id] { return Raise(Event::EditEscape, id); };
            // textEdited is the user's typing; textChanged also comes for the program's setText.
            connect(edit, &QLineEdit::textEdited, this, [this, id] { Raise(Event::EditChange, id); });
            Keep(id, std::make_unique<QtEdit>(*edit));
            return edit;
        }
    }
    return new QWidget(this);
}

void QtWindow::Open() {
    running_ = true;
    const bool focusFirst = dialog_.Open(*this);
    // After OnInitDialog: the columns that grow with the window exist now.
    if (running_ && rememberGeometry_ && dialog_.Template().Resizable())
        restoreGeometry(UserSettings().value(kGeometryKey).toByteArray());
    if (!focusFirst) return;
    const auto& controls = dialog_.Template().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if ((controls[i].style & kTabStop) && widgets_[i]->isEnabled()) {
            widgets_[i]->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void QtWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceControls();
}

void QtWindow::PlaceControls() {
    const int dx = std::max(0, width() - minimum_.width());
    const int dy = std::max(0, height() - minimum_.height());
    if (menuBar_) menuBar_->setGeometry(0, 0, width(), top_);
    const auto& controls = dialog_.Template().controls;
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        const Rect rect = GrownRect(controls[i], placed_[i], dx, dy);
        widgets_[i]->setGeometry(rect.x, rect.y + top_, rect.width, rect.height);
        // By the width gained since the last resize: a column the user has widened keeps that.
        auto* list = qobject_cast<QTreeView*>(widgets_[i]);
        if (list && controls[i].growingColumn >= 0 && (controls[i].style & kGrowWidth)) {
            const int column = controls[i].growingColumn;
            list->header()->resizeSection(column, std::max(0, list->header()->sectionSize(column) + dx - columnsGrownBy_));
        }
    }
    columnsGrownBy_ = dx;
}

QWidget* QtWindow::Widget(int id) const {
    const auto it = widgetsById_.find(id);
    return it == widgetsById_.end() ? nullptr : it->second;
}

QWidget* QtWindow::WidgetAt(std::size_t index) const {
    return index < widgets_.size() ? widgets_[index] : nullptr;
}

Control* QtWindow::GetItem(int id) {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void QtWindow::Keep(int id, std::unique_ptr<Control> adapter) {
    if (id != kNoId) controls_[id] = adapter.get();
    adapters_.push_back(std::move(adapter));
}

bool QtWindow::Raise(Event event, int id) { return running_ && !quiet_ && dialog_.Deliver(event, id); }

void QtWindow::OnButtonClicked(int id) {
    if (Raise(Event::Clicked, id) || !running_) return;
    if (id == kIdOk && dialog_.QueryClose()) accept();
    if (id == kIdCancel) reject();
}

void QtWindow::reject() {
    if (running_ && !dialog_.QueryClose()) return;
    QDialog::reject();
}

void QtWindow::done(int result) {
    // Not before it was shown: a window that ended while it opened never had the kept size.
    if (running_ && rememberGeometry_ && isVisible() && dialog_.Template().Resizable())
        UserSettings().setValue(kGeometryKey, saveGeometry());
    if (running_) {
        running_ = false;
        endCode_ = result == QDialog::Rejected ? kIdCancel : result;
    }
    QDialog::done(result);
}

void QtWindow::SetIcon(int iconId, bool big) {
    // Icon resources are compiled in as ":/icons/<id>/icon32.xpm" and "icon16.xpm".
    const QPixmap image(QStringLiteral(":/icons/%1/icon%2.xpm").arg(iconId).arg(big ? 32 : 16));
    if (image.isNull()) return;
    icon_.addPixmap(image);
    setWindowIcon(icon_);
}

void QtWindow::ShowMessage(std::string_view text, std::string_view title) {
    QMessageBox box(QMessageBox::NoIcon,
                    title.empty() ? QGuiApplication::applicationDisplayName() : ToQString(title),
                    ToQString(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Answer QtWindow::AskYesNoCancel(std::string_view text) {
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    // The window's own words, whatever translation Qt has loaded.
    box.button(QMessageBox::Yes)->setText(QStringLiteral(u"Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral(u"Нет"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral(u"Отмена"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return Answer::Cancel;
    }
}

void QtWindow::SetClipboardText(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

bool QtWindow::AskSaveFileName(std::string_view title, std::string_view filter, std::string& path,
                               int& filterIndex) {
    // The window's logic suggests a Windows-style path ('\' between folders); the dialog
    // would take it all for one file name in the current folder.
    const QString suggested = QString::fromStdString(NativePath(path));
    const QStringList filters = ToQtFilters(filter);
    QString selected = filters.value(filterIndex);
    const QString chosen = QFileDialog::getSaveFileName(this, ToQString(title), suggested,
                                                        filters.join(QStringLiteral(";;")), &selected);
    if (chosen.isEmpty()) return false;
    // The name as the system gives it: one with signs 1251 lacks is still saved under it.
    path = chosen.toStdString();
    if (const auto index = filters.indexOf(selected); index >= 0) filterIndex = static_cast<int>(index);
    return true;
}

namespace {

// '&' marks a menu entry's mnemonic: a folder's name shows its own.
QString MenuText(std::string_view caption) { return ToQString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")); }

QKeySequence KeysOf(const Shortcut& shortcut) {
    static const std::map<StandardKey, QKeySequence::StandardKey> kStandard = {
        {StandardKey::Save, QKeySequence::Save},         {StandardKey::Open, QKeySequence::Open},
        {StandardKey::Print, QKeySequence::Print},       {StandardKey::Copy, QKeySequence::Copy},
        {StandardKey::Find, QKeySequence::Find},         {StandardKey::FindNext, QKeySequence::FindNext},
        {StandardKey::FindPrevious, QKeySequence::FindPrevious},
        {StandardKey::HelpContents, QKeySequence::HelpContents}, {StandardKey::Quit, QKeySequence::Quit},
    };
    if (const auto it = kStandard.find(shortcut.standard); it != kStandard.end()) {
        const QKeySequence standard(it->second);
        if (!standard.isEmpty()) return standard;
    }
    if (!shortcut.IsSet()) return {};
    int key = shortcut.key >= Shortcut::kF1 && shortcut.key < Shortcut::kF1 + 12 ? Qt::Key_F1 + (shortcut.key - Shortcut::kF1)
                                                                               : shortcut.key;
    if (shortcut.modifiers & Shortcut::kCtrl) key |= Qt::CTRL;
    if (shortcut.modifiers & Shortcut::kShift) key |= Qt::SHIFT;
    return QKeySequence(key);
}

}  // namespace

void QtWindow::SetMenuBar(const std::vector<Menu>& menus) {
    const bool first = !menuBar_;
    if (first) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);  // inside the window, as on Windows
    }
    menuBar_->clear();
    actions_.clear();
    for (const Menu& menu : menus) {
        QMenu* shown = menuBar_->addMenu(MenuText(menu.caption));
        for (const MenuItem& item : menu.items) {
            if (item.command == kSeparator) {
                shown->addSeparator();
                continue;
            }
            QAction* action = shown->addAction(MenuText(item.caption));
            action->setShortcuts(QList<QKeySequence>{KeysOf(item.shortcut)});
            action->setEnabled(item.enabled);
            connect(action, &QAction::triggered, this, [this, command = item.command] { Raise(Event::Command, command); });
            actions_[item.command] = action;
        }
    }
    if (first) {
        // Measured with its menus: an empty bar has no height. The controls keep the
        // template's client area, and the window grows by the bar.
        top_ = menuBar_->sizeHint().height();
        const int grown = height() + top_;  // before the new minimum has grown the window itself
        minimum_.setHeight(minimum_.height() + top_);
        if (dialog_.Template().Resizable()) setMinimumSize(minimum_);
        else setFixedSize(minimum_);
        resize(width(), grown);
    }
    PlaceControls();
}

int QtWindow::CommandOf(const QAction* action) const {
    for (const auto& [command, shown] : actions_)
        if (shown == action) return command;
    return kSeparator;
}

void QtWindow::EnableCommand(int command, bool enabled) {
    if (const auto it = actions_.find(command); it != actions_.end()) it->second->setEnabled(enabled);
}

void QtWindow::FocusControl(int id) {
    QWidget* widget = Widget(id);
    if (!widget) return;
    quiet_ = true;
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
    quiet_ = false;
}

bool QtWindow::AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) {
    const QStringList filters = ToQtFilters(filter);
    const QString chosen = QFileDialog::getOpenFileName(this, ToQString(title), QString::fromStdString(NativePath(path)),
                                                        filters.join(QStringLiteral(";;")));
    if (chosen.isEmpty()) return false;
    path = chosen.toStdString();
    return true;
}

bool QtWindow::AskFolderName(std::string_view title, std::string& path) {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, ToQString(title), QString::fromStdString(NativePath(path)));
    if (chosen.isEmpty()) return false;
    path = chosen.toStdString();
    return true;
}

bool QtWindow::OpenDocument(const std::string& path) {
    if (documentOpener) return documentOpener(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(NativePath(path))));
}

int QtWindow::TrackPopupMenu(std::span<const MenuItem> items) {
    QMenu menu(this);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].command == kSeparator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(MenuText(items[i].caption));
        action->setData(static_cast<int>(i));
        action->setEnabled(items[i].enabled);
        // Shown, as in the menu bar, but the window's own action takes the keys.
        action->setShortcut(KeysOf(items[i].shortcut));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : -1;
}

void QtWindow::ShowProgress(std::string_view label, int done, int total) {
    if (!progress_) {
        progress_ = new QProgressDialog(this);
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setCancelButton(nullptr);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
    }
    progress_->setLabelText(ToQString(label));
    progress_->setMaximum(total);
    progress_->setValue(done);
}

bool QtWindow::ShowCancellableProgress(std::string_view label, int done, int total) {
    if (!progress_) {
        ShowProgress(label, done, total);
        progress_->setCancelButtonText(QStringLiteral(u"Отмена"));
    }
    ShowProgress(label, done, total);
    // A window-modal progress lets the events through at each value: the button's click too.
    QCoreApplication::processEvents();
    return !progress_->wasCanceled();
}

void QtWindow::EndProgress() { delete progress_; }

int QtWindow::RunModal(Dialog& dialog) {
    QtWindow window(dialog, this);
    return RunWindow(window, dialog);
}

int RunWindow(QtWindow& window, Dialog& dialog, const std::function<void(QtWindow&)>& shown) {
    window.Open();
    // A dialog that ended while it opened is never shown, as on Windows.
    if (window.IsRunning()) {
        if (shown) QTimer::singleShot(0, &window, [&shown, &window] { shown(window); });
        window.exec();
    }
    dialog.Close();
    return window.EndCode();
}

int QtFrontEnd::RunModal(Dialog& dialog) {
    QtWindow window(dialog);
    window.RememberGeometry();
    return RunWindow(window, dialog, shown_);
}

bool QtWindow::PrintPages(const PageLayout& layOut, std::string& message) {
    static constexpr AnsiText kNotPrinted(u8"Страницы не напечатаны: принтер не принял задание.");
    message.clear();
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);  // the pages place their own margins from the sheet's corner
    {
        // The preview opens on the pages' orientation and paper before it first paints.
        QtPageCanvas canvas(printer);
        const PageSet pages = layOut(canvas);
        printer.setDocName(ToQString(pages.title));
        printer.setPageOrientation(pages.orientation == PageOrientation::Portrait ? QPageLayout::Portrait
                                                                                  : QPageLayout::Landscape);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    QPrintPreviewDialog preview(&printer, this);
    bool drawn = true;
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&layOut, &drawn](QPrinter* device) {
        QtPageCanvas canvas(*device);
        drawn = DrawPages(layOut(canvas), canvas);
    });
    if (preview.exec() != QDialog::Accepted) return false;
    if (!drawn) message = kNotPrinted.view();
    return drawn;
}

bool QtWindow::RenderPdf(const PageLayout& layOut, std::string& bytes) { return qt::RenderPdf(layOut, bytes); }

}  // namespace kelvo::platform::qt

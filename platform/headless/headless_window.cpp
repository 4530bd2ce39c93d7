#include "platform/headless/headless_window.h"

#include <algorithm>

namespace kelvo::platform::headless {

HeadlessWindow::HeadlessWindow(Dialog& dialog) : dialog_(dialog) {
    const DialogTemplate& templ = dialog.Template();
    for (const ControlTemplate& c : templ.controls) {
        if (c.id == kNoId) continue;
        std::unique_ptr<Control> control;
        switch (c.kind) {
            case ControlKind::PushButton: {
                auto button = std::make_unique<ModelButton>();
                button->SetText(c.caption);
                if (c.style & kDefaultButton) defaultButton_ = c.id;
                control = std::move(button);
                break;
            }
            case ControlKind::ComboBox: control = std::make_unique<ModelComboBox>(); break;
            case ControlKind::StatusLine: control = std::make_unique<ModelStatic>(); break;
            case ControlKind::StaticText: {
                auto label = std::make_unique<ModelStatic>();
                label->SetText(c.caption);
                control = std::move(label);
                break;
            }
            case ControlKind::ListView: control = std::make_unique<ModelListView>(); break;
            case ControlKind::Edit: control = std::make_unique<ModelEdit>(); break;
            case ControlKind::Picture: control = std::make_unique<ModelPicture>(); break;
        }
        controls_[c.id] = std::move(control);
        if (focus_ == kNoId && (c.style & kTabStop)) focus_ = c.id;
    }
    for (const InitialEntry& entry : templ.initialEntries) Combo(entry.id).AddString(entry.text);
    open_ = true;
    dialog_.Open(*this);
}

HeadlessWindow::~HeadlessWindow() {
    if (open_) dialog_.Close();
}

Control* HeadlessWindow::GetItem(int id) {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.get();
}

ModelComboBox& HeadlessWindow::Combo(int id) { return dynamic_cast<ModelComboBox&>(*GetItem(id)); }
ModelListView& HeadlessWindow::List(int id) { return dynamic_cast<ModelListView&>(*GetItem(id)); }
TextControl& HeadlessWindow::TextOf(int id) { return dynamic_cast<platform::TextControl&>(*GetItem(id)); }

bool HeadlessWindow::Usable(int id) {
    Control* control = GetItem(id);
    return open_ && control && control->IsEnabled();
}

bool HeadlessWindow::Raise(Event event, int id) { return open_ && dialog_.Deliver(event, id); }

bool HeadlessWindow::Choose(int comboId, int index) {
    if (!Usable(comboId)) return false;
    ModelComboBox& combo = Combo(comboId);
    if (index < 0 || index >= combo.GetCount()) return false;
    focus_ = comboId;
    // Choosing the entry that is already selected changes nothing and raises nothing.
    if (combo.GetCurSel() == index) return true;
    combo.SetCurSel(index);
    Raise(Event::SelChange, comboId);
    return true;
}

bool HeadlessWindow::FocusList(int listId) {
    if (!Usable(listId)) return false;
    if (focus_ != listId) {
        focus_ = listId;
        Raise(Event::ListSetFocus, listId);
    }
    return true;
}

bool HeadlessWindow::ClickRow(int listId, int item, bool addToSelection) {
    // As in a list view: the list takes the focus on the button press, the selection
    // changes, and the click is notified when the button is released.
    if (!FocusList(listId)) return false;
    ModelListView& list = List(listId);
    if (item < 0 || item >= list.GetItemCount()) return ClickEmptyArea(listId);
    if (!addToSelection) list.ClearSelection();
    list.SetSelected(item, true);
    list.SetFocused(item);
    Raise(Event::ListClick, listId);
    return true;
}

bool HeadlessWindow::ClickEmptyArea(int listId) {
    if (!FocusList(listId)) return false;
    List(listId).ClearSelection();
    Raise(Event::ListClick, listId);
    return true;
}

bool HeadlessWindow::MoveSelection(int listId, int delta) {
    if (!FocusList(listId)) return false;
    ModelListView& list = List(listId);
    if (list.GetItemCount() == 0) return true;
    const int to = std::clamp(list.Focused() + delta, 0, list.GetItemCount() - 1);
    list.ClearSelection();
    list.SetSelected(to, true);
    list.SetFocused(to);
    Raise(Event::ListKeySelect, listId);  // arrow keys send no click
    return true;
}

bool HeadlessWindow::Type(int editId, std::string_view text) {
    if (!Usable(editId)) return false;
    focus_ = editId;
    const bool changed = TextOf(editId).GetText() != text;
    TextOf(editId).SetText(text);
    if (changed) Raise(Event::EditChange, editId);
    return true;
}

bool HeadlessWindow::Press(int buttonId) {
    if (!Usable(buttonId)) return false;
    focus_ = buttonId;
    if (!Raise(Event::Clicked, buttonId) && (buttonId == kIdOk || buttonId == kIdCancel))
        RequestEnd(buttonId);
    return true;
}

bool HeadlessWindow::PressEnter() {
    if (!open_) return false;
    const ControlTemplate* focused = dialog_.Template().Find(focus_);
    if (focused && focused->kind == ControlKind::Edit && Raise(Event::EditReturn, focus_)) return true;
    // A focused push button is the one Enter presses; otherwise the default button.
    if (focused && focused->kind == ControlKind::PushButton) return Press(focus_);
    return Press(defaultButton_);
}

bool HeadlessWindow::PressEscape() {
    if (!open_) return false;
    const ControlTemplate* focused = dialog_.Template().Find(focus_);
    if (focused && focused->kind == ControlKind::Edit && Raise(Event::EditEscape, focus_)) return true;
    RequestEnd(kIdCancel);
    return true;
}

bool HeadlessWindow::PressCloseBox() { return PressEscape(); }

void HeadlessWindow::RequestEnd(int code) {
    if (dialog_.QueryClose()) EndDialog(code);
}

bool HeadlessWindow::CopyFromList(int listId) {
    if (!FocusList(listId)) return false;
    Raise(Event::ListCopy, listId);
    return true;
}

bool HeadlessWindow::ContextMenu(int listId) {
    if (!Usable(listId)) return false;
    Raise(Event::ListContextMenu, listId);
    return true;
}

void HeadlessWindow::Paint() {
    if (!Raise(Event::Paint, kNoId)) DefaultPaint();
}

void HeadlessWindow::SetIcon(int iconId, bool big) { iconsSet.emplace_back(iconId, big); }

void HeadlessWindow::ShowMessage(std::string_view text, std::string_view title) {
    messages.emplace_back(text);
    messageTitles.emplace_back(title);
}

Answer HeadlessWindow::AskYesNoCancel(std::string_view text) {
    questions.emplace_back(text);
    return answer_;
}

void HeadlessWindow::EndDialog(int result) {
    if (!open_) return;
    open_ = false;
    endCode_ = result;
    dialog_.Close();
}

WindowHost::IconPaint HeadlessWindow::GetIconPaint() const {
    // A minimised dialog's client area on Windows, with the standard 32-pixel icon.
    return IconPaint{160, 24, 32, 32};
}

void HeadlessWindow::DrawIconAt(int x, int y) { iconDrawnAt.emplace_back(x, y); }

bool HeadlessWindow::AskSaveFileName(std::string_view, std::string_view filter, std::string& path,
                                     int& filterIndex) {
    saveFilter = filter;
    if (!saveFileAnswer || !saveFileAnswer(path)) return false;
    if (saveFilterAnswer >= 0) filterIndex = saveFilterAnswer;
    return true;
}

int HeadlessWindow::TrackPopupMenu(std::span<const MenuItem> items) {
    popup.assign(items.begin(), items.end());
    std::vector<std::string_view> captions;
    for (const MenuItem& item : popup) captions.push_back(item.caption);  // kept until the next menu
    const int chosen = menuAnswer ? menuAnswer(captions) : -1;
    // A greyed entry does not take the click.
    if (chosen < 0 || chosen >= static_cast<int>(items.size()) || !items[static_cast<std::size_t>(chosen)].enabled)
        return -1;
    return chosen;
}

void HeadlessWindow::EnableCommand(int command, bool enabled) {
    for (Menu& menu : menus)
        for (MenuItem& item : menu.items)
            if (item.command == command) item.enabled = enabled;
}

void HeadlessWindow::FocusControl(int id) {
    if (GetItem(id)) focus_ = id;
}

bool HeadlessWindow::AskFolderName(std::string_view, std::string& path) {
    folderStarts.push_back(path);
    if (folderAnswer.empty()) return false;
    path = folderAnswer;
    return true;
}

bool HeadlessWindow::AskOpenFileName(std::string_view, std::string_view filter, std::string& path) {
    saveFilter = filter;
    if (openAnswer.empty()) return false;
    path = openAnswer;
    return true;
}

bool HeadlessWindow::OpenDocument(const std::string& path) {
    documents.push_back(path);
    return true;
}

bool HeadlessWindow::ChooseMenuItem(int command) {
    const MenuItem* item = open_ ? FindCommand(menus, command) : nullptr;
    if (!item || !item->enabled) return false;
    Raise(Event::Command, command);
    return true;
}

bool HeadlessWindow::ChooseContextMenuItem(int listId, int command) {
    if (!Usable(listId)) return false;
    bool chosen = false;
    auto before = std::move(menuAnswer);
    menuAnswer = [&](std::span<const std::string_view>) {
        for (std::size_t i = 0; i < popup.size(); ++i)
            if (popup[i].command == command && popup[i].command != kSeparator) {
                chosen = popup[i].enabled;
                return static_cast<int>(i);
            }
        return -1;
    };
    Raise(Event::ListContextMenu, listId);
    menuAnswer = std::move(before);
    return chosen;
}

bool HeadlessWindow::PressKeys(const Shortcut& keys) {
    if (!open_) return false;
    // An edit keeps the keys it edits with: Ctrl+C there copies the edit's own text.
    const ControlTemplate* focused = dialog_.Template().Find(focus_);
    const bool editKey = keys.modifiers == Shortcut::kCtrl &&
                         (keys.key == 'C' || keys.key == 'V' || keys.key == 'X' || keys.key == 'A' || keys.key == 'Z');
    if (focused && focused->kind == ControlKind::Edit && editKey) {
        if (keys.key == 'C') clipboard = TextOf(focus_).GetText();
        return true;
    }
    if (const MenuItem* item = FindShortcut(menus, keys)) Raise(Event::Command, item->command);
    return true;
}

void HeadlessWindow::ShowProgress(std::string_view, int done, int total) {
    progress.emplace_back(done, total);
}

bool HeadlessWindow::ShowCancellableProgress(std::string_view label, int done, int total) {
    ShowProgress(label, done, total);
    return !cancelProgress;
}

int HeadlessWindow::RunModal(Dialog& dialog) {
    HeadlessWindow window(dialog);
    if (modalUser) modalUser(window);
    return window.IsOpen() ? kIdCancel : window.EndCode();
}

bool HeadlessWindow::PrintPages(const PageLayout& layOut, std::string& message) {
    message.clear();
    if (!printAnswer) return false;
    FixedTextMeasure measure;
    printed.push_back(layOut(measure));
    return true;
}

bool HeadlessWindow::RenderPdf(const PageLayout& layOut, std::string& bytes) {
    FixedTextMeasure measure;
    const PageSet& pages = pdfs.emplace_back(layOut(measure));
    bytes.clear();
    for (const Page& page : pages.pages) {
        for (const PageText& text : page.texts) bytes += text.text + "\n";
        bytes += '\f';
    }
    return true;
}

int HeadlessFrontEnd::RunModal(Dialog& dialog) {
    HeadlessWindow window(dialog);
    if (user_) user_(window);
    return window.IsOpen() ? kIdCancel : window.EndCode();
}

}  // namespace kelvo::platform::headless

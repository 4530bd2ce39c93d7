#include "platform/web/web_window.h"

#include <dirent.h>
#include <emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/codepage.h"
#include "platform/json_text.h"

// The page's side, in kelvo_dom.js.
extern "C" {
void kelvo_open_window(int window, const char* layout);
void kelvo_render(int window, const char* state);
void kelvo_close_window(int window);
void kelvo_show_dialog(int window, const char* dialog);
void kelvo_download(const char* path, const char* name);
void kelvo_set_clipboard(const char* text);
void kelvo_open_document(const char* path);
void kelvo_print(const char* pages);
void kelvo_pick_files(int window, int folder, const char* accept);
}

// Whether a page is there: under node (the behaviour suites) nobody answers a dialog of the
// page, and the model's own answers stand in, as the headless front end gives them.
EM_JS(int, kelvo_has_page, (), { return typeof document !== 'undefined' ? 1 : 0; });

// Suspends the WebAssembly stack until the page has an event (Asyncify); fills `event`
// (window, kind, id, index, modifiers) and returns its text, malloc'd UTF-8.
EM_ASYNC_JS(char*, kelvo_wait_event, (int* event), {
    const next = await Module.kelvoNextEvent();
    HEAP32[event >> 2] = next.window;
    HEAP32[(event >> 2) + 1] = next.kind;
    HEAP32[(event >> 2) + 2] = next.id | 0;
    HEAP32[(event >> 2) + 3] = next.index | 0;
    HEAP32[(event >> 2) + 4] = next.modifiers | 0;
    const text = next.text || "";
    const size = lengthBytesUTF8(text) + 1;
    const bytes = _malloc(size);
    stringToUTF8(text, bytes, size);
    return bytes;
});

namespace kelvo::platform::web {
namespace {

enum EventKind {
    kChoose = 1, kClickRow, kType, kPress, kEnter, kEscape, kMenu, kKeys, kContextMenu, kAnswer, kCloseBox,
    kEmptyArea, kFocusList, kResize,
};

int nextWindow = 1;

const char* KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton: return "button";
        case ControlKind::ComboBox: return "combo";
        case ControlKind::StaticText: return "label";
        case ControlKind::ListView: return "list";
        case ControlKind::Edit: return "edit";
        case ControlKind::StatusLine: return "status";
        case ControlKind::Picture: return "picture";
    }
    return "label";
}

std::string PageJson(const Page& page, double width, double height) {
    std::string json = "{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) + ",\"boxes\":[";
    for (std::size_t i = 0; i < page.boxes.size(); ++i) {
        const PageBox& b = page.boxes[i];
        char item[160];
        std::snprintf(item, sizeof item, "%s[%.2f,%.2f,%.2f,%.2f,%.3f]", i ? "," : "", b.x, b.y, b.width, b.height, b.shade);
        json += item;
    }
    json += "],\"lines\":[";
    for (std::size_t i = 0; i < page.lines.size(); ++i) {
        const PageLine& l = page.lines[i];
        char item[160];
        std::snprintf(item, sizeof item, "%s[%.2f,%.2f,%.2f,%.2f]", i ? "," : "", l.x1, l.y1, l.x2, l.y2);
        json += item;
    }
    json += "],\"texts\":[";
    for (std::size_t i = 0; i < page.texts.size(); ++i) {
        const PageText& t = page.texts[i];
        char item[96];
        std::snprintf(item, sizeof item, "%s[%.2f,%.2f,%d,", i ? "," : "", t.x, t.y, static_cast<int>(t.font));
        json += item + JsonString(t.text) + "]";
    }
    return json + "]}";
}

std::string MenusJson(const std::vector<Menu>& menus) {
    std::string json = "[";
    for (std::size_t m = 0; m < menus.size(); ++m) {
        json += (m ? ",{\"caption\":" : "{\"caption\":") + JsonString(menus[m].caption) + ",\"items\":[";
        for (std::size_t i = 0; i < menus[m].items.size(); ++i) {
            const MenuItem& item = menus[m].items[i];
            json += (i ? "," : "") + std::string("{\"command\":") + std::to_string(item.command) +
                    ",\"caption\":" + JsonString(item.caption) + ",\"keys\":" + JsonString(item.shortcut.Text()) +
                    ",\"key\":" + std::to_string(item.shortcut.key) + ",\"modifiers\":" +
                    std::to_string(item.shortcut.modifiers) + ",\"enabled\":" + (item.enabled ? "true" : "false") + "}";
        }
        json += "]}";
    }
    return json + "]";
}

}  // namespace

WebWindow::WebWindow(Dialog& dialog, std::string outputFolder)
    : HeadlessWindow(dialog), number_(nextWindow++), outputFolder_(std::move(outputFolder)) {
    const DialogTemplate& templ = dialog.Template();
    std::string layout = "{\"caption\":" + JsonString(templ.caption) + ",\"width\":" + std::to_string(templ.width) +
                         ",\"height\":" + std::to_string(templ.height) + ",\"controls\":[";
    bool first = true;
    for (const ControlTemplate& c : templ.controls) {
        layout += (first ? "" : ",") + std::string("{\"id\":") + std::to_string(c.id) + ",\"kind\":\"" + KindName(c.kind) +
                  "\",\"caption\":" + JsonString(c.caption) + ",\"x\":" + std::to_string(c.x) + ",\"y\":" + std::to_string(c.y) +
                  ",\"w\":" + std::to_string(c.width) + ",\"h\":" + std::to_string(c.height) + ",\"style\":" +
                  std::to_string(c.style) + ",\"tip\":" + JsonString(c.toolTip) + "}";
        first = false;
    }
    layout += "]}";
    kelvo_open_window(number_, layout.c_str());
    // What is in the folder already was not written by this window.
    OfferWrittenFiles();
    Render();
}

WebWindow::~WebWindow() { kelvo_close_window(number_); }

WebWindow::Event WebWindow::WaitEvent() {
    int fields[5] = {};
    char* text = kelvo_wait_event(fields);
    Event event{fields[0], fields[1], fields[2], fields[3], fields[4], text};
    std::free(text);
    return event;
}

void WebWindow::Run() {
    while (IsOpen()) {
        const Event event = WaitEvent();
        if (event.window == number_) Dispatch(event);
    }
}

void WebWindow::Dispatch(const Event& event) {
    const std::string text = Utf8ToAnsi(event.text);
    switch (event.kind) {
        case kChoose: Choose(event.id, event.index); break;
        case kClickRow: ClickRow(event.id, event.index, event.modifiers != 0); break;
        case kEmptyArea: ClickEmptyArea(event.id); break;
        case kFocusList: FocusList(event.id); break;
        case kType: Type(event.id, text); break;
        case kPress: Press(event.id); break;
        case kEnter:
            if (event.id > 0) FocusControl(event.id);
            PressEnter();
            break;
        case kEscape:
            if (event.id > 0) FocusControl(event.id);
            PressEscape();
            break;
        case kMenu: ChooseMenuItem(event.id); break;
        case kKeys:
            if (event.index > 0) FocusControl(event.index);
            PressKeys(Shortcut{event.id, static_cast<std::uint8_t>(event.modifiers)});
            break;
        case kContextMenu: ContextMenu(event.id); break;
        case kCloseBox: PressCloseBox(); break;
        case kResize: break;
        default: return;
    }
    if (IsOpen()) Render();
    OfferWrittenFiles();
}

void WebWindow::Render() {
    if (!IsOpen()) return;
    std::string state = "{\"focus\":" + std::to_string(FocusId()) + ",\"menus\":" + MenusJson(menus) + ",\"controls\":[";
    bool first = true;
    for (const ControlTemplate& c : Shown().Template().controls) {
        if (c.id == kNoId) continue;
        Control* control = GetItem(c.id);
        if (!control) continue;
        std::string item = "{\"id\":" + std::to_string(c.id) + ",\"enabled\":" + (control->IsEnabled() ? "true" : "false");
        if (auto* combo = dynamic_cast<ModelComboBox*>(control)) {
            item += ",\"selection\":" + std::to_string(combo->GetCurSel()) + ",\"entries\":[";
            for (std::size_t i = 0; i < combo->Entries().size(); ++i) item += (i ? "," : "") + JsonString(combo->Entries()[i]);
            item += "]";
        } else if (auto* list = dynamic_cast<ModelListView*>(control)) {
            item += ",\"columns\":[";
            for (std::size_t i = 0; i < list->Columns().size(); ++i)
                item += (i ? ",[" : "[") + JsonString(list->Columns()[i].caption) + "," + std::to_string(list->Columns()[i].width) + "]";
            item += "],\"rows\":[";
            const int columns = static_cast<int>(list->Columns().size());
            for (int r = 0; r < list->GetItemCount(); ++r) {
                item += r ? ",[" : "[";
                for (int col = 0; col < columns; ++col) item += (col ? "," : "") + JsonString(list->GetItemText(r, col));
                item += "]";
            }
            item += "],\"selected\":[";
            bool any = false;
            for (int r = list->GetNextSelected(-1); r >= 0; r = list->GetNextSelected(r)) {
                item += (any ? "," : "") + std::to_string(r);
                any = true;
            }
            item += "],\"marked\":[";
            any = false;
            for (int r = 0; r < list->GetItemCount(); ++r)
                if (list->GetItemMarks(r) != ListView::kItemPlain) {
                    item += (any ? ",[" : "[") + std::to_string(r) + "," + std::to_string(list->GetItemMarks(r)) + "," +
                            JsonString(list->GetItemToolTip(r)) + "]";
                    any = true;
                }
            item += "]";
        } else if (auto* picture = dynamic_cast<ModelPicture*>(control)) {
            item += ",\"page\":" + PageJson(picture->Shown(), picture->Width(), picture->Height());
        } else if (auto* textControl = dynamic_cast<TextControl*>(control)) {
            item += ",\"text\":" + JsonString(textControl->GetText());
        }
        state += (first ? "" : ",") + item + "}";
        first = false;
    }
    state += "]}";
    kelvo_render(number_, state.c_str());
}

namespace {

// Every file under `folder` but the tables (BD) and the settings, with its size and time.
void LookAt(const std::string& folder, std::map<std::string, long long>& files) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name == "BD" || name == "config" || name.ends_with(".tmp")) continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) LookAt(path, files);
        else if (S_ISREG(st.st_mode))
            files[path] = static_cast<long long>(st.st_mtime) * 1000003LL + st.st_size * 31LL + static_cast<long long>(st.st_ino);
    }
    ::closedir(dir);
}

}  // namespace

void WebWindow::OfferWrittenFiles() {
    if (!kelvo_has_page()) return;
    // One record for every window of the page: a dialog's file is offered once.
    static std::map<std::string, long long> written;
    static bool looked = false;
    std::map<std::string, long long> now;
    LookAt(outputFolder_, now);
    LookAt("/user", now);
    for (const auto& [path, seen] : now) {
        const auto known = written.find(path);
        if (looked && (known == written.end() || known->second != seen))
            kelvo_download(path.c_str(), AnsiToUtf8(path.substr(path.rfind('/') + 1)).c_str());
    }
    written = std::move(now);
    looked = true;
}

int WebWindow::WaitAnswer(std::string* text) {
    // Other events wait: the user answers the dialog in front first.
    for (;;) {
        const Event event = WaitEvent();
        if (event.kind != kAnswer) continue;
        if (text) *text = event.text;
        return event.index;
    }
}

void WebWindow::ShowMessage(std::string_view text, std::string_view title) {
    if (!kelvo_has_page()) return HeadlessWindow::ShowMessage(text, title);
    messages.emplace_back(text);
    messageTitles.emplace_back(title);
    // A page's dialog is easily closed unread: the window's status line keeps what it said.
    for (const ControlTemplate& c : Shown().Template().controls)
        if (c.kind == ControlKind::StatusLine)
            if (auto* status = dynamic_cast<TextControl*>(GetItem(c.id))) status->SetText(text);
    Render();
    const std::string dialog = "{\"kind\":\"message\",\"text\":" + JsonString(text) + ",\"title\":" + JsonString(title) + "}";
    kelvo_show_dialog(number_, dialog.c_str());
    WaitAnswer();
}

Answer WebWindow::AskYesNoCancel(std::string_view text) {
    if (!kelvo_has_page()) return HeadlessWindow::AskYesNoCancel(text);
    questions.emplace_back(text);
    Render();
    const std::string dialog = "{\"kind\":\"question\",\"text\":" + JsonString(text) + "}";
    kelvo_show_dialog(number_, dialog.c_str());
    const int answer = WaitAnswer();
    return answer == 0 ? Answer::Yes : answer == 1 ? Answer::No : Answer::Cancel;
}

void WebWindow::SetClipboardText(std::string_view text) {
    HeadlessWindow::SetClipboardText(text);
    kelvo_set_clipboard(AnsiToUtf8(text).c_str());
}

bool WebWindow::AskSaveFileName(std::string_view title, std::string_view filter, std::string& path, int& filterIndex) {
    if (!kelvo_has_page()) return HeadlessWindow::AskSaveFileName(title, filter, path, filterIndex);
    // A download is the browser's save: the file goes where the window proposes, in the
    // page's own files, and from there to the user.
    if (path.find_first_of("\\/") == std::string::npos) path = outputFolder_ + "/" + path;
    return true;
}

bool WebWindow::AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) {
    if (!kelvo_has_page()) return HeadlessWindow::AskOpenFileName(title, filter, path);
    kelvo_pick_files(number_, 0, filter.find("csv") != std::string_view::npos ? ".csv,.txt" : ".vit");
    std::string chosen;
    if (WaitAnswer(&chosen) != 0 || chosen.empty()) return false;
    path = chosen;
    return true;
}

bool WebWindow::AskFolderName(std::string_view title, std::string& path) {
    if (!kelvo_has_page()) return HeadlessWindow::AskFolderName(title, path);
    kelvo_pick_files(number_, 1, "");
    std::string chosen;
    if (WaitAnswer(&chosen) != 0 || chosen.empty()) return false;
    path = chosen;
    return true;
}

int WebWindow::TrackPopupMenu(std::span<const MenuItem> items) {
    if (!kelvo_has_page()) return HeadlessWindow::TrackPopupMenu(items);
    std::string dialog = "{\"kind\":\"popup\",\"items\":[";
    for (std::size_t i = 0; i < items.size(); ++i)
        dialog += (i ? ",{" : "{") + std::string("\"caption\":") + JsonString(items[i].caption) + ",\"separator\":" +
                  (items[i].command == kSeparator ? "true" : "false") + ",\"enabled\":" + (items[i].enabled ? "true" : "false") +
                  ",\"keys\":" + JsonString(items[i].shortcut.Text()) + "}";
    dialog += "]}";
    kelvo_show_dialog(number_, dialog.c_str());
    const int chosen = WaitAnswer();
    if (chosen < 0 || chosen >= static_cast<int>(items.size()) || !items[static_cast<std::size_t>(chosen)].enabled) return -1;
    return chosen;
}

bool WebWindow::OpenDocument(const std::string& path) {
    if (!kelvo_has_page()) return HeadlessWindow::OpenDocument(path);
    documents.push_back(path);
    kelvo_open_document(path.c_str());
    return true;
}

bool WebWindow::ShowCancellableProgress(std::string_view label, int done, int total) {
    if (!kelvo_has_page()) return HeadlessWindow::ShowCancellableProgress(label, done, total);
    ShowProgress(label, done, total);
    return true;
}

int WebWindow::RunModal(Dialog& dialog) {
    if (!kelvo_has_page()) return HeadlessWindow::RunModal(dialog);
    WebWindow window(dialog, outputFolder_);
    window.Run();
    return window.EndCode();
}

bool WebWindow::PrintPages(const PageLayout& layOut, std::string& message) {
    if (!kelvo_has_page()) return HeadlessWindow::PrintPages(layOut, message);
    message.clear();
    FixedTextMeasure measure;
    const PageSet pages = layOut(measure);
    std::string json = "{\"landscape\":" + std::string(pages.orientation == PageOrientation::Landscape ? "true" : "false") +
                       ",\"title\":" + JsonString(pages.title) + ",\"pages\":[";
    for (std::size_t i = 0; i < pages.pages.size(); ++i) json += (i ? "," : "") + PageJson(pages.pages[i], 0, 0);
    json += "]}";
    kelvo_print(json.c_str());
    return true;
}

bool WebWindow::RenderPdf(const PageLayout& layOut, std::string& bytes) {
    // The page has no PDF of its own: the browser's print dialog saves one.
    return !kelvo_has_page() && HeadlessWindow::RenderPdf(layOut, bytes);
}

int WebFrontEnd::RunModal(Dialog& dialog) {
    WebWindow window(dialog, outputFolder_);
    window.Run();
    return window.EndCode();
}

}  // namespace kelvo::platform::web

// Builds forms from their design tables and routes their window messages.
#include "toolkit/Form.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "errors/Error.h"
#include "errors/Frames.h"
#include "toolkit/App.h"
#include "toolkit/Screen.h"

namespace qs::toolkit {
namespace {

constexpr wchar_t kFormClass[] = L"QuorsetForm";
constexpr int kFirstControlId = 100;
constexpr int kIdsPerControl = 100;  // a toolbar's buttons take ids after its own

std::vector<Form*>& LoadedForms() {
    static std::vector<Form*> forms;
    return forms;
}

void RegisterFormClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    if (!::RegisterClassExW(&wc)) RaiseRuntime(errInvalidProcedureCall);
    registered = true;
}

int Pixels(float twips, float twipsPerPixel) { return static_cast<int>(std::lround(twips / twipsPerPixel)); }

HFONT CreateDesignFont(const FontDesign& font) {
    int height = -static_cast<int>(std::lround(font.size * static_cast<float>(Screen::Dpi()) / 72.0f));
    return ::CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         font.name.c_str());
}

// Toolbar pictures follow the screen's dots per inch: 16, 24 or 32 pixels.
int ToolbarPictureSize() {
    int dpi = Screen::Dpi();
    return dpi >= 168 ? 32 : dpi >= 120 ? 24 : 16;
}

bool IsMenu(const Control& c) { return c.Kind() == ControlKind::Menu; }

}  // namespace

// ---------------------------------------------------------------- Control

Control::Control(Form& form, const ControlDesign& design, int id)
    : Tag(design.tag), form_(form), kind_(design.kind), name_(design.name), index_(design.index),
      caption_(design.caption), visible_(design.visible), menuLevel_(design.menuLevel), id_(id),
      value_(design.value), design_(design) {
    int i = 0;
    for (const auto& b : design.buttons) Buttons.push_back({++i, b.key, b.tag, b.toolTipText, b.image});
    i = 0;
    for (const auto& t : design.tabs) Tabs.push_back({++i, t.caption, t.tag});
}

Control::~Control() = default;

void Control::Create(HWND parent, RECT r, HFONT formFont) {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0);
    switch (kind_) {
    case ControlKind::Label: style |= SS_LEFT; break;
    case ControlKind::Frame: windowClass = L"BUTTON"; style |= BS_GROUPBOX; break;
    case ControlKind::CheckBox: windowClass = L"BUTTON"; style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
    case ControlKind::OptionButton: windowClass = L"BUTTON"; style |= BS_AUTORADIOBUTTON | WS_TABSTOP; break;
    case ControlKind::CommandButton:
        windowClass = L"BUTTON";
        style |= (design_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
        break;
    case ControlKind::Toolbar:
        windowClass = TOOLBARCLASSNAMEW;
        style |= TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_TOP;
        break;
    case ControlKind::TabStrip: windowClass = WC_TABCONTROLW; style |= WS_TABSTOP; break;
    case ControlKind::Image: style |= (design_.bitmapResource ? SS_BITMAP : SS_ICON | SS_REALSIZEIMAGE); break;
    case ControlKind::Line: style |= SS_ETCHEDHORZ; r.bottom = r.top + 2; break;
    case ControlKind::ImageList:
    case ControlKind::Menu: return;  // no window of their own
    }
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    DWORD exStyle = kind_ == ControlKind::Frame || kind_ == ControlKind::TabStrip ? WS_EX_CONTROLPARENT : 0;
    hwnd_ = ::CreateWindowExW(exStyle, windowClass, caption_.c_str(), style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), instance,
                              nullptr);
    if (!hwnd_) RaiseRuntime(errInvalidProcedureCall);
    if (design_.font) font_.reset(CreateDesignFont(*design_.font));
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_ ? font_.get() : formFont), FALSE);

    switch (kind_) {
    case ControlKind::CheckBox: Value(value_); break;
    case ControlKind::Image:
        if (design_.bitmapResource) {
            bitmap_.reset(static_cast<HBITMAP>(
                ::LoadImageW(instance, MAKEINTRESOURCEW(design_.bitmapResource), IMAGE_BITMAP, 0, 0, 0)));
            ::SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
        } else if (design_.iconResource) {
            picture_.reset(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(design_.iconResource), IMAGE_ICON,
                                                            r.right - r.left, r.bottom - r.top, LR_DEFAULTCOLOR)));
            ::SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(picture_.get()), 0);
        }
        break;
    case ControlKind::TabStrip:
        for (size_t i = 0; i < Tabs.size(); ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = Tabs[i].Caption.data();
            ::SendMessageW(hwnd_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        break;
    case ControlKind::Toolbar: {
        ::SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        Control* list = nullptr;
        for (auto& c : form_.Controls())
            if (c->Name() == design_.imageList) list = c.get();
        int size = ToolbarPictureSize();
        if (list) {
            images_.reset(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(Buttons.size()), 0));
            for (const auto& picture : list->design_.pictures) {
                HICON icon = static_cast<HICON>(
                    ::LoadImageW(instance, MAKEINTRESOURCEW(picture.iconResource), IMAGE_ICON, size, size, 0));
                if (!icon) RaiseRuntime(errFileNotFound);
                ::ImageList_AddIcon(images_.get(), icon);
                ::DestroyIcon(icon);
            }
            ::SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
        }
        std::vector<TBBUTTON> buttons;
        for (const auto& b : Buttons) {
            int image = I_IMAGENONE;
            if (list)
                for (size_t p = 0; p < list->design_.pictures.size(); ++p)
                    if (list->design_.pictures[p].key == b.Image) image = static_cast<int>(p);
            buttons.push_back(TBBUTTON{image, id_ + b.Index, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0});
        }
        ::SendMessageW(hwnd_, TB_SETBUTTONSIZE, 0, MAKELPARAM(size + 8, size + 8));
        ::SendMessageW(hwnd_, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
        ::SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
        break;
    }
    default: break;
    }
}

bool Control::Handles(int commandId) const {
    return kind_ == ControlKind::Toolbar ? commandId > id_ && commandId < id_ + kIdsPerControl : commandId == id_;
}

std::wstring Control::Caption() const { return caption_; }

void Control::Caption(const std::wstring& text) {
    caption_ = text;
    if (hwnd_) ::SetWindowTextW(hwnd_, text.c_str());
}

void Control::Visible(bool visible) {
    visible_ = visible;
    if (hwnd_) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::Enabled() const { return !hwnd_ || ::IsWindowEnabled(hwnd_); }
void Control::Enabled(bool enabled) {
    if (hwnd_) ::EnableWindow(hwnd_, enabled);
}

int Control::Value() const {
    if (hwnd_ && kind_ == ControlKind::CheckBox)
        return ::SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return value_;
}

void Control::Value(int value) {
    if (value != 0 && value != 1) RaiseRuntime(errInvalidProcedureCall);
    value_ = value;
    if (hwnd_ && kind_ == ControlKind::CheckBox)
        ::SendMessageW(hwnd_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Control::SetFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

void Control::TabCaption(int index, const std::wstring& text) {
    if (index < 1 || static_cast<size_t>(index) > Tabs.size()) RaiseRuntime(errSubscriptOutOfRange);
    Tabs[static_cast<size_t>(index - 1)].Caption = text;
    if (!hwnd_) return;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = Tabs[static_cast<size_t>(index - 1)].Caption.data();
    ::SendMessageW(hwnd_, TCM_SETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item));
}

void Control::BringToFront() {
    if (hwnd_) ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::Move(int left, int top) {
    design_.left = left;
    design_.top = top;
    if (!hwnd_) return;
    float tpp = Screen::TwipsPerPixelX();
    POINT at{Pixels(static_cast<float>(left), tpp), Pixels(static_cast<float>(top), tpp)};
    ::SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Control::SelectedTab() const {
    return hwnd_ ? static_cast<int>(::SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)) + 1 : 1;
}

void Control::Picture(HICON icon) {
    picture_.reset();
    if (hwnd_) ::SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// ---------------------------------------------------------------- Form

Form::Form(FormDesign design) : Tag(design.tag), design_(std::move(design)) {
    int id = kFirstControlId;
    for (const auto& c : design_.controls) {
        controls_.push_back(std::make_unique<Control>(*this, c, id));
        id += kIdsPerControl;
    }
    // Menu items hang below the nearest menu one level up.
    std::vector<Control*> path;
    for (auto& c : controls_) {
        if (!IsMenu(*c)) continue;
        path.resize(static_cast<size_t>(c->MenuLevel()));
        if (!path.empty() && path.back()) path.back()->MenuItems.push_back(c.get());
        path.push_back(c.get());
    }
}

Form::~Form() {
    if (hwnd_) {
        unloading_ = true;
        ::DestroyWindow(hwnd_);
    }
}

const std::vector<Form*>& Form::Forms() { return LoadedForms(); }

HWND Form::ApplicationWindow() {
    static HWND window = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorsetApplication";
        wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message != WM_CLOSE) return ::DefWindowProcW(hwnd, message, wParam, lParam);
            ignoring([] {
                auto forms = LoadedForms();
                for (Form* form : forms) form->TryUnload(vbAppTaskManager);
            });
            return 0;
        };
        ::RegisterClassExW(&wc);
        return ::CreateWindowExW(0, wc.lpszClassName, App::Title().c_str(), WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

Control& Form::operator()(const std::wstring& name, int index) {
    for (auto& c : controls_)
        if (c->Name() == name && c->Index() == index) return *c;
    RaiseRuntime(errSubscriptOutOfRange);
}

RECT Form::ControlPixels(const ControlDesign& d) const {
    float tpp = Screen::TwipsPerPixelX();
    int x = Pixels(static_cast<float>(d.left), tpp), y = Pixels(static_cast<float>(d.top), tpp);
    return RECT{x, y, x + Pixels(static_cast<float>(d.width), tpp), y + Pixels(static_cast<float>(d.height), tpp)};
}

namespace {
// Frames and tab strips hold controls as child windows; what those tell their parent
// goes on to the form, and Tab moves into them.
LRESULT CALLBACK ContainerProc(HWND container, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR form) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ::SendMessageW(reinterpret_cast<HWND>(form), message, wParam, lParam);
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(container, &ContainerProc, 1);
        break;
    default: break;
    }
    return ::DefSubclassProc(container, message, wParam, lParam);
}
}  // namespace

void Form::CreateControls(HWND parent, const std::wstring& container) {
    std::vector<Control*> level;
    for (auto& c : controls_)
        if (c->design_.container == container) level.push_back(c.get());
    std::stable_sort(level.begin(), level.end(),
                     [](const Control* a, const Control* b) { return a->design_.tabIndex < b->design_.tabIndex; });

    // A tab strip holds the controls placed on it, so that they lie above its face.
    auto within = [](const ControlDesign& inner, const ControlDesign& outer) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
               inner.top + inner.height <= outer.top + outer.height;
    };
    std::vector<Control*> tabStrips;
    for (Control* c : level) {
        if (c->Kind() != ControlKind::TabStrip) continue;
        c->Create(parent, ControlPixels(c->design_), font_.get());
        ::SetWindowSubclass(c->hwnd(), &ContainerProc, 1, reinterpret_cast<DWORD_PTR>(hwnd_));
        tabStrips.push_back(c);
    }
    for (Control* c : level) {
        if (c->Kind() == ControlKind::TabStrip) continue;
        HWND holder = parent;
        RECT r = ControlPixels(c->design_);
        for (Control* strip : tabStrips) {
            if (!within(c->design_, strip->design_)) continue;
            RECT origin = ControlPixels(strip->design_);
            ::OffsetRect(&r, -origin.left, -origin.top);
            holder = strip->hwnd();
        }
        c->Create(holder, r, font_.get());
        if (c->Kind() == ControlKind::Frame) {
            // A frame holds its controls as child windows.
            ::SetWindowSubclass(c->hwnd(), &ContainerProc, 1, reinterpret_cast<DWORD_PTR>(hwnd_));
            CreateControls(c->hwnd(), c->Name());
        }
    }
}

void Form::Load() {
    if (hwnd_) return;
    RegisterFormClass(&Form::WindowProc);
    ApplicationWindow();
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = design_.showInTaskbar ? WS_EX_APPWINDOW : 0;
    if (design_.border == BorderStyle::SizableToolWindow) {
        style |= WS_THICKFRAME;
        exStyle |= WS_EX_TOOLWINDOW;
    } else {
        style |= DS_MODALFRAME;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    }
    float tpp = Screen::TwipsPerPixelX();
    RECT r{0, 0, Pixels(static_cast<float>(design_.clientWidth), tpp), Pixels(static_cast<float>(design_.clientHeight), tpp)};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    hwnd_ = ::CreateWindowExW(exStyle, kFormClass, design_.caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) RaiseRuntime(errInvalidProcedureCall);
    font_.reset(CreateDesignFont(design_.font));
    LoadedForms().push_back(this);

    CreateControls(hwnd_, L"");
    Form_Load();
}

void Form::Unload() { TryUnload(vbFormCode); }

bool Form::TryUnload(int reason, bool alreadyAsked) {
    if (!hwnd_ || unloading_) return false;
    bool cancel = false;
    if (!alreadyAsked) Form_QueryUnload(cancel, reason);
    if (cancel) return false;
    Form_Unload(cancel);
    if (cancel || !hwnd_) return false;
    unloading_ = true;
    ::DestroyWindow(hwnd_);
    return true;
}

void Form::Show() {
    if (!hwnd_) Load();
    if (!hwnd_) return;
    ::ShowWindow(hwnd_, hiddenState_ == 1 ? SW_SHOWMINIMIZED : hiddenState_ == 2 ? SW_SHOWMAXIMIZED : SW_SHOW);
    hiddenState_ = 0;
    ::SetForegroundWindow(hwnd_);
}

void Form::Hide() {
    if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

void Form::ShowModal(Form* owner) {
    if (!hwnd_) Load();
    HWND ownerWindow = owner ? owner->hwnd() : nullptr;
    if (ownerWindow) {
        ::SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
        ::EnableWindow(ownerWindow, FALSE);
    }
    if (design_.centerOnOwner) {
        // Over the owner when it is on the screen, else in the middle of the screen.
        RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        if (ownerWindow && ::IsWindowVisible(ownerWindow)) ::GetWindowRect(ownerWindow, &area);
        RECT r;
        ::GetWindowRect(hwnd_, &r);
        int width = r.right - r.left, height = r.bottom - r.top;
        int left = (area.left + area.right - width) / 2, top = (area.top + area.bottom - height) / 2;
        left = std::max(0, std::min(left, ::GetSystemMetrics(SM_CXSCREEN) - width));
        top = std::max(0, std::min(top, ::GetSystemMetrics(SM_CYSCREEN) - height));
        ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    modal_ = true;
    Show();
    MSG msg;
    while (hwnd_ && ::IsWindowVisible(hwnd_)) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it to the outer loop
            break;
        }
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    modal_ = false;
    if (ownerWindow && ::IsWindow(ownerWindow)) {
        ::EnableWindow(ownerWindow, TRUE);
        if (::IsWindowVisible(ownerWindow)) ::SetActiveWindow(ownerWindow);
    }
}

std::wstring Form::Caption() const {
    if (!hwnd_) return design_.caption;
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::Caption(const std::wstring& text) {
    design_.caption = text;
    if (hwnd_) ::SetWindowTextW(hwnd_, text.c_str());
}

void Form::Icon(HICON icon) {
    icon_ = icon;
    if (hwnd_) {
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
}

namespace {
RECT OuterRect(HWND hwnd) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ::GetWindowPlacement(hwnd, &wp);
    // The normal position is in workspace coordinates; ask for the real rectangle
    // while the window is in its normal state.
    RECT r{};
    if (wp.showCmd == SW_SHOWNORMAL || !::IsWindowVisible(hwnd)) ::GetWindowRect(hwnd, &r);
    else r = wp.rcNormalPosition;
    return r;
}
}  // namespace

float Form::Left() const { return hwnd_ ? static_cast<float>(OuterRect(hwnd_).left) * Screen::TwipsPerPixelX() : 0; }
float Form::Top() const { return hwnd_ ? static_cast<float>(OuterRect(hwnd_).top) * Screen::TwipsPerPixelY() : 0; }
float Form::Width() const {
    if (!hwnd_) return 0;
    RECT r = OuterRect(hwnd_);
    return static_cast<float>(r.right - r.left) * Screen::TwipsPerPixelX();
}
float Form::Height() const {
    if (!hwnd_) return 0;
    RECT r = OuterRect(hwnd_);
    return static_cast<float>(r.bottom - r.top) * Screen::TwipsPerPixelY();
}

void Form::Move(float left, float top, float width, float height) {
    if (!hwnd_) Load();
    float tx = Screen::TwipsPerPixelX(), ty = Screen::TwipsPerPixelY();
    ::SetWindowPos(hwnd_, nullptr, Pixels(left, tx), Pixels(top, ty), Pixels(width, tx), Pixels(height, ty),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::WindowState() const {
    if (!hwnd_) return 0;
    if (!::IsWindowVisible(hwnd_)) return hiddenState_;
    return ::IsIconic(hwnd_) ? 1 : ::IsZoomed(hwnd_) ? 2 : 0;
}

void Form::WindowState(int state) {
    if (state < 0 || state > 2) RaiseRuntime(errInvalidProcedureCall);
    if (!hwnd_) Load();
    // A hidden form takes its state when it is shown, so that a silent start stays silent.
    if (!::IsWindowVisible(hwnd_)) {
        hiddenState_ = state;
        return;
    }
    ::ShowWindow(hwnd_, state == 1 ? SW_SHOWMINNOACTIVE : state == 2 ? SW_SHOWMAXIMIZED : SW_RESTORE);
}

void Form::PopupMenu(Control& menu, unsigned flags, Control* defaultItem) {
    if (!hwnd_) Load();
    std::vector<Control*> commands;
    // Builds the visible items of `parent` into a new pop-up menu.
    std::function<HMENU(const Control&)> build = [&](const Control& parent) {
        HMENU popup = ::CreatePopupMenu();
        for (Control* item : parent.MenuItems) {
            if (!item->Visible()) continue;
            if (item->Caption() == L"-") {
                ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else if (!item->MenuItems.empty()) {
                ::AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(build(*item)), item->Caption().c_str());
            } else {
                commands.push_back(item);
                UINT id = static_cast<UINT>(commands.size());
                ::AppendMenuW(popup, MF_STRING, id, item->Caption().c_str());
                if (item == defaultItem) ::SetMenuDefaultItem(popup, id, FALSE);
            }
        }
        return popup;
    };
    unique_hmenu popup(build(menu));
    POINT at;
    ::GetCursorPos(&at);
    // The shell needs the owner in the foreground, or the menu would not close when the
    // user clicks elsewhere; WM_NULL afterwards lets it finish the menu properly.
    ::SetForegroundWindow(hwnd_);
    UINT trackFlags = TPM_RETURNCMD | TPM_NONOTIFY | ((flags & vbPopupMenuRightButton) ? TPM_RIGHTBUTTON : 0);
    int chosen = ::TrackPopupMenuEx(popup.get(), trackFlags, at.x, at.y, hwnd_, nullptr);
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (chosen > 0 && static_cast<size_t>(chosen) <= commands.size() && commands[chosen - 1]->Click)
        commands[chosen - 1]->Click();
}

Control* Form::DefaultButton(bool cancel) const {
    for (auto& c : controls_)
        if (c->Kind() == ControlKind::CommandButton && (cancel ? c->design_.isCancel : c->design_.isDefault) &&
            c->hwnd() && ::IsWindowEnabled(c->hwnd()))
            return c.get();
    return nullptr;
}

bool Form::OnCommand(int id) {
    if (id == IDCANCEL) {
        if (Control* button = DefaultButton(true); button && button->Click) button->Click();
        return true;
    }
    for (auto& c : controls_) {
        if (!c->Handles(id)) continue;
        if (c->Kind() == ControlKind::Toolbar) {
            size_t index = static_cast<size_t>(id - c->id_ - 1);
            if (index < c->Buttons.size() && c->ButtonClick) c->ButtonClick(c->Buttons[index]);
        } else if (c->Click) {
            c->Click();
        }
        return true;
    }
    return false;
}

LRESULT Form::OnNotify(NMHDR& header) {
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        for (auto& c : controls_)
            if (c->Kind() == ControlKind::Toolbar && c->Handles(static_cast<int>(header.idFrom))) {
                size_t index = header.idFrom - static_cast<UINT_PTR>(c->id_) - 1;
                if (index < c->Buttons.size()) info.lpszText = c->Buttons[index].ToolTipText.data();
            }
        return 0;
    }
    if (header.code == TCN_SELCHANGE) {
        for (auto& c : controls_)
            if (c->hwnd() == header.hwndFrom && c->Click) c->Click();
    }
    return 0;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) return 0;
        break;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case DM_GETDEFID: {
        // A focused push button is the default while it has the focus.
        HWND focus = ::GetFocus();
        for (auto& c : controls_)
            if (c->Kind() == ControlKind::CommandButton && c->hwnd() == focus && focus)
                return MAKELRESULT(c->id_, DC_HASDEFID);
        if (Control* button = DefaultButton(false)) return MAKELRESULT(button->id_, DC_HASDEFID);
        return 0;
    }
    case WM_ACTIVATE:
        // An activated form gives the focus to its first control, as dialogs do.
        if (LOWORD(wParam) != WA_INACTIVE) {
            if (!::IsChild(hwnd_, ::GetFocus())) {
                ::DefWindowProcW(hwnd_, message, wParam, lParam);
                if (HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(first);
                return 0;
            }
        }
        break;
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        // On a frame or a tab strip the container's own face shows through.
        if (::GetParent(reinterpret_cast<HWND>(lParam)) != hwnd_)
            return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    case WM_MOUSEMOVE: {
        int button = (wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) | (wParam & MK_MBUTTON ? 4 : 0);
        int shift = (wParam & MK_SHIFT ? 1 : 0) | (wParam & MK_CONTROL ? 2 : 0);
        float x = ScaleX(static_cast<float>(GET_X_LPARAM(lParam)), vbPixels, ScaleMode);
        float y = ScaleY(static_cast<float>(GET_Y_LPARAM(lParam)), vbPixels, ScaleMode);
        MouseMove.Raise(button, shift, x, y);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            // Close chosen by the user; the WM_CLOSE that follows is theirs.
            closeFromSystemMenu_ = true;
            LRESULT r = ::DefWindowProcW(hwnd_, message, wParam, lParam);
            closeFromSystemMenu_ = false;
            return r;
        }
        break;
    case WM_CLOSE:
        // A close that did not come through the system menu was sent by another program.
        TryUnload(closeFromSystemMenu_ ? vbFormControlMenu : vbAppTaskManager);
        return 0;
    case WM_QUERYENDSESSION: {
        bool cancel = false;
        Form_QueryUnload(cancel, vbAppWindows);
        endSessionAsked_ = !cancel;
        return cancel ? FALSE : TRUE;
    }
    case WM_ENDSESSION:
        if (wParam && endSessionAsked_) TryUnload(vbAppWindows, true);
        endSessionAsked_ = false;
        return 0;
    case WM_DESTROY: {
        auto& forms = LoadedForms();
        std::erase(forms, this);
        if (forms.empty()) ::PostQuitMessage(0);
        break;
    }
    case WM_NCDESTROY:
        for (auto& c : controls_) c->hwnd_ = nullptr;
        hwnd_ = nullptr;
        unloading_ = false;
        break;
    default: break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may leave a window procedure: the form's handlers report their own
    // failures, and whatever escapes them ends here.
    LRESULT result = 0;
    bool handled = false;
    ignoring([&] {
        result = form->HandleMessage(message, wParam, lParam);
        handled = true;
    });
    return handled ? result : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

bool PreTranslate(MSG& msg) {
    // The form the message is for handles Tab, Enter and Escape for its controls.
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    for (Form* form : Form::Forms())
        if (form->hwnd() == root) return ::IsDialogMessageW(root, &msg);
    return false;
}

void RunMessageLoop() {
    MSG msg;
    while (!Form::Forms().empty() && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

}  // namespace qs::toolkit

// Forms built from a design table into real windows and common controls: load and
// unload with their query reasons, show, hide and modal show, placement in twips, the
// mouse-move event and pop-up menus made from the form's menu design.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Design.h"
#include "base/Event.h"
#include "base/Handles.h"

namespace qs::toolkit {

// Why a form is being unloaded.
enum QueryUnloadConstants {
    vbFormControlMenu = 0,  // the close box, the system menu's Close, Alt+F4
    vbFormCode = 1,         // Unload called by the program
    vbAppWindows = 2,       // Windows is shutting down or the user logs off
    vbAppTaskManager = 3,   // another program (Task Manager) closes the window
};

// Flags of PopupMenu.
enum PopupMenuConstants { vbPopupMenuLeftAlign = 0, vbPopupMenuRightButton = 2 };

class Form;

struct ToolbarButton {
    int Index = 0;  // 1-based
    std::wstring Key;
    std::wstring Tag;
    std::wstring ToolTipText;
    std::wstring Image;
};

struct Tab {
    int Index = 0;  // 1-based
    std::wstring Caption;
    std::wstring Tag;
};

class Control {
public:
    Control(Form& form, const ControlDesign& design, int id);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    ~Control();

    ControlKind Kind() const { return kind_; }
    const std::wstring& Name() const { return name_; }
    int Index() const { return index_; }
    HWND hwnd() const { return hwnd_; }

    std::wstring Tag;

    std::wstring Caption() const;
    void Caption(const std::wstring& text);
    bool Visible() const { return visible_; }
    void Visible(bool visible);
    bool Enabled() const;
    void Enabled(bool enabled);
    int Value() const;  // check boxes: 0 or 1
    void Value(int value);
    void SetFocus();
    // Whether the control can take the focus now (a visible, enabled button, check box,
    // option button, tab strip or toolbar).
    bool TakesFocus() const;
    void BringToFront();
    void Move(int left, int top);  // twips, relative to its container

    // Raised when a button, check box, menu item or tab is chosen.
    std::function<void()> Click;

    // Toolbars.
    std::vector<ToolbarButton> Buttons;
    std::function<void(ToolbarButton&)> ButtonClick;
    // Gives button `index` (1-based) its tip, which is also the name screen readers say.
    void ButtonToolTip(int index, const std::wstring& text);
    // Tab strips.
    std::vector<Tab> Tabs;
    int SelectedTab() const;  // 1-based
    void TabCaption(int index, const std::wstring& text);
    // Images.
    void Picture(HICON icon);

    // Menus: the items one level below, in design order.
    std::vector<Control*> MenuItems;
    int MenuLevel() const { return menuLevel_; }

private:
    friend class Form;
    friend bool PreTranslate(MSG& msg);
    // Builds the control's window inside `parent`; `twips` is its rectangle there.
    void Create(HWND parent, RECT twips, HFONT formFont);
    // Follows the form to new dots per inch: place, font, toolbar pictures.
    void Rescale(HFONT formFont);
    bool Handles(int commandId) const;
    void NameTabStrip();

    // Toolbars (Toolbar.cpp). The pictures follow the dots per inch and high contrast.
    void CreateToolbarButtons();
    void LoadToolbarPictures();
    void SizeButtons();
    // Shows the keyboard's mark on its button, or takes it away.
    void ShowMark(bool shown);
    // Tells screen readers that the marked button has the focus, while the toolbar has it.
    void AnnounceMark();
    // A key pressed while the toolbar has the focus; false when it is not the toolbar's.
    bool ToolbarKey(WPARAM key, LPARAM flags);
    // The toolbar's notifications: tips, the hot button, drawing the focus rectangle.
    LRESULT ToolbarNotify(NMHDR& header);

    Form& form_;
    ControlKind kind_;
    std::wstring name_;
    int index_;
    std::wstring caption_;
    bool visible_;
    int menuLevel_;
    int id_;
    int value_;
    ControlDesign design_;
    RECT twips_{};  // the rectangle in its holder window
    HWND hwnd_ = nullptr;
    unique_hfont font_;
    unique_himagelist images_, hotImages_;
    unique_hicon picture_;
    unique_hbitmap bitmap_;
    int mark_ = 0;            // toolbars: the button the keyboard has marked, from 0
    DWORD keyPointer_ = ~0u;  // and where the pointer was at the last key
};

class Form {
public:
    explicit Form(FormDesign design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Builds the window and its controls and runs Form_Load. The form stays hidden.
    void Load();
    bool Loaded() const { return hwnd_ != nullptr; }
    // Asks Form_QueryUnload with reason vbFormCode and, unless cancelled, unloads.
    void Unload();

    void Show();  // loads first if needed, then shows and activates
    void Hide();
    bool Visible() const;
    // Shows the form over `owner`, which is disabled meanwhile, and returns when the
    // form is hidden or unloaded.
    void ShowModal(Form* owner);
    bool Modal() const { return modal_; }

    HWND hwnd() const { return hwnd_; }
    const std::wstring& Name() const { return design_.name; }
    std::wstring Caption() const;
    void Caption(const std::wstring& text);
    std::wstring Tag;
    // The caller keeps `icon` alive; the title bar shows copies drawn at its sizes.
    void Icon(HICON icon);
    HICON Icon() const { return icon_; }

    // The outer rectangle in twips.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void Move(float left, float top, float width, float height);
    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;
    void WindowState(int state);
    int ScaleMode = 1;
    // Converts a measure between scale modes at the form's own dots per inch.
    float ScaleX(float value, int fromScale, int toScale) const;
    float ScaleY(float value, int fromScale, int toScale) const;
    // The dots per inch of the monitor the form is on (the screen's before it is loaded).
    int Dpi() const { return dpi_; }
    float TwipsPerPixel() const { return 1440.0f / static_cast<float>(dpi_); }

    std::vector<std::unique_ptr<Control>>& Controls() { return controls_; }
    // The control of the design with that name (and array index); Subscript out of range
    // (9) when there is none.
    Control& operator()(const std::wstring& name, int index = -1);

protected:
    // For a form's typed references to its controls, resolved once when it is built.
    Control& Find(const std::wstring& name, int index = -1) { return (*this)(name, index); }

public:

    // Opens `menu` (a menu of this form) as a pop-up at the mouse position. Hidden items
    // are left out, `defaultItem` is shown in bold, and the chosen item's Click has run
    // when the call returns.
    void PopupMenu(Control& menu, unsigned flags = 0, Control* defaultItem = nullptr);

    // Button (1 left, 2 right, 4 middle), shift state, x and y in the form's ScaleMode.
    Event<int, int, float, float> MouseMove;

    // Gives the form's window or a control's the name a screen reader says, where its text
    // cannot carry one (a form without a title, a button without a caption).
    void ScreenReaderName(HWND window, std::wstring name);

    // The control that takes the focus after `from` (before it when `backwards`) in the
    // design's tab order; the first one when `from` is none of them.
    [[nodiscard]] Control* NextTabStop(HWND from, bool backwards) const;

    // Every loaded form of the program.
    static const std::vector<Form*>& Forms();

    // The hidden window that stands for the whole program, as task lists see it: a
    // WM_CLOSE sent to it unloads every form with reason vbAppTaskManager. Made by the
    // first call; the message loop makes it as it begins.
    static HWND ApplicationWindow();

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(bool& cancel, int unloadMode) { (void)cancel, (void)unloadMode; }
    virtual void Form_Unload(bool& cancel) { (void)cancel; }

private:
    friend class Control;
    static constexpr int kFirstControlId = 100;
    static constexpr int kIdsPerControl = 100;  // a toolbar's buttons take ids after its own
    const Control* ImageListOf(const Control& toolbar) const;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool TryUnload(int reason);
    bool OnCommand(int id);
    LRESULT OnNotify(NMHDR& header);
    bool OnActivate(bool active);  // true when a control took the focus
    void OnDpiChanged(int dpi, const RECT& suggested);
    RECT Pixels(const RECT& twips) const;
    void CreateControls(HWND parent, const std::wstring& container, POINT origin);
    Control* DefaultButton(bool cancel) const;
    // A modal form gives its owner back before it hides or goes, so that the window
    // manager activates the owner and not some other program's window.
    void ReleaseOwner();
    void ShowTitleIcons();
    void ScreenReaderDialog();
    void ForgetScreenReaderNames();

    FormDesign design_;
    HWND hwnd_ = nullptr;
    int dpi_;
    unique_hfont font_;
    HICON icon_ = nullptr;
    unique_hicon smallIcon_, bigIcon_;
    std::vector<std::unique_ptr<Control>> controls_;
    HWND lastFocus_ = nullptr;  // restored when the form is activated again
    HWND owner_ = nullptr;      // disabled while this form is shown modally
    bool modal_ = false;
    std::optional<int> hiddenState_;  // the window state given to a hidden form, taken when shown
    bool unloading_ = false;
    bool closeFromSystemMenu_ = false;
    std::vector<HWND> named_;  // windows given a name for screen readers
};

// Runs the program's message loop, with the application window, until the last form has
// been unloaded.
void RunMessageLoop();

// Hands a message to the dialog navigation (Tab, Enter, Escape, access keys) of the form
// it is for.
bool PreTranslate(MSG& msg);

}  // namespace qs::toolkit

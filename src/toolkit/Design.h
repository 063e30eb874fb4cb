// Design tables: what a form and its controls look like before they are built.
// Positions and sizes are in twips; a control inside a frame is placed relative to it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qs::toolkit {

enum class ControlKind { Label, Frame, CheckBox, CommandButton, OptionButton, Toolbar, ImageList, TabStrip, Image, Line, Menu };

enum class BorderStyle { FixedDialog, SizableToolWindow };

struct FontDesign {
    std::wstring name = L"Tahoma";
    float size = 8.25f;  // points
    bool bold = false;
    bool italic = false;
};

struct ToolbarButtonDesign {
    std::wstring key;
    std::wstring tag;
    std::wstring toolTipText;
    std::wstring image;  // key of the picture in the toolbar's image list
};

struct TabDesign {
    std::wstring caption;
    std::wstring tag;
};

struct PictureDesign {
    std::wstring key;
    int iconResource = 0;          // an ICON resource of the executable
    int highContrastResource = 0;  // its shape as an ICON mask, for high contrast
};

struct ControlDesign {
    ControlKind kind = ControlKind::Label;
    std::wstring name;
    int index = -1;  // position in a control array; -1 when the control is not in one
    std::wstring caption;
    std::wstring tag;
    int left = 0, top = 0, width = 0, height = 0;
    int tabIndex = 0;
    std::wstring container;  // name of the frame the control sits in
    bool visible = true;
    int menuLevel = 0;        // menus: 0 for a top-level menu, 1 for its items, ...
    bool isDefault = false;   // command buttons: Enter clicks it
    bool isCancel = false;    // command buttons: Escape clicks it
    int value = 0;            // check boxes: 0 cleared, 1 checked
    std::optional<FontDesign> font;
    std::vector<ToolbarButtonDesign> buttons;  // toolbars
    std::wstring imageList;                    // toolbars: name of their image list
    std::vector<PictureDesign> pictures;       // image lists
    std::vector<TabDesign> tabs;               // tab strips
    int iconResource = 0;                      // images: an ICON resource
    int bitmapResource = 0;                    // images: a BITMAP resource
};

// A control of a design table in one line: kind, name, caption, Tag, place, tab index and
// the frame it sits in. Array elements and kind-specific fields are set afterwards.
inline ControlDesign ControlAt(ControlKind kind, std::wstring name, std::wstring caption, std::wstring tag, int left,
                             int top, int width, int height, int tabIndex, std::wstring container = {}) {
    ControlDesign d;
    d.kind = kind;
    d.name = std::move(name);
    d.caption = std::move(caption);
    d.tag = std::move(tag);
    d.left = left;
    d.top = top;
    d.width = width;
    d.height = height;
    d.tabIndex = tabIndex;
    d.container = std::move(container);
    return d;
}

// A menu of a design table: its level, caption (with the resource id in front) and
// visibility, and its index when it belongs to a menu array.
inline ControlDesign MenuItem(std::wstring name, int level, std::wstring caption, bool visible = true, int index = -1) {
    ControlDesign d;
    d.kind = ControlKind::Menu;
    d.name = std::move(name);
    d.index = index;
    d.caption = std::move(caption);
    d.menuLevel = level;
    d.visible = visible;
    return d;
}

struct FormDesign {
    std::wstring name;
    std::wstring caption;
    std::wstring tag;
    BorderStyle border = BorderStyle::FixedDialog;
    bool showInTaskbar = false;
    bool centerOnOwner = false;  // a modal show places it centred over its owner
    int clientWidth = 0, clientHeight = 0;
    FontDesign font;
    std::vector<ControlDesign> controls;  // in collection order; menus among them
};

}  // namespace qs::toolkit

// The About box.
#include "dialogs/frmAbout.h"

#include "errors/Frames.h"
#include "language/modLanguage.h"
#include "text/Number.h"
#include "base/App.h"
#include "base/Notice.h"

namespace qs {
namespace {

using toolkit::ControlKind;
using toolkit::FontDesign;

// A control of the box, with its array index.
toolkit::ControlDesign Control(ControlKind kind, const wchar_t* name, int index, const wchar_t* caption,
                               const wchar_t* tag, int left, int top, int width, int height, int tabIndex) {
    auto d = toolkit::ControlAt(kind, name, caption, tag, left, top, width, height, tabIndex);
    d.index = index;
    return d;
}

toolkit::FormDesign Design() {
    toolkit::FormDesign form;
    form.name = L"frmAbout";
    form.border = toolkit::BorderStyle::FixedDialog;
    form.centerOnOwner = true;
    form.clientWidth = 5100;
    form.clientHeight = 4680;

    // Outside the client area: it holds the focus, so Enter and Space close the box and
    // no visible control shows a focus mark.
    auto focus = Control(ControlKind::CommandButton, L"cmdFocus", -1, L"", L"", 7380, 5880, 1035, 375, 0);
    focus.font = FontDesign{L"MS Sans Serif", 8.25f, false};
    form.controls.push_back(focus);
    form.controls.push_back(Control(ControlKind::Label, L"lblDisclaimer", -1, L"Warning: ...", L"14005", 900, 2520,
                                    4035, 1485, 1));
    auto version = Control(ControlKind::Label, L"lblVersion", -1, L"Version", L"", 1080, 1500, 3885, 285, 2);
    version.font = FontDesign{L"Tahoma", 9.75f, true};
    form.controls.push_back(version);
    auto title = Control(ControlKind::Label, L"lblTitle", -1, L"Quorset", L"", 1080, 1020, 3885, 420, 3);
    title.font = FontDesign{L"Times New Roman", 18, true, true};
    form.controls.push_back(title);
    form.controls.push_back(
        Control(ControlKind::Label, L"lblCopyright", 2, L"Second copyright line", L"14004", 900, 2220, 4035, 255, 4));
    form.controls.push_back(
        Control(ControlKind::Label, L"lblCopyright", 0, L"First copyright line", L"14002", 900, 1980, 4035, 255, 5));
    form.controls.push_back(Control(ControlKind::CommandButton, L"cmdOK", -1, L"&OK", L"101", 3420, 4080, 1575, 495, 6));
    auto release = Control(ControlKind::Label, L"lblRelease", -1, L"Release", L"", 60, 4380, 2895, 255, 7);
    release.font = FontDesign{L"Tahoma", 8.25f, true};
    form.controls.push_back(release);
    auto logo = Control(ControlKind::Image, L"imgLogo", -1, L"", L"", 53, 0, 4965, 855, 8);
    logo.bitmapResource = 300;
    form.controls.push_back(logo);
    for (int i = 0; i < 3; ++i)
        form.controls.push_back(Control(ControlKind::Line, L"Line1", i, L"", L"", 0, 900, 8670, 30, 9 + i));
    return form;
}

}  // namespace

frmAbout::frmAbout() : Form(Design()) {
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdFocus.Click = [this] { cmdFocus_Click(); };
}

void frmAbout::Form_Load() {
    framed(L"frmAbout.Form_Load", [&] {
        LoadResources();
        lblTitle.Caption(App::ProductName());
        lblVersion.Caption(modLanguage::GetResString(14001) + L" " + text::NumberText(App::Major()) + L"." +
                                       text::NumberText(App::Minor()) + L"." + text::NumberText(App::Revision()));
        if (!App::LegalCopyright().empty()) lblCopyright0.Caption(App::LegalCopyright());
        lblRelease.Caption(L"");
    });
}

void frmAbout::LoadResources() {
    framed(L"frmAbout.LoadResources", [&] {
        modLanguage::LoadFormResources(*this);
        // The focus holder has no caption; a screen reader says the OK button's. (The box,
        // which has no title, is named by the entry that opens it.)
        ScreenReaderName(cmdFocus.hwnd(), cmdOK.Caption());
    });
}

void frmAbout::Initialize(int32_t FormStyle) {
    framed(L"frmAbout.Initialize", [&] {
        switch (FormStyle) {
        case 1: break;
        case 2:
            // The compact box: the first copyright line moves down where the rest was.
            cmdOK.Visible(false);
            lblDisclaimer.Visible(false);
            lblCopyright2.Visible(false);
            lblCopyright0.Move(1740, 5040);
            break;
        default: Beep(); break;
        }
    });
}

void frmAbout::cmdOK_Click() {
    framed(L"frmAbout.cmdOK_Click", [&] { Unload(); });
}

void frmAbout::cmdFocus_Click() {
    framed(L"frmAbout.cmdFocus_Click", [&] { Unload(); });
}

}  // namespace qs

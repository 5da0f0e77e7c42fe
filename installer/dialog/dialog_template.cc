#include "installer/dialog/dialog_template.h"

#include "installer/dialog/resource.h"

namespace {

#include "installer/dialog/icon/keyboard_16.xpm"
#include "installer/dialog/icon/keyboard_32.xpm"

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// In template order, which is also the Tab order.
constexpr DialogItemTemplate kInstallDialogItems[] = {
    {IDC_INSTALL, kButtonClass, "Install", 180, 17, 50, 14,
     kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
    {IDCANCEL, kButtonClass, "Exit", 180, 34, 50, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP},
    {IDC_DIRECTORY, kEditClass, "", 59, 120, 99, 14,
     kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {IDC_KEYBOARD_LIST, kListBoxClass, "", 21, 29, 137, 81,
     kChild | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP},
    {IDC_DIRECTORY_LABEL, kStaticClass, "Directory", 23, 122, 29, 8,
     kChild | SS_LEFT | WS_GROUP},
    {IDC_STATIC, kButtonClass, "List of langages", 13, 11, 151, 129, kChild | BS_GROUPBOX},
};

constexpr framework::IconImage kMainFrameImages[] = {
    {32, 32, keyboard_32},
    {16, 16, keyboard_16},
};

}  // namespace

const DialogTemplate kInstallDialogTemplate = {
    IDD_INSTALL_DIALOG,
    "Keyboards Installation",
    237,
    151,
    "MS Sans Serif",
    8,
    DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU,
    kInstallDialogItems,
};

const framework::IconResource kMainFrameIcon = {IDR_MAINFRAME, kMainFrameImages};

namespace {
const framework::ResourceRegistration kRegisterDialog(kInstallDialogTemplate);
const framework::ResourceRegistration kRegisterIcon(kMainFrameIcon);
}  // namespace

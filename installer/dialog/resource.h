// Resource ids of the installer: its dialog, its icon and the dialog's controls.
#pragma once

#define IDD_INSTALL_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_DIRECTORY 1008
#define IDC_KEYBOARD_LIST 1009
#define IDC_INSTALL 1010
#define IDC_DIRECTORY_LABEL 1012

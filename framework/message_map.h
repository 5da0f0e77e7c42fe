// Message maps: the table through which a class routes window messages and
// commands to its handlers, written with the framework's macros:
//
//   class CMyDlg : public CDialog {
//     ...
//     afx_msg void OnPaint();
//     afx_msg void OnInstall();
//     DECLARE_MESSAGE_MAP()
//   };
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//     ON_WM_PAINT()
//     ON_BN_CLICKED(IDC_INSTALL, OnInstall)
//   END_MESSAGE_MAP()
//
// A message goes to the first entry that matches it, searching the class's
// own map and then its base classes' maps; what none takes gets the
// window's default handling.
#pragma once

#include "nt/win32.h"

class CCmdTarget;

#define afx_msg

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // WM_..., 0 ends the table
  UINT nCode;     // notification code of a WM_COMMAND
  UINT nID;       // control id of a WM_COMMAND
  LRESULT (*pfn)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                             \
 protected:                                               \
  static const AFX_MSGMAP* GetThisMessageMap();           \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                   \
    using ThisClass [[maybe_unused]] = theClass;                                      \
    using TheBaseClass = baseClass;                                                   \
    static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                             \
      {0, 0, 0, nullptr}};                                                            \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap,           \
                                          &messageEntries[0]};                        \
    return &messageMap;                                                               \
  }

// Commands: WM_COMMAND from control `id` with notification `code`.
#define ON_CONTROL(code, id, memberFxn)                                               \
  {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),                        \
   [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                                \
     static_cast<ThisClass*>(target)->memberFxn();                                    \
     return 0;                                                                        \
   }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// Window messages, each with the handler of the framework's name.
#define ON_WM_SYSCOMMAND()                                                            \
  {WM_SYSCOMMAND, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
     static_cast<ThisClass*>(target)->OnSysCommand(static_cast<UINT>(wParam), lParam);  \
     return 0;                                                                        \
   }},
#define ON_WM_PAINT()                                                                 \
  {WM_PAINT, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                \
     static_cast<ThisClass*>(target)->OnPaint();                                      \
     return 0;                                                                        \
   }},
#define ON_WM_QUERYDRAGICON()                                                         \
  {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {        \
     return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(target)->OnQueryDragIcon()); \
   }},
#define ON_WM_CLOSE()                                                                 \
  {WM_CLOSE, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                \
     static_cast<ThisClass*>(target)->OnClose();                                      \
     return 0;                                                                        \
   }},
// A message of the program's own: LRESULT memberFxn(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                \
  {static_cast<UINT>(message), 0, 0,                                                  \
   [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {                  \
     return static_cast<ThisClass*>(target)->memberFxn(wParam, lParam);               \
   }},

// The entry of `map` or its bases that takes the message; null when none.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, WPARAM wParam);

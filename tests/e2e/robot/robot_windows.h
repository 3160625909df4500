/* Finding top-level windows and reading control texts across processes. */
#ifndef VELMORA_E2E_ROBOT_WINDOWS_H
#define VELMORA_E2E_ROBOT_WINDOWS_H

#include <windows.h>
#include <stdio.h>

/* The visible top-level window with exactly this caption, or NULL. */
HWND FindVisibleWindow(const char* caption);

/* The visible top-level window of this window class whose caption is
   exactly caption (any caption when NULL), or NULL.  Message boxes are
   passed over: they are dialogs too, and may share a dialog's caption. */
HWND FindVisibleWindowOfClass(const char* className, const char* caption);

/* The visible message box whose text (static 0xFFFF) is exactly this, or NULL. */
HWND FindMessageBox(const char* text);

/* A visible child window (at any depth below any top-level window) with
   exactly this caption, or NULL. */
HWND FindVisibleChild(const char* caption);

/* A visible message box whose text is not awaited (any box when awaited is
   NULL), with its text; NULL when there is none. */
HWND FindOtherMessageBox(const char* awaited, char* text, int size);

/* Text of control id of window (through WM_GETTEXT, which crosses processes,
   unlike GetWindowTextA); 0 when there is no such control. */
int ControlTextOf(HWND window, int id, char* text, int size);

/* The entries of a combo box's list in list order, joined by commas; 0
   when they cannot be read or do not fit. */
int DescribeComboItems(HWND combo, char* out, int size);

/* Selects the combo box entry that is exactly text, as a click in its list
   does (the edit field takes the text); 0 when there is none. */
int SelectComboItem(HWND combo, const char* text);

/* Asks every visible top-level window with exactly this caption to close. */
void CloseWindows(const char* caption);

/* One line per visible top-level window: caption, class, message text. */
void ListWindows(FILE* out);

#endif

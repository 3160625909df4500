#include "robot_windows.h"

#include <string.h>

/* Message boxes show their text in a static control with this id. */
#define MESSAGE_TEXT_ID 0xFFFF

struct Search {
  const char* caption;  /* match by caption ... */
  const char* message;  /* ... or by message box text ... */
  int other;            /* ... or any message box whose text is not message */
  HWND found;
};

static int IsDialogClass(HWND window) {
  char name[64];
  return GetClassNameA(window, name, sizeof name) > 0 && strcmp(name, "#32770") == 0;
}

static BOOL CALLBACK Match(HWND window, LPARAM param) {
  struct Search* search = (struct Search*)param;
  if (!IsWindowVisible(window)) return TRUE;
  char text[1024];
  if (search->caption != NULL) {
    if (GetWindowTextA(window, text, sizeof text) >= 0 && strcmp(text, search->caption) == 0) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }
  if (IsDialogClass(window) && ControlTextOf(window, MESSAGE_TEXT_ID, text, sizeof text) &&
      (search->other ? search->message == NULL || strcmp(text, search->message) != 0
                     : strcmp(text, search->message) == 0)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisibleWindow(const char* caption) {
  struct Search search = {caption, NULL, 0, NULL};
  EnumWindows(Match, (LPARAM)&search);
  return search.found;
}

struct ClassSearch {
  const char* className;
  const char* caption;
  HWND found;
};

static BOOL CALLBACK MatchClass(HWND window, LPARAM param) {
  struct ClassSearch* search = (struct ClassSearch*)param;
  char name[256], text[1024];
  if (!IsWindowVisible(window) || GetClassNameA(window, name, sizeof name) <= 0 ||
      strcmp(name, search->className) != 0) {
    return TRUE;
  }
  if (search->caption != NULL &&
      (GetWindowTextA(window, text, sizeof text) < 0 || strcmp(text, search->caption) != 0)) {
    return TRUE;
  }
  if (GetDlgItem(window, MESSAGE_TEXT_ID) != NULL) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindVisibleWindowOfClass(const char* className, const char* caption) {
  struct ClassSearch search = {className, caption, NULL};
  EnumWindows(MatchClass, (LPARAM)&search);
  return search.found;
}

static BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
  struct Search* search = (struct Search*)param;
  char text[256];
  if (IsWindowVisible(window) && GetWindowTextA(window, text, sizeof text) > 0 &&
      strcmp(text, search->caption) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

static BOOL CALLBACK SearchChildren(HWND window, LPARAM param) {
  if (IsWindowVisible(window)) EnumChildWindows(window, MatchChild, param);
  return ((struct Search*)param)->found == NULL;
}

HWND FindVisibleChild(const char* caption) {
  struct Search search = {caption, NULL, 0, NULL};
  EnumWindows(SearchChildren, (LPARAM)&search);
  return search.found;
}

HWND FindMessageBox(const char* text) {
  struct Search search = {NULL, text, 0, NULL};
  EnumWindows(Match, (LPARAM)&search);
  return search.found;
}

HWND FindOtherMessageBox(const char* awaited, char* text, int size) {
  struct Search search = {NULL, awaited, 1, NULL};
  EnumWindows(Match, (LPARAM)&search);
  text[0] = '\0';
  if (search.found != NULL) ControlTextOf(search.found, MESSAGE_TEXT_ID, text, size);
  return search.found;
}

int ControlTextOf(HWND window, int id, char* text, int size) {
  text[0] = '\0';
  HWND control = GetDlgItem(window, id);
  if (control == NULL) return 0;
  SendMessageA(control, WM_GETTEXT, (WPARAM)size, (LPARAM)text);
  text[size - 1] = '\0';
  return 1;
}

static BOOL CALLBACK Describe(HWND window, LPARAM param) {
  FILE* out = (FILE*)param;
  if (!IsWindowVisible(window)) return TRUE;
  char caption[256], name[64], message[1024] = "";
  GetWindowTextA(window, caption, sizeof caption);
  GetClassNameA(window, name, sizeof name);
  if (IsDialogClass(window)) ControlTextOf(window, MESSAGE_TEXT_ID, message, sizeof message);
  fprintf(out, "robot:   window \"%s\" class %s%s%s%s\n", caption, name,
          message[0] ? " text \"" : "", message, message[0] ? "\"" : "");
  return TRUE;
}

void ListWindows(FILE* out) {
  fprintf(out, "robot: visible windows:\n");
  EnumWindows(Describe, (LPARAM)out);
  fflush(out);
}

/* Entry i of a combo box's list.  Asked for in UTF-16: the ANSI message
   crosses processes under Wine with the text left in UTF-16. */
static int ComboItem(HWND combo, LRESULT i, char* text, int size) {
  WCHAR wide[512];
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, (WPARAM)i, 0);
  if (length == CB_ERR || length >= (LRESULT)(sizeof wide / sizeof wide[0])) return 0;
  if (SendMessageW(combo, CB_GETLBTEXT, (WPARAM)i, (LPARAM)wide) == CB_ERR) return 0;
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, text, size, NULL, NULL) > 0;
}

int DescribeComboItems(HWND combo, char* out, int size) {
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  if (count == CB_ERR || size < 1) return 0;
  int used = 0;
  out[0] = '\0';
  for (LRESULT i = 0; i < count; ++i) {
    char text[512];
    if (!ComboItem(combo, i, text, sizeof text)) return 0;
    const int n = snprintf(out + used, (size_t)(size - used), "%s%s", i ? "," : "", text);
    if (n < 0 || n >= size - used) return 0;
    used += n;
  }
  return 1;
}

int SelectComboItem(HWND combo, const char* text) {
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; count != CB_ERR && i < count; ++i) {
    char item[512];
    if (!ComboItem(combo, i, item, sizeof item) || strcmp(item, text) != 0) continue;
    /* As a click in the list: the entry is selected and the edit field
       takes its text. */
    return SendMessageA(combo, CB_SETCURSEL, (WPARAM)i, 0) == i;
  }
  return 0;
}

static BOOL CALLBACK CloseCaptioned(HWND window, LPARAM param) {
  char text[512];
  if (IsWindowVisible(window) && GetWindowTextA(window, text, sizeof text) > 0 &&
      strcmp(text, (const char*)param) == 0) {
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

void CloseWindows(const char* caption) { EnumWindows(CloseCaptioned, (LPARAM)caption); }

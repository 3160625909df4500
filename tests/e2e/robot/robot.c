/* The end-to-end tests' robot: drives the windows of another program in the
   same Wine session by caption and control id.

     robot.exe COMMAND ARGS... [COMMAND ARGS...]...

   Commands run in order; the first that fails prints why (with a list of the
   windows on the screen) and ends the robot with exit code 1.  Waits poll
   every 20 ms up to the current timeout (15 s unless `timeout` says else).

     timeout MS             later waits give up after MS milliseconds
     window CAPTION         wait for a visible top-level window so captioned;
                            it becomes the current window
     box TEXT               wait for a visible message box showing TEXT
                            (its static control 0xFFFF); it becomes current
                            (both fail early when another message box stays
                            up for a second)
     dialog CAPTION         wait for a visible dialog (class #32770) so
                            captioned; it becomes current (unlike window,
                            never a main window or a message box of the
                            same caption)
     class NAME             wait for a visible top-level window of window
                            class NAME (VelmoraSetupWindow: the setup
                            program's main window); it becomes current
     child CAPTION          wait for a visible child window so captioned (a
                            modeless dialog inside a main window); it
                            becomes current
     corner X Y             the current window's bottom right corner is at
                            X, Y of the screen
     gone                   wait until the current window is hidden or destroyed
     settext ID TEXT        set the text of control ID of the current window
     expect ID TEXT         wait until control ID shows TEXT
     expectfile ID FILE     wait until control ID shows exactly the bytes of
                            FILE (texts with line ends of any kind)
     shown ID / hidden ID   wait until control ID is visible / hidden
     attop ID               edit control ID has nothing selected, the caret at
                            its start and its first line at the top
     click ID               press button ID (posted: a button that opens a
                            modal dialog does not block the robot)
     escape                 press Escape in the current window (posted to the
                            control that has the focus)
     closebox               click the current window's close box
     tree ID PATH           in tree view ID, select the item at PATH ("C:",
                            "C:\Program Files"), expanding the levels above it
     items ID PATH TEXT     wait until the children of PATH (the top level for
                            "") are TEXT: "name=image,name=image,..." in tree order
     listed ID TEXT         wait until combo box ID lists an entry that is TEXT
     choose ID TEXT         select the entry TEXT of combo box ID, as a click
                            in its list does
     close CAPTION          ask the visible top-level windows so captioned to close
     fit W H FILE           write to FILE where a W x H picture goes in the
                            current window's client area, in screen
                            coordinates: "WIDTHxHEIGHT+LEFT+TOP"
     copy FROM TO           copy a file (e.g. a media file the program waits for)
     swap FILE WITH         what another user could try on a file of the
                            running program: rename FILE to FILE.swapped and
                            copy WITH in its place; prints what Windows
                            allowed (a refused rename is no failure: the
                            scenario checks the files afterwards)
     snap NAME              ask the harness for a screenshot named NAME and wait
                            until it is taken (nothing when no harness listens)
     windows                list the visible top-level windows
*/
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "robot_fit.h"
#include "robot_tree.h"
#include "robot_windows.h"

static DWORD g_timeout = 15000;
static HWND g_current;

static int Fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  fputs("robot: ", stderr);
  vfprintf(stderr, format, args);
  fputc('\n', stderr);
  va_end(args);
  ListWindows(stderr);
  fflush(stderr);
  return 0;
}

/* A condition over the current window, checked until it holds or time runs out. */
typedef int (*Probe)(const void* arg);

static int WaitFor(Probe probe, const void* arg) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (probe(arg)) return 1;
    if (GetTickCount() - start >= g_timeout) return 0;
    Sleep(20);
  }
}

/* Waits for a window or a message box, giving up early when a message box
   other than the awaited one stays up for a second: the program has gone
   another way than the scenario expects (a failed installation, say), and
   waiting out the timeout would only delay the report. */
static int WaitForWindow(Probe probe, const void* arg, const char* awaitedText,
                         const char* kind) {
  const DWORD start = GetTickCount();
  HWND other = NULL;
  DWORD otherSince = 0;
  char text[1024];
  for (;;) {
    if (probe(arg)) return 1;
    const DWORD now = GetTickCount();
    HWND box = FindOtherMessageBox(awaitedText, text, sizeof text);
    if (box != other) {
      other = box;
      otherSince = now;
    } else if (box != NULL && now - otherSince >= 1000) {
      return Fail("unexpected message box \"%s\"", text);
    }
    if (now - start >= g_timeout) return Fail("no %s \"%s\"", kind, (const char*)arg);
    Sleep(20);
  }
}

static int ProbeWindow(const void* caption) {
  g_current = FindVisibleWindow((const char*)caption);
  return g_current != NULL;
}

static int ProbeDialog(const void* caption) {
  g_current = FindVisibleWindowOfClass("#32770", (const char*)caption);
  return g_current != NULL;
}

static int ProbeClass(const void* name) {
  g_current = FindVisibleWindowOfClass((const char*)name, NULL);
  return g_current != NULL;
}

static int ProbeChild(const void* caption) {
  g_current = FindVisibleChild((const char*)caption);
  return g_current != NULL;
}

static int ProbeBox(const void* text) {
  g_current = FindMessageBox((const char*)text);
  return g_current != NULL;
}

static int ProbeGone(const void* unused) {
  (void)unused;
  return !IsWindow(g_current) || !IsWindowVisible(g_current);
}

struct ControlText {
  int id;
  const char* text;
  char seen[1024];
};

static int ProbeControlText(const void* arg) {
  struct ControlText* expect = (struct ControlText*)arg;
  if (!ControlTextOf(g_current, expect->id, expect->seen, sizeof expect->seen)) return 0;
  return strcmp(expect->seen, expect->text) == 0;
}

struct ControlAtTop {
  HWND control;
  DWORD selection;  /* EM_GETSEL: start in the low word, end in the high */
  LRESULT firstLine;
};

static int ProbeControlAtTop(const void* arg) {
  struct ControlAtTop* seen = (struct ControlAtTop*)arg;
  seen->selection = (DWORD)SendMessageA(seen->control, EM_GETSEL, 0, 0);
  seen->firstLine = SendMessageA(seen->control, EM_GETFIRSTVISIBLELINE, 0, 0);
  return seen->selection == 0 && seen->firstLine == 0;
}

struct ControlFile {
  int id;
  const char* expected;
  size_t length;
  char seen[65536];
};

static int ProbeControlFile(const void* arg) {
  struct ControlFile* expect = (struct ControlFile*)arg;
  if (!ControlTextOf(g_current, expect->id, expect->seen, sizeof expect->seen)) return 0;
  return strlen(expect->seen) == expect->length &&
         memcmp(expect->seen, expect->expected, expect->length) == 0;
}

struct ControlShown {
  HWND control;
  int visible;
};

static int ProbeControlShown(const void* arg) {
  const struct ControlShown* expect = (const struct ControlShown*)arg;
  return !IsWindowVisible(expect->control) == !expect->visible;
}

struct ComboEntry {
  HWND combo;
  const char* text;
  char seen[4096];
};

/* Whether the list holds the entry, matched whole between the commas. */
static int ProbeComboEntry(const void* arg) {
  struct ComboEntry* expect = (struct ComboEntry*)arg;
  if (!DescribeComboItems(expect->combo, expect->seen, sizeof expect->seen)) return 0;
  const size_t n = strlen(expect->text);
  for (const char* at = expect->seen; at != NULL; at = strchr(at, ',')) {
    if (*at == ',') ++at;
    if (strncmp(at, expect->text, n) == 0 && (at[n] == ',' || at[n] == '\0')) return 1;
  }
  return 0;
}

struct TreeItems {
  HWND tree;
  const char* path;
  const char* text;
  char seen[2048];
};

static int ProbeTreeItems(const void* arg) {
  struct TreeItems* expect = (struct TreeItems*)arg;
  if (!DescribeTreeChildren(expect->tree, expect->path, expect->seen, sizeof expect->seen)) {
    return 0;
  }
  return strcmp(expect->seen, expect->text) == 0;
}

static HWND NeedControl(int id) {
  if (g_current == NULL) {
    Fail("no current window for control %d", id);
    return NULL;
  }
  HWND control = GetDlgItem(g_current, id);
  if (control == NULL) Fail("the current window has no control %d", id);
  return control;
}

/* Screenshot handshake: the harness watches VELMORA_E2E_SNAPS for NAME.want,
   takes the picture and answers with NAME.done. */
static int Snap(const char* name) {
  char folder[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("VELMORA_E2E_SNAPS", folder, sizeof folder);
  if (n == 0 || n >= sizeof folder) return 1;
  char want[MAX_PATH * 2], done[MAX_PATH * 2];
  snprintf(want, sizeof want, "%s\\%s.want", folder, name);
  snprintf(done, sizeof done, "%s\\%s.done", folder, name);
  HANDLE file = CreateFileA(want, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return Fail("snap %s: cannot write %s", name, want);
  CloseHandle(file);
  for (int waited = 0; waited < 10000; waited += 20) {
    if (GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES) return 1;
    Sleep(20);
  }
  return Fail("snap %s: no answer from the harness", name);
}

/* A whole file read into memory (a zero byte after it); NULL when it
   cannot be read. */
static char* ReadWholeFile(const char* path, size_t* length) {
  FILE* file = fopen(path, "rb");
  if (file == NULL) return NULL;
  char* data = NULL;
  size_t used = 0, room = 0, n;
  char chunk[4096];
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (used + n + 1 > room) {
      room = (used + n + 1) * 2;
      char* grown = (char*)realloc(data, room);
      if (grown == NULL) break;
      data = grown;
    }
    memcpy(data + used, chunk, n);
    used += n;
  }
  fclose(file);
  if (data == NULL) data = (char*)calloc(1, 1);
  if (data != NULL) data[used] = '\0';
  *length = used;
  return data;
}

static int ExpectFile(int id, const char* path) {
  static struct ControlFile expect;
  expect.id = id;
  expect.expected = ReadWholeFile(path, &expect.length);
  if (expect.expected == NULL) return Fail("expectfile: cannot read %s", path);
  const int ok = WaitFor(ProbeControlFile, &expect);
  free((void*)expect.expected);
  return ok || Fail("control %d shows \"%s\", not the text of %s", id, expect.seen, path);
}

/* Escape as the keyboard gives it: to the control with the focus, whose
   dialog's message loop turns it into IDCANCEL. */
static int PressEscape(void) {
  if (g_current == NULL) return Fail("escape: no current window");
  GUITHREADINFO info;
  info.cbSize = sizeof info;
  HWND target = g_current;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(g_current, NULL), &info) && info.hwndFocus != NULL) {
    target = info.hwndFocus;
  }
  return (PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001) &&
          PostMessageA(target, WM_KEYUP, VK_ESCAPE, (LPARAM)0xC0010001)) ||
         Fail("escape: cannot post to the window");
}

static int WriteFit(char** args) {
  if (g_current == NULL) return Fail("fit: no current window");
  RECT fit;
  if (!FitPictureRect(g_current, atoi(args[0]), atoi(args[1]), &fit)) {
    return Fail("fit: cannot read the client area");
  }
  FILE* out = fopen(args[2], "w");
  if (out == NULL) return Fail("fit: cannot write %s", args[2]);
  fprintf(out, "%ldx%ld+%ld+%ld\n", fit.right - fit.left, fit.bottom - fit.top, fit.left, fit.top);
  fclose(out);
  return 1;
}

static int Corner(char** args) {
  if (g_current == NULL) return Fail("corner: no current window");
  RECT frame;
  GetWindowRect(g_current, &frame);
  const POINT corner = {frame.right, frame.bottom};  // on the screen
  const long x = strtol(args[0], NULL, 10), y = strtol(args[1], NULL, 10);
  if (corner.x == x && corner.y == y) return 1;
  return Fail("corner at %ld, %ld, not at %ld, %ld", corner.x, corner.y, x, y);
}

static int Swap(const char* file, const char* with) {
  char aside[MAX_PATH + 16];
  snprintf(aside, sizeof aside, "%s.swapped", file);
  if (!MoveFileExA(file, aside, 0)) {
    printf("robot: swap: %s cannot be renamed (error %lu)\n", file, GetLastError());
    return 1;
  }
  if (!CopyFileA(with, file, FALSE)) {
    return Fail("swap: %s was renamed, but %s cannot take its place (error %lu)", file, with,
                GetLastError());
  }
  printf("robot: swap: %s renamed to %s and replaced by %s\n", file, aside, with);
  return 1;
}

static int Arity(const char* command) {
  static const struct {
    const char* name;
    int args;
  } table[] = {
      {"timeout", 1}, {"window", 1}, {"box", 1},   {"child", 1},   {"corner", 2},
      {"gone", 0},    {"settext", 2}, {"expect", 2}, {"click", 1},   {"tree", 2},
      {"items", 3},   {"copy", 2},   {"snap", 1},   {"windows", 0}, {"listed", 2},
      {"choose", 2},  {"close", 1},  {"dialog", 1}, {"class", 1},   {"expectfile", 2},
      {"shown", 1},   {"hidden", 1}, {"escape", 0}, {"closebox", 0}, {"fit", 3},
      {"swap", 2},    {"attop", 1},
  };
  for (size_t i = 0; i < sizeof table / sizeof table[0]; ++i) {
    if (strcmp(table[i].name, command) == 0) return table[i].args;
  }
  return -1;
}

static int Run(const char* command, char** args) {
  if (strcmp(command, "timeout") == 0) {
    g_timeout = (DWORD)strtoul(args[0], NULL, 10);
    return 1;
  }
  if (strcmp(command, "window") == 0) {
    return WaitForWindow(ProbeWindow, args[0], NULL, "window");
  }
  if (strcmp(command, "box") == 0) {
    return WaitForWindow(ProbeBox, args[0], args[0], "message box");
  }
  if (strcmp(command, "dialog") == 0) {
    return WaitForWindow(ProbeDialog, args[0], NULL, "dialog");
  }
  if (strcmp(command, "class") == 0) {
    return WaitForWindow(ProbeClass, args[0], NULL, "window of class");
  }
  if (strcmp(command, "escape") == 0) return PressEscape();
  if (strcmp(command, "closebox") == 0) {
    return (g_current != NULL && PostMessageA(g_current, WM_SYSCOMMAND, SC_CLOSE, 0)) ||
           Fail("closebox: no current window");
  }
  if (strcmp(command, "fit") == 0) return WriteFit(args);
  if (strcmp(command, "child") == 0) {
    return WaitForWindow(ProbeChild, args[0], NULL, "child window");
  }
  if (strcmp(command, "corner") == 0) return Corner(args);
  if (strcmp(command, "gone") == 0) {
    return WaitFor(ProbeGone, NULL) || Fail("the current window is still there");
  }
  if (strcmp(command, "windows") == 0) {
    ListWindows(stdout);
    return 1;
  }
  if (strcmp(command, "copy") == 0) {
    return CopyFileA(args[0], args[1], FALSE) ||
           Fail("copy %s to %s: error %lu", args[0], args[1], GetLastError());
  }
  if (strcmp(command, "swap") == 0) return Swap(args[0], args[1]);
  if (strcmp(command, "snap") == 0) return Snap(args[0]);
  if (strcmp(command, "close") == 0) {
    CloseWindows(args[0]);
    return 1;
  }

  const int id = (int)strtol(args[0], NULL, 0);
  HWND control = NeedControl(id);
  if (control == NULL) return 0;
  if (strcmp(command, "settext") == 0) {
    return SetDlgItemTextA(g_current, id, args[1]) || Fail("settext %d failed", id);
  }
  if (strcmp(command, "expect") == 0) {
    struct ControlText expect = {id, args[1], ""};
    return WaitFor(ProbeControlText, &expect) ||
           Fail("control %d shows \"%s\", not \"%s\"", id, expect.seen, args[1]);
  }
  if (strcmp(command, "expectfile") == 0) return ExpectFile(id, args[1]);
  if (strcmp(command, "attop") == 0) {
    struct ControlAtTop seen = {control, 0, 0};
    return WaitFor(ProbeControlAtTop, &seen) ||
           Fail("control %d selects %lu to %lu and shows line %ld first", id,
                (unsigned long)LOWORD(seen.selection), (unsigned long)HIWORD(seen.selection),
                (long)seen.firstLine);
  }
  if (strcmp(command, "shown") == 0 || strcmp(command, "hidden") == 0) {
    const struct ControlShown expect = {control, strcmp(command, "shown") == 0};
    return WaitFor(ProbeControlShown, &expect) ||
           Fail("control %d is not %s", id, command);
  }
  if (strcmp(command, "click") == 0) {
    return PostMessageA(control, BM_CLICK, 0, 0) || Fail("click %d failed", id);
  }
  if (strcmp(command, "tree") == 0) {
    char why[512] = "";
    return SelectTreePath(control, args[1], why, sizeof why) ||
           Fail("tree %d: %s", id, why);
  }
  if (strcmp(command, "items") == 0) {
    struct TreeItems expect = {control, args[1], args[2], ""};
    return WaitFor(ProbeTreeItems, &expect) ||
           Fail("items below \"%s\" are \"%s\", not \"%s\"", args[1], expect.seen, args[2]);
  }
  if (strcmp(command, "listed") == 0) {
    struct ComboEntry expect = {control, args[1], ""};
    return WaitFor(ProbeComboEntry, &expect) ||
           Fail("combo box %d lists \"%s\", not \"%s\"", id, expect.seen, args[1]);
  }
  if (strcmp(command, "choose") == 0) {
    return SelectComboItem(control, args[1]) || Fail("combo box %d has no entry \"%s\"", id, args[1]);
  }
  return Fail("unknown command %s", command);
}

int main(int argc, char** argv) {
  /* Check the whole command line first: a typo must not leave a half-driven
     program behind. */
  for (int i = 1; i < argc;) {
    const int arity = Arity(argv[i]);
    if (arity < 0) {
      fprintf(stderr, "robot: unknown command \"%s\"\n", argv[i]);
      return 2;
    }
    if (i + arity >= argc) {
      fprintf(stderr, "robot: %s needs %d argument(s)\n", argv[i], arity);
      return 2;
    }
    i += 1 + arity;
  }
  for (int i = 1; i < argc;) {
    const DWORD start = GetTickCount();
    if (!Run(argv[i], argv + i + 1)) return 1;
    const int arity = Arity(argv[i]);
    printf("robot: %s%s%s (%lu ms)\n", argv[i], arity > 0 ? " " : "", arity > 0 ? argv[i + 1] : "",
           GetTickCount() - start);
    fflush(stdout);
    i += 1 + arity;
  }
  return 0;
}

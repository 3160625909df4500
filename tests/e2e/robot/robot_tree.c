#include "robot_tree.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#define TEXT_MAX 260

/* A block of memory inside the tree's process: the item structure, then the
   text buffer it points to. */
struct Remote {
  HWND tree;
  HANDLE process;
  char* base;
};

static int OpenRemote(HWND tree, struct Remote* remote) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  remote->tree = tree;
  remote->process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (remote->process == NULL) return 0;
  remote->base = (char*)VirtualAllocEx(remote->process, NULL, sizeof(TVITEMA) + TEXT_MAX,
                                       MEM_COMMIT, PAGE_READWRITE);
  if (remote->base == NULL) {
    CloseHandle(remote->process);
    return 0;
  }
  return 1;
}

static void CloseRemote(struct Remote* remote) {
  VirtualFreeEx(remote->process, remote->base, 0, MEM_RELEASE);
  CloseHandle(remote->process);
}

/* Text and normal image of one item. */
static int ItemInfo(struct Remote* remote, HTREEITEM item, char* text, int* image) {
  TVITEMA info;
  memset(&info, 0, sizeof info);
  info.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
  info.hItem = item;
  info.pszText = remote->base + sizeof info;
  info.cchTextMax = TEXT_MAX;
  SIZE_T moved = 0;
  if (!WriteProcessMemory(remote->process, remote->base, &info, sizeof info, &moved)) return 0;
  if (!SendMessageA(remote->tree, TVM_GETITEMA, 0, (LPARAM)remote->base)) return 0;
  if (!ReadProcessMemory(remote->process, remote->base, &info, sizeof info, &moved)) return 0;
  if (!ReadProcessMemory(remote->process, remote->base + sizeof info, text, TEXT_MAX, &moved)) {
    return 0;
  }
  text[TEXT_MAX - 1] = '\0';
  *image = info.iImage;
  return 1;
}

static HTREEITEM FirstChild(HWND tree, HTREEITEM parent) {
  if (parent == NULL) return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  /* Expanding fills the level when the tree has not asked for it yet. */
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)parent);
  return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)parent);
}

static HTREEITEM NextSibling(HWND tree, HTREEITEM item) {
  return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);
}

/* The item at path; *found is 0 when some component is missing (its name is
   left in missing).  An empty path is the top level (NULL item). */
static HTREEITEM Walk(struct Remote* remote, const char* path, int* found, char* missing) {
  HTREEITEM parent = NULL;
  *found = 1;
  char name[TEXT_MAX];
  while (*path != '\0') {
    const char* end = strchr(path, '\\');
    size_t length = end ? (size_t)(end - path) : strlen(path);
    if (length >= sizeof name) length = sizeof name - 1;
    memcpy(name, path, length);
    name[length] = '\0';
    path += length + (end ? 1 : 0);
    if (length == 0) continue;
    HTREEITEM item = FirstChild(remote->tree, parent);
    char text[TEXT_MAX];
    int image;
    while (item != NULL && !(ItemInfo(remote, item, text, &image) && lstrcmpiA(text, name) == 0)) {
      item = NextSibling(remote->tree, item);
    }
    if (item == NULL) {
      *found = 0;
      strcpy(missing, name);
      return NULL;
    }
    parent = item;
  }
  return parent;
}

int SelectTreePath(HWND tree, const char* path, char* why, int size) {
  struct Remote remote;
  if (!OpenRemote(tree, &remote)) {
    snprintf(why, size, "cannot reach the tree's process (error %lu)", GetLastError());
    return 0;
  }
  int found;
  char missing[TEXT_MAX] = "";
  HTREEITEM item = Walk(&remote, path, &found, missing);
  CloseRemote(&remote);
  if (!found || item == NULL) {
    snprintf(why, size, "no item \"%s\" on the way to \"%s\"", missing, path);
    return 0;
  }
  SendMessageA(tree, TVM_ENSUREVISIBLE, 0, (LPARAM)item);
  if (!SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item)) {
    snprintf(why, size, "selecting \"%s\" failed", path);
    return 0;
  }
  return 1;
}

int DescribeTreeChildren(HWND tree, const char* path, char* out, int size) {
  struct Remote remote;
  out[0] = '\0';
  if (!OpenRemote(tree, &remote)) return 0;
  int found;
  char missing[TEXT_MAX];
  HTREEITEM parent = Walk(&remote, path, &found, missing);
  if (found) {
    int used = 0;
    for (HTREEITEM item = FirstChild(tree, parent); item != NULL; item = NextSibling(tree, item)) {
      char text[TEXT_MAX];
      int image;
      if (!ItemInfo(&remote, item, text, &image)) {
        found = 0;
        break;
      }
      used += snprintf(out + used, size > used ? size - used : 0, "%s%s=%d", used ? "," : "",
                       text, image);
      if (used >= size) break;
    }
  }
  CloseRemote(&remote);
  return found;
}

#include "backends/win32/folder_browser_window.h"

#include "backends/win32/browser_images.h"
#include "backends/win32/common_controls.h"
#include "backends/win32/resources/resource_ids.h"
#include "backends/win32/win32_api.h"
#include "dialogs/folder_tree.h"
#include "platform/machine.h"

namespace velmora {
namespace {

class FolderBrowser {
 public:
  FolderBrowser() : model_(CurrentMachine()) {}

  int Run() {
    // Registers the tree view's window class; without it the dialog cannot
    // be made, which answers as a cancel.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES};
    if (const auto init = CommonControlsLibrary().initCommonControlsEx) init(&controls);
    const INT_PTR answer =
        ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FOLDER_BROWSER),
                          nullptr, &FolderBrowser::DialogProc, reinterpret_cast<LPARAM>(this));
    return answer == IDOK ? IDOK : IDCANCEL;
  }

  const std::string& Result() const { return result_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      ::SetWindowLongPtrA(window, DWLP_USER, lParam);
      reinterpret_cast<FolderBrowser*>(lParam)->OnInit(window);
      return TRUE;
    }
    auto* self = reinterpret_cast<FolderBrowser*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
      case WM_NOTIFY: return self->OnNotify(lParam);
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          self->OnOk();
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          ::EndDialog(window, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default: return FALSE;
    }
  }

  void OnInit(HWND window) {
    window_ = window;
    tree_ = ::GetDlgItem(window, IDC_BROWSER_TREE);
    ::SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.List()));
    ::SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    model_.FillTopLevel();
    for (const auto& drive : model_.TopLevel()) Insert(TVI_ROOT, *drive);
  }

  // One tree item for a node: sorted among its siblings, not expanded, its
  // child count to be asked for when the tree first needs it.
  void Insert(HTREEITEM parent, const FolderNode& node) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_SORT;
    TVITEMA& item = insert.item;
    item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    item.pszText = const_cast<char*>(node.Text().c_str());
    item.lParam = reinterpret_cast<LPARAM>(&node);
    item.cChildren = I_CHILDRENCALLBACK;
    const int image = images_.Index().Of(node.Image());
    const int selectedImage = images_.Index().Of(node.SelectedImage());
    if (image >= 0) {
      item.mask |= TVIF_IMAGE;
      item.iImage = image;
    }
    if (selectedImage >= 0) {
      item.mask |= TVIF_SELECTEDIMAGE;
      item.iSelectedImage = selectedImage;
    }
    ::SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  }

  // The level below an item, listed now: its old tree children go, the
  // model lists the folder again, and each sub-folder gets an item.
  int FillBelow(HTREEITEM parent, FolderNode& node) {
    HTREEITEM child = TreeView_GetChild(tree_, parent);
    while (child != nullptr) {
      HTREEITEM next = TreeView_GetNextSibling(tree_, child);
      TreeView_DeleteItem(tree_, child);
      child = next;
    }
    const int count = model_.FillChildren(node);
    for (const auto& folder : model_.Children(node)) Insert(parent, *folder);
    return count;
  }

  static FolderNode* NodeOf(HWND tree, HTREEITEM handle, LPARAM known) {
    if (known != 0) return reinterpret_cast<FolderNode*>(known);
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = handle;
    if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<FolderNode*>(item.lParam);
  }

  INT_PTR OnNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_BROWSER_TREE) return FALSE;
    if (header->code != TVN_GETDISPINFOA && header->code != TVN_GETDISPINFOW) return FALSE;
    // The A and W forms differ only in the text pointer, which is not used.
    auto& info = *reinterpret_cast<NMTVDISPINFOA*>(lParam);
    if ((info.item.mask & TVIF_CHILDREN) == 0) return FALSE;
    FolderNode* node = NodeOf(tree_, info.item.hItem, info.item.lParam);
    info.item.cChildren = node != nullptr ? FillBelow(info.item.hItem, *node) : 0;
    info.item.mask |= TVIF_DI_SETITEM;  // asked once per item
    return TRUE;
  }

  void OnOk() {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    std::string path;
    if (selected != nullptr) {
      if (const FolderNode* node = NodeOf(tree_, selected, 0)) path = node->Path();
    }
    if (path.size() >= kMaxPathBytes) {
      // Does not fit the result; the user picks another folder or cancels.
      ::MessageBeep(MB_ICONEXCLAMATION);
      return;
    }
    result_ = path;
    ::EndDialog(window_, IDOK);
  }

  FolderTree model_;
  BrowserImages images_;
  HWND window_ = nullptr;
  HWND tree_ = nullptr;
  std::string result_;
};

}  // namespace

int RunFolderBrowser(std::string& result) {
  FolderBrowser browser;
  const int answer = browser.Run();
  if (answer == IDOK) result = browser.Result();
  return answer;
}

}  // namespace velmora

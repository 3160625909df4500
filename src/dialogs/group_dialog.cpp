#include "dialogs/group_dialog.h"

#include <algorithm>
#include <utility>

#include "framework/progman_text.h"
#include "platform/ui.h"

namespace velmora {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool BeforeIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
  });
}

}  // namespace

bool CGroupDialog::AcceptsName(const std::string& name) { return FitsProgmanCommand(name); }

int CGroupDialog::DoModal() { return CurrentUi().RunGroupDialog(*this); }

std::vector<std::string> CGroupDialog::TakeGroupNames() {
  std::vector<std::string> names = std::exchange(m_groupNames, {});
  std::stable_sort(names.begin(), names.end(), BeforeIgnoringCase);
  return names;
}

}  // namespace velmora

// The real user interface: Win32 message boxes.
#pragma once

#include "platform/ui.h"

namespace velmora {

class Win32Ui final : public Ui {
 public:
  int MessageBox(const std::string& text, const std::string& caption,
                 std::uint32_t style) override;
};

}  // namespace velmora

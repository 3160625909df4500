#include "shell/program_items.h"

#include "services/program_manager.h"

namespace velmora {

std::optional<std::string> RequestProgramGroup(const std::string& group) {
  const ProgmanReply reply = ProgmanRequest(group);
  if (!reply) return std::nullopt;
  return std::string(reply.get());  // the description is the reply's first string
}

std::optional<std::vector<std::string>> ProgramGroupNames() {
  const ProgmanReply reply = ProgmanGetGroups();
  if (!reply) return std::nullopt;
  return ProgmanReplyStrings(reply.get());
}

std::optional<unsigned> ProgramGroupItemCount(const std::string& description) {
  std::size_t at = description.find('"');
  if (at != std::string::npos) at = description.find('"', at + 1);
  for (int comma = 0; comma < 2 && at != std::string::npos; ++comma)
    at = description.find(',', at + 1);
  if (at == std::string::npos) return std::nullopt;
  unsigned count = 0;
  std::size_t digits = 0;
  for (std::size_t i = at + 1; i < description.size(); ++i, ++digits) {
    const char c = description[i];
    if (c < '0' || c > '9') break;
    if (count > 100000000u) break;  // more than any group holds; never wraps to 0
    count = count * 10 + static_cast<unsigned>(c - '0');
  }
  if (digits == 0) return std::nullopt;
  return count;
}

}  // namespace velmora

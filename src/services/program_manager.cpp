#include "services/program_manager.h"

#include <cstring>

#include "platform/machine.h"

namespace velmora {
namespace {

constexpr const char* kProgman = "PROGMAN";
constexpr std::uint32_t kTimeoutMs = 10000;
constexpr std::uint32_t kRetryWaitMs = 1000;
constexpr int kNotProcessedRetries = 10;

// The retry state of one operation, shared by its commands.
struct RetryState {
  bool retry = true;
  int notProcessedLeft = kNotProcessedRetries;
};

bool RetriesAfter(std::uint32_t error, RetryState& state) {
  switch (error) {
    case ddeerror::busy:
    case ddeerror::reentrancy:
    case ddeerror::execAckTimeout:
      return true;
    case ddeerror::notProcessed:
      return state.notProcessedLeft-- > 0;
    default:
      return false;
  }
}

bool ExecuteWithRetry(DdeConversation& conversation, const std::string& command,
                      RetryState& state) {
  const std::string data(command.c_str(), command.size() + 1);  // with its terminating zero
  bool accepted = conversation.Execute(data, kTimeoutMs);
  while (!accepted && state.retry) {
    state.retry = RetriesAfter(conversation.LastError(), state);
    if (state.retry) {
      conversation.Wait(kRetryWaitMs);
      accepted = conversation.Execute(data, kTimeoutMs);
    }
  }
  return accepted;
}

// Sends the commands in order, each only when the one before was accepted.
bool ExecuteCommands(const std::vector<std::string>& commands) {
  const std::unique_ptr<DdeConversation> conversation =
      CurrentMachine().ConnectDde(kProgman, true);
  if (!conversation) return false;
  RetryState state;
  for (const std::string& command : commands) {
    if (!ExecuteWithRetry(*conversation, command, state)) return false;
  }
  return true;
}

}  // namespace

std::string ProgmanCreateGroupCommand(const std::string& group) {
  return "[CreateGroup(\"" + group + "\")]";
}

std::string ProgmanAddItemCommand(const std::string& commandLine, const std::string& itemName) {
  return "[AddItem(\"" + commandLine + "\", \"" + itemName + "\")]";
}

std::string ProgmanShowGroupCommand(const std::string& group) {
  return "[ShowGroup(\"" + group + "\", 1)]";
}

std::string ProgmanDeleteItemCommand(const std::string& itemName) {
  return "[DeleteItem(\"" + itemName + "\")]";
}

std::string ProgmanDeleteGroupCommand(const std::string& group) {
  return "[DeleteGroup(\"" + group + "\")]";
}

ProgmanReply ProgmanReplyFromData(const std::string& data) {
  const std::size_t size = data.size();
  if (size == 0) return nullptr;
  ProgmanReply block(new char[size + 1]);
  std::memcpy(block.get(), data.data(), size);
  block[size] = '\0';
  block[size - 1] = '\0';
  // The byte at size - 1 is zero and never moves, so every LF taken out
  // leaves one fewer in the block and the walk ends.
  std::size_t i = 0;
  while (i < size) {
    if (block[i] == '\r') {
      block[i++] = '\0';
    } else if (block[i] == '\n') {
      std::memmove(block.get() + i, block.get() + i + 1, size - 1 - i);
    } else {
      ++i;
    }
  }
  return block;
}

std::vector<std::string> ProgmanReplyStrings(const char* reply) {
  std::vector<std::string> strings;
  if (reply == nullptr) return strings;
  for (const char* at = reply; *at != '\0'; at += std::strlen(at) + 1) strings.emplace_back(at);
  return strings;
}

ProgmanReply ProgmanRequest(const std::string& item) {
  std::optional<std::string> data;
  if (const auto conversation = CurrentMachine().ConnectDde(kProgman, false))
    data = conversation->Request(item, kTimeoutMs);
  return data ? ProgmanReplyFromData(*data) : nullptr;
}

ProgmanReply ProgmanGetGroups() { return ProgmanRequest("Groups"); }

bool ProgmanAddItem(const std::string& group, const std::string& commandLine,
                    const std::string& itemName) {
  return ExecuteCommands(
      {ProgmanCreateGroupCommand(group), ProgmanAddItemCommand(commandLine, itemName)});
}

bool ProgmanDeleteItem(const std::string& group, const std::string& itemName) {
  return ExecuteCommands({ProgmanShowGroupCommand(group), ProgmanDeleteItemCommand(itemName)});
}

void ProgmanDeleteGroup(const std::string& group) {
  ExecuteCommands({ProgmanDeleteGroupCommand(group)});
}

}  // namespace velmora

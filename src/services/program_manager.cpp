#include "services/program_manager.h"

#include <cstring>
#include <initializer_list>
#include <string_view>

#include "framework/progman_text.h"
#include "platform/machine.h"

namespace velmora {
namespace {

constexpr const char* kProgman = "PROGMAN";

// What one operation has spent of its budget, shared by its commands.
struct Budget {
  int tries = 0;
  std::uint32_t countedMs = 0;
  int notProcessedLeft = kProgmanNotProcessedRetries;

  bool Spent() const { return tries >= kProgmanMaxTries || countedMs >= kProgmanMaxMs; }
};

bool RetriesAfter(std::uint32_t error, Budget& budget) {
  switch (error) {
    case ddeerror::busy:
    case ddeerror::reentrancy:
    case ddeerror::execAckTimeout: return true;
    case ddeerror::notProcessed: return budget.notProcessedLeft-- > 0;
    default: return false;
  }
}

// One try of a command; the error is why it was refused.  A transaction
// that ran out of its time-out counts the whole of it.
bool Send(DdeConversation& conversation, const std::string& data, Budget& budget,
          std::uint32_t& error) {
  ++budget.tries;
  if (conversation.Execute(data, kProgmanTimeoutMs)) return true;
  error = conversation.LastError();  // read once: reading it clears it
  if (error == ddeerror::execAckTimeout) budget.countedMs += kProgmanTimeoutMs;
  return false;
}

bool ExecuteWithRetry(DdeConversation& conversation, const std::string& command, Budget& budget) {
  if (budget.Spent()) return false;
  const std::string data(command.c_str(), command.size() + 1);  // with its terminating zero
  std::uint32_t error = ddeerror::none;
  bool accepted = Send(conversation, data, budget, error);
  while (!accepted && RetriesAfter(error, budget) && !budget.Spent()) {
    conversation.Wait(kProgmanRetryWaitMs);
    budget.countedMs += kProgmanRetryWaitMs;
    accepted = Send(conversation, data, budget, error);
  }
  return accepted;
}

// Sends the commands in order, each only when the one before was accepted.
bool ExecuteCommands(const std::vector<std::string>& commands) {
  const std::unique_ptr<DdeConversation> conversation = CurrentMachine().ConnectDde(kProgman, true);
  if (!conversation) return false;
  Budget budget;
  for (const std::string& command : commands) {
    if (!ExecuteWithRetry(*conversation, command, budget)) return false;
  }
  return true;
}

bool AllFitCommands(std::initializer_list<std::string_view> texts) {
  for (const std::string_view text : texts)
    if (!FitsProgmanCommand(text)) return false;
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
    data = conversation->Request(item, kProgmanTimeoutMs);
  return data ? ProgmanReplyFromData(*data) : nullptr;
}

ProgmanReply ProgmanGetGroups() { return ProgmanRequest("Groups"); }

bool ProgmanAddItem(const std::string& group, const std::string& commandLine,
                    const std::string& itemName) {
  if (!AllFitCommands({group, commandLine, itemName})) return false;
  return ExecuteCommands(
      {ProgmanCreateGroupCommand(group), ProgmanAddItemCommand(commandLine, itemName)});
}

bool ProgmanDeleteItem(const std::string& group, const std::string& itemName) {
  if (!AllFitCommands({group, itemName})) return false;
  return ExecuteCommands({ProgmanShowGroupCommand(group), ProgmanDeleteItemCommand(itemName)});
}

void ProgmanDeleteGroup(const std::string& group) {
  if (!FitsProgmanCommand(group)) return;
  ExecuteCommands({ProgmanDeleteGroupCommand(group)});
}

}  // namespace velmora

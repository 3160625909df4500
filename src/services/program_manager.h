// The Program Manager client: program groups and their items through the
// shell's DDE server "PROGMAN" (service and topic), reached through the
// current machine.  Each operation opens its own conversation and closes it
// before it returns.
//
// Commands are Program Manager command strings with the arguments inserted
// unchanged between double quotes, sent with their terminating zero.
// Nothing inside a quoted argument can be escaped, so an operation given a
// group name, command line or item title that does not FitsProgmanCommand
// (framework/progman_text.h) sends nothing and fails, as a refused command
// does.
//
// A command the server does not take at once is sent again after a pause
// while the server is busy, re-entered or late with its acknowledgement,
// and at most kProgmanNotProcessedRetries times per operation after "not
// processed"; any other refusal ends it.  Every operation has a budget, shared
// by its commands: at most kProgmanMaxTries transactions, and no transaction
// once kProgmanMaxMs have been counted.  The count is the pauses between
// tries plus the full time-out of every transaction that ran out of it (a
// late acknowledgement); the other refusals are answers the server gave.
// So a shell that stays busy is tried 30 times over about 29 s, one that
// never answers gets three time-outs (about 32 s), and 10 "not processed"
// take 10 s: each is long enough for a shell that is busy with another
// program's groups or still starting, and none blocks the run for ever.
// Whatever the server answers, an operation ends within kProgmanMaxTries
// transactions of at most kProgmanTimeoutMs each, with the pauses between.
// When the budget runs out the operation fails as a refusal does.  A
// request is one transaction, sent once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// The time-out given to every transaction.
inline constexpr std::uint32_t kProgmanTimeoutMs = 10000;
// The pause before a command is sent again.
inline constexpr std::uint32_t kProgmanRetryWaitMs = 1000;
// Retries after "not processed" per operation.
inline constexpr int kProgmanNotProcessedRetries = 10;
// The budget of one operation: transactions sent, and time counted.
inline constexpr int kProgmanMaxTries = 30;
inline constexpr std::uint32_t kProgmanMaxMs = 30000;

// A reply: its lines as consecutive zero-terminated strings, then an empty
// string.  Null when nothing was received.
using ProgmanReply = std::unique_ptr<char[]>;

// The reply to the item "Groups": one group name per string.
ProgmanReply ProgmanGetGroups();
// The reply to any item, for example a group's own name: its first string
// is the group's description (see ProgramGroupItemCount).
ProgmanReply ProgmanRequest(const std::string& item);
// Creates the group (or makes an existing one current) and adds the item to
// it; true when both commands were accepted.  The item is not attempted
// when the group was refused.  False without a transaction when any of
// the three texts cannot stand in a command.
bool ProgmanAddItem(const std::string& group, const std::string& commandLine,
                    const std::string& itemName);
// Shows the group and deletes the item from it; true when both commands
// were accepted.  The item is not attempted when the group was refused.
// False without a transaction when either text cannot stand in a command.
bool ProgmanDeleteItem(const std::string& group, const std::string& itemName);
// Sends the delete-group command; whether it was accepted is not told.
// Nothing is sent for a name that cannot stand in a command.
void ProgmanDeleteGroup(const std::string& group);

// ---- the pieces, plain functions ----------------------------------------------
std::string ProgmanCreateGroupCommand(const std::string& group);
std::string ProgmanAddItemCommand(const std::string& commandLine, const std::string& itemName);
std::string ProgmanShowGroupCommand(const std::string& group);
std::string ProgmanDeleteItemCommand(const std::string& itemName);
std::string ProgmanDeleteGroupCommand(const std::string& group);

// Request data as a reply: a copy one byte longer, its last two bytes zero,
// every CR a zero byte and every LF taken out.  Null for empty data.
ProgmanReply ProgmanReplyFromData(const std::string& data);
// The strings of a reply up to the first empty one; none for null.
std::vector<std::string> ProgmanReplyStrings(const char* reply);

}  // namespace velmora

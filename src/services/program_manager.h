// The Program Manager client: program groups and their items through the
// shell's DDE server "PROGMAN" (service and topic), reached through the
// current machine.  Each operation opens its own conversation and closes it
// before it returns.
//
// Commands are Program Manager command strings with the arguments inserted
// unchanged, nothing escaped or quoted inside them, sent with their
// terminating zero.  A command the server does not take at once is sent
// again after a second while the server is busy, re-entered or late with
// its acknowledgement, and at most 10 times per operation after "not
// processed"; any other refusal ends it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace velmora {

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
// when the group was refused.
bool ProgmanAddItem(const std::string& group, const std::string& commandLine,
                    const std::string& itemName);
// Shows the group and deletes the item from it; true when both commands
// were accepted.  The item is not attempted when the group was refused.
bool ProgmanDeleteItem(const std::string& group, const std::string& itemName);
// Sends the delete-group command; whether it was accepted is not told.
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

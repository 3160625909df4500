// The Program Manager client against a scripted DDE transport: what it
// sends, how often it tries again, and how reply data becomes strings.
#include "services/program_manager.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "unit/support/forwarding_machine.h"

namespace velmora {
namespace {

// What the transport saw, and the errors it answers transactions with in
// order (none = accepted); once they run out every transaction is accepted.
struct Script {
  bool server = true;
  std::deque<std::uint32_t> errors;
  std::optional<std::string> reply;
  std::vector<std::string> sent;  // "execute DATA" / "request ITEM", DATA with its zero bytes
  std::vector<bool> skipNotifications;
  std::vector<std::uint32_t> timeouts;
  int waits = 0;
  std::uint32_t waited = 0;
};

class ScriptedConversation final : public DdeConversation {
 public:
  explicit ScriptedConversation(Script& script) : script_(script) {}
  bool Execute(const std::string& data, std::uint32_t timeoutMs) override {
    script_.sent.push_back("execute " + data);
    script_.timeouts.push_back(timeoutMs);
    return Next();
  }
  std::optional<std::string> Request(const std::string& item, std::uint32_t timeoutMs) override {
    script_.sent.push_back("request " + item);
    script_.timeouts.push_back(timeoutMs);
    return Next() ? script_.reply : std::nullopt;
  }
  std::uint32_t LastError() override { return error_; }
  void Wait(std::uint32_t milliseconds) override {
    ++script_.waits;
    script_.waited += milliseconds;
  }

 private:
  bool Next() {
    error_ = ddeerror::none;
    if (!script_.errors.empty()) {
      error_ = script_.errors.front();
      script_.errors.pop_front();
    }
    return error_ == ddeerror::none;
  }
  Script& script_;
  std::uint32_t error_ = ddeerror::none;
};

// A simulated machine whose DDE server is the script.
class ScriptedDdeMachine final : public testing::ForwardingMachine {
 public:
  std::unique_ptr<DdeConversation> ConnectDde(const std::string& name,
                                              bool skipNotifications) override {
    EXPECT_EQ(name, "PROGMAN");
    script.skipNotifications.push_back(skipNotifications);
    if (!script.server) return nullptr;
    return std::make_unique<ScriptedConversation>(script);
  }
  Script script;
};

// The bytes of a literal, zero bytes inside and at its end included.
template <std::size_t N>
std::string Data(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string Sent(const std::string& command) { return "execute " + command + std::string(1, '\0'); }

class ProgramManagerClient : public ::testing::Test {
 protected:
  ScriptedDdeMachine machine_;
  ScopedMachine scope_{machine_};
  Script& script_ = machine_.script;
};

TEST_F(ProgramManagerClient, ArgumentsGoInUnchangedWithTheTerminatingZero) {
  const std::string odd = "Say 'Hi', then \\ go)]";
  ASSERT_TRUE(ProgmanAddItem(odd, "C:\\Apps\\edit.exe", odd));
  ASSERT_TRUE(ProgmanDeleteItem(odd, odd));
  ProgmanDeleteGroup(odd);
  EXPECT_EQ(script_.sent, (std::vector<std::string>{
                              Sent("[CreateGroup(\"" + odd + "\")]"),
                              Sent("[AddItem(\"C:\\Apps\\edit.exe\", \"" + odd + "\")]"),
                              Sent("[ShowGroup(\"" + odd + "\", 1)]"),
                              Sent("[DeleteItem(\"" + odd + "\")]"),
                              Sent("[DeleteGroup(\"" + odd + "\")]"),
                          }));
  EXPECT_EQ(script_.skipNotifications, (std::vector<bool>{true, true, true}));
  for (std::uint32_t timeout : script_.timeouts) EXPECT_EQ(timeout, 10000u);
}

// Busy, re-entrancy and late acknowledgements are retried within the
// operation's budget; "not processed" also within its own counter.
TEST_F(ProgramManagerClient, RetriesFollowTheErrorKindsAndTheSharedCounter) {
  constexpr std::uint32_t busy = ddeerror::busy, np = ddeerror::notProcessed;
  struct Case {
    const char* what;
    std::vector<std::uint32_t> errors;
    bool accepted;
    int sent;  // transactions of the whole add-item operation
    int waits;
  };
  const std::vector<std::uint32_t> tenNp(10, np), elevenNp(11, np), manyBusy(40, busy),
      fewBusy(5, busy), twentyBusy(20, busy), manyAckTimeouts(10, ddeerror::execAckTimeout);
  auto join = [](std::vector<std::uint32_t> a, const std::vector<std::uint32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const Case cases[] = {
      {"accepted at once", {}, true, 2, 0},
      {"10 not processed, then accepted", tenNp, true, 12, 10},
      {"11 not processed: refused, no add-item", elevenNp, false, 11, 10},
      {"busy until the tries run out", manyBusy, false, kProgmanMaxTries, kProgmanMaxTries - 1},
      {"re-entrancy and late acknowledgement retried",
       {ddeerror::reentrancy, ddeerror::execAckTimeout},
       true,
       4,
       2},
      {"busy is not counted as not processed", join(fewBusy, tenNp), true, 17, 15},
      {"late acknowledgements until the time runs out", manyAckTimeouts, false, 3, 2},
      {"both commands share the tries", join(join(twentyBusy, {ddeerror::none}), twentyBusy), false,
       kProgmanMaxTries, kProgmanMaxTries - 2},
      {"any other error ends it at once", {ddeerror::invalidParameter}, false, 1, 0},
      {"the counter is shared by both commands",
       join(join(std::vector<std::uint32_t>(6, np), {ddeerror::none}),
            std::vector<std::uint32_t>(5, np)),
       false, 12, 10},
  };
  for (const Case& c : cases) {
    script_ = Script{};
    script_.errors.assign(c.errors.begin(), c.errors.end());
    EXPECT_EQ(ProgmanAddItem("G", "C:\\A.EXE", "A"), c.accepted) << c.what;
    EXPECT_EQ(script_.sent.size(), static_cast<std::size_t>(c.sent)) << c.what;
    EXPECT_EQ(script_.waits, c.waits) << c.what;
    EXPECT_EQ(script_.waited, 1000u * script_.waits) << c.what;
  }
}

TEST_F(ProgramManagerClient, ARefusedShowGroupSendsNoDeleteItem) {
  script_.errors = {ddeerror::invalidParameter};
  EXPECT_FALSE(ProgmanDeleteItem("Tools", "Editor"));
  EXPECT_EQ(script_.sent, std::vector<std::string>{Sent("[ShowGroup(\"Tools\", 1)]")});
}

TEST_F(ProgramManagerClient, NoServerSendsNothingAndAnswersNothing) {
  script_.server = false;
  EXPECT_FALSE(ProgmanAddItem("G", "C:\\A.EXE", "A"));
  EXPECT_FALSE(ProgmanDeleteItem("G", "A"));
  EXPECT_EQ(ProgmanGetGroups(), nullptr);
  EXPECT_TRUE(script_.sent.empty());
}

TEST_F(ProgramManagerClient, RequestsAskForTheItemWithNotificationsAndGiveTheReply) {
  script_.reply = Data("Accessories\r\nGames\r\n\0");
  const ProgmanReply groups = ProgmanGetGroups();
  EXPECT_EQ(ProgmanReplyStrings(groups.get()), (std::vector<std::string>{"Accessories", "Games"}));
  script_.errors = {ddeerror::notProcessed};  // a request is sent once
  EXPECT_EQ(ProgmanRequest("Tools"), nullptr);
  EXPECT_EQ(script_.sent, (std::vector<std::string>{"request Groups", "request Tools"}));
  EXPECT_EQ(script_.skipNotifications, (std::vector<bool>{false, false}));
}

TEST(ProgmanReplyFromData, LinesBecomeStringsEndedByAnEmptyOne) {
  struct Case {
    std::string data;
    std::vector<std::string> strings;
  };
  const Case cases[] = {
      {Data("Accessories\r\nGames\r\n\0"), {"Accessories", "Games"}},
      {Data("One\r\nTwo\0"), {"One", "Two"}},  // no line end after the last
      {Data("A\n\n\nB\r\n\0"), {"AB"}},        // LFs alone are taken out
      {Data("A\r\rB\0"), {"A"}},               // an empty line ends the list
      {Data("NoZero"), {"NoZer"}},             // the last byte is always zeroed
      {Data("\n\n\n"), {}},
      {Data("\0"), {}},
      {Data("\"Tools\",T.GRP,3,1\r\n\"Ed\",\"C:\\ED.EXE\"\r\n\0"),
       {"\"Tools\",T.GRP,3,1", "\"Ed\",\"C:\\ED.EXE\""}},
  };
  for (const Case& c : cases) {
    const ProgmanReply reply = ProgmanReplyFromData(c.data);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply[c.data.size()], '\0');
    EXPECT_EQ(ProgmanReplyStrings(reply.get()), c.strings) << c.data;
  }
  EXPECT_EQ(ProgmanReplyFromData(""), nullptr);
  EXPECT_TRUE(ProgmanReplyStrings(nullptr).empty());
}

}  // namespace
}  // namespace velmora

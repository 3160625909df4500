// DDE on Windows through DDEML.  One conversation owns its DDEML instance,
// the string handle of the service and topic name and the conversation;
// each request makes and frees its item's string handle.  Strings go in
// the Windows ANSI code page.
#include "backends/win32/win32_api.h"
// After <windows.h>, which it needs and which leaves it out when lean.
#include <ddeml.h>

#include "backends/win32/win32_machine.h"

namespace velmora {
namespace {

// The client answers no transaction of its own.
HDDEDATA CALLBACK IgnoreTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

class Win32DdeConversation final : public DdeConversation {
 public:
  Win32DdeConversation(DWORD instance, HSZ name, HCONV conversation)
      : instance_(instance), name_(name), conversation_(conversation) {}
  ~Win32DdeConversation() override {
    ::DdeDisconnect(conversation_);
    ::DdeFreeStringHandle(instance_, name_);
    ::DdeUninitialize(instance_);
  }
  Win32DdeConversation(const Win32DdeConversation&) = delete;
  Win32DdeConversation& operator=(const Win32DdeConversation&) = delete;

  bool Execute(const std::string& data, std::uint32_t timeoutMs) override {
    DWORD result = 0;
    std::string bytes = data;  // DdeClientTransaction takes the data as writable
    return ::DdeClientTransaction(reinterpret_cast<LPBYTE>(bytes.data()),
                                  static_cast<DWORD>(bytes.size()), conversation_, nullptr, 0,
                                  XTYP_EXECUTE, timeoutMs, &result) != nullptr;
  }

  std::optional<std::string> Request(const std::string& item, std::uint32_t timeoutMs) override {
    HSZ itemName = ::DdeCreateStringHandleA(instance_, item.c_str(), CP_WINANSI);
    if (itemName == nullptr) return std::nullopt;
    DWORD result = 0;
    HDDEDATA data = ::DdeClientTransaction(nullptr, 0, conversation_, itemName, CF_TEXT,
                                           XTYP_REQUEST, timeoutMs, &result);
    ::DdeFreeStringHandle(instance_, itemName);
    if (data == nullptr || data == reinterpret_cast<HDDEDATA>(1)) return std::nullopt;
    std::optional<std::string> bytes;
    DWORD size = 0;
    if (const LPBYTE at = ::DdeAccessData(data, &size); at != nullptr) {
      bytes.emplace(reinterpret_cast<const char*>(at), size);
      ::DdeUnaccessData(data);
    }
    ::DdeFreeDataHandle(data);
    return bytes;
  }

  std::uint32_t LastError() override { return ::DdeGetLastError(instance_); }

  void Wait(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }

 private:
  DWORD instance_;
  HSZ name_;
  HCONV conversation_;
};

}  // namespace

std::unique_ptr<DdeConversation> Win32Machine::ConnectDde(const std::string& serviceAndTopic,
                                                          bool skipNotifications) {
  DWORD instance = 0;
  DWORD flags = APPCMD_CLIENTONLY;
  if (skipNotifications) flags |= CBF_SKIP_ALLNOTIFICATIONS;
  if (::DdeInitializeA(&instance, IgnoreTransactions, flags, 0) != DMLERR_NO_ERROR) return nullptr;
  HSZ name = ::DdeCreateStringHandleA(instance, serviceAndTopic.c_str(), CP_WINANSI);
  HCONV conversation = name != nullptr ? ::DdeConnect(instance, name, name, nullptr) : nullptr;
  if (conversation == nullptr) {
    if (name != nullptr) ::DdeFreeStringHandle(instance, name);
    ::DdeUninitialize(instance);
    return nullptr;
  }
  return std::make_unique<Win32DdeConversation>(instance, name, conversation);
}

}  // namespace velmora

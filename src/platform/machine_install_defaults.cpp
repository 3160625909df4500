// Defaults of the file installation, registry value deletion and DDE
// operations of Machine: a machine that does not override them cannot do
// them, and says so with a failure.
#include "platform/machine.h"

namespace velmora {

FileCause Machine::CreateTempFileForWriting(const std::string& directory, const std::string& prefix,
                                            std::string& path, FileHandle& handle) {
  handle = kNoFile;
  if (const FileCause cause = CreateTempFile(directory, prefix, path); cause != FileCause::none)
    return cause;
  return OpenFile(path, FileAccess::write, FileShare::exclusive, FileDisposition::openExisting,
                  handle);
}

FileCause Machine::GetFileTimes(const std::string&, FileTimes&) { return FileCause::generic; }

FileCause Machine::SetFileTimes(const std::string&, const FileTimes&) { return FileCause::generic; }

FileCause Machine::SetOpenFileTimes(FileHandle, const FileTimes&) { return FileCause::generic; }

bool Machine::GetFileVersion(const std::string&, std::uint64_t& version) {
  version = 0;
  return false;
}

void Machine::FindFileLocation(std::uint32_t, const std::string&, const std::string&,
                               const std::string& appDir, std::string& currentDir,
                               std::string& destDir) {
  currentDir.clear();
  destDir = appDir;
}

RegistrationCall Machine::CallRegistrationEntry(const std::string&, const std::string&,
                                                long& result) {
  result = -1;
  return RegistrationCall::loadFailed;
}

bool Machine::RunProgram(const std::string&, const std::string&, std::uint32_t& exitCode) {
  exitCode = 0xFFFFFFFF;
  return false;
}

std::string Machine::GetProgramFilesDirectory() { return {}; }

FileCause Machine::CreateProtectedDirectory(const std::string& path) {
  return CreateDirectory(path);
}

bool Machine::UsersCanWriteDirectory(const std::string&) { return true; }

long Machine::DeleteRegValue(hkey::Root, const std::string&, const std::string&) {
  return winerror::accessDenied;
}

FileCause Machine::DeleteFileAtRestart(const std::string&) { return FileCause::generic; }

std::unique_ptr<DdeConversation> Machine::ConnectDde(const std::string&, bool) { return nullptr; }

}  // namespace velmora

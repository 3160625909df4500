#include "shell/uninstall_files.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "datafile/appended_media.h"
#include "framework/archive.h"
#include "framework/ascii.h"
#include "platform/machine.h"
#include "platform/path_limit.h"
#include "platform/ui.h"
#include "services/file_removal.h"
#include "services/registry.h"

namespace velmora {

bool CopyOpenFile(Machine& machine, FileHandle from, const std::string& to) {
  std::uint64_t position = 0;
  if (from == kNoFile) return false;
  // A program that carries its package is copied without it.
  const AppendedLoad appended = FindAppendedMedia(machine, from);
  std::uint64_t left =
      appended.state == AppendedState::found ? appended.media.start : ~std::uint64_t{0};
  if (machine.SeekFile(from, 0, SeekOrigin::begin, position) != FileCause::none) return false;
  FileHandle target = kNoFile;
  if (machine.OpenFile(to, FileAccess::write, FileShare::exclusive, FileDisposition::createAlways,
                       target) != FileCause::none)
    return false;
  std::vector<std::uint8_t> buffer(std::size_t{64} * 1024);
  bool copied = true;
  for (;;) {
    std::uint32_t got = 0;
    const auto want = static_cast<std::uint32_t>(std::min<std::uint64_t>(buffer.size(), left));
    if (want == 0) break;
    if (machine.ReadFile(from, buffer.data(), want, got) != FileCause::none) {
      copied = false;
      break;
    }
    if (got == 0) break;
    left -= got;
    if (machine.WriteFile(target, buffer.data(), got) != FileCause::none) {
      copied = false;
      break;
    }
  }
  copied = machine.CloseFile(target) == FileCause::none && copied;
  if (!copied) machine.DeleteFile(to);
  return copied;
}

namespace {

bool IsPlainFileName(const std::string& name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return false;
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|': return false;
      default: break;
    }
  }
  return true;
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string MoveAside(Machine& machine, const std::string& path, const char* prefix) {
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) != FileCause::none) return {};
  std::string aside;
  if (machine.CreateTempFile(DirectoryOf(path), prefix, aside) != FileCause::none) return {};
  machine.DeleteFile(aside);
  if (machine.MoveFile(path, aside) != FileCause::none) {
    machine.DeleteFile(aside);  // the empty file that reserved the name does not stay
    return {};
  }
  return aside;
}

std::string UninstallExePathFor(const std::string& windowsDirectory, const std::string& title) {
  if (title.empty() || !IsPlainFileName(title)) return {};
  if (windowsDirectory.empty() || windowsDirectory.size() >= kMaxPathBytes) return {};
  std::string path = windowsDirectory;
  if (path.back() != '\\') path += '\\';
  path += "X" + title + ".exe";
  if (path.size() > kMaxUninstallPathLength) return {};
  return path;
}

std::string UninstallLogPathFor(const std::string& exePath) {
  if (exePath.size() < 3) return exePath;
  return exePath.substr(0, exePath.size() - 3) + "VMU";
}

std::string UninstallCommandFor(const std::string& exePath, const std::string& logPath) {
  return "\"" + exePath + "\" " + logPath;
}

std::string QuietUninstallCommandFor(const std::string& exePath, const std::string& logPath) {
  return "\"" + exePath + "\" /quiet " + logPath;
}

bool ReplaceUninstallLog(const std::string& logPath, const std::string& title,
                         const StepList& steps, const LogAdditions& additions,
                         std::string* earlierAside) {
  Machine& machine = CurrentMachine();
  // The new log is complete in a file of its own before it takes the
  // place of the earlier one.
  std::string written;
  if (machine.CreateTempFile(DirectoryOf(logPath), "vmu", written) != FileCause::none) return false;
  try {
    StoreUninstallLog(written, title, steps, &additions);
  } catch (const CFileException& error) {
    if (error.Cause() != FileCause::none) {
      machine.DeleteFile(written);
      return false;
    }
  } catch (const CArchiveException& error) {
    if (error.m_cause != CArchiveException::none) {
      machine.DeleteFile(written);
      return false;
    }
  }
  const std::string earlier = MoveAside(machine, logPath, "vmo");
  if (machine.MoveFile(written, logPath) != FileCause::none) {
    machine.DeleteFile(written);
    if (!earlier.empty()) machine.MoveFile(earlier, logPath);
    return false;
  }
  if (earlierAside != nullptr) *earlierAside = earlier;
  else if (!earlier.empty()) RemoveFileNowOrAtRestart(earlier);
  return true;
}

}  // namespace velmora

// The machine the system acts on.  Everything above the platform layer reaches
// files, directories, the registry, profile files, version resources,
// component registration, started programs and the shell's DDE server
// through this interface, so the same code runs on real Windows
// (backends/win32/) and on a simulated machine in a host folder (backends/sim/).
//
// Conventions shared by every file operation:
//  - Paths are Windows paths in the ANSI code page: "C:\DIR\FILE.TXT",
//    drive-relative "C:FILE", rooted "\DIR", or relative to the current
//    directory.  Either slash separates.  Names match case-insensitively.
//  - Every fallible operation answers a FileCause (none on success) with the
//    same numbering the framework's file exception uses, mapped from the
//    operating system's error.  Nothing here throws.
//  - One operation opens, uses and releases what it needs; only file handles
//    live between calls.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_cause.h"

namespace velmora {

using FileHandle = std::uint32_t;
inline constexpr FileHandle kNoFile = 0;

enum class FileAccess { read, write, readWrite };
// Sharing granted to other opens of the same file while this one is open.
enum class FileShare { denyNone, denyWrite, denyRead, exclusive };
enum class FileDisposition {
  openExisting,  // fail with fileNotFound when missing
  createAlways,  // create, or truncate an existing file
  openAlways,    // open, or create when missing (no truncation)
};
enum class SeekOrigin { begin = 0, current = 1, end = 2 };

// Windows file attribute bits (FILE_ATTRIBUTE_*).
namespace attr {
inline constexpr std::uint32_t readOnly = 0x01;
inline constexpr std::uint32_t hidden = 0x02;
inline constexpr std::uint32_t system = 0x04;
inline constexpr std::uint32_t directory = 0x10;
inline constexpr std::uint32_t archive = 0x20;
inline constexpr std::uint32_t normal = 0x80;
// A link to another place (a junction, a symbolic link): GetFileAttributes
// reports it, SetFileAttributes cannot set or clear it.
inline constexpr std::uint32_t reparsePoint = 0x400;
}  // namespace attr

// GetDriveType results.
enum class DriveType : std::uint32_t {
  unknown = 0,
  noRootDir = 1,
  removable = 2,
  fixed = 3,
  remote = 4,
  cdrom = 5,
  ramdisk = 6
};

struct DirEntry {
  std::string name;          // as stored, case kept
  std::uint32_t attributes;  // attr:: bits
  std::uint64_t size;
};

// ---- registry types ---------------------------------------------------------
// The registry operations speak the registry's own language: the predefined
// root keys by their HKEY numbers, value types by their REG_* numbers, and
// results as Win32 error codes (a long, 0 on success).

// Predefined root keys (HKEY_CLASSES_ROOT ... HKEY_DYN_DATA).
namespace hkey {
using Root = std::uint32_t;
inline constexpr Root classesRoot = 0x80000000;
inline constexpr Root currentUser = 0x80000001;
inline constexpr Root localMachine = 0x80000002;
inline constexpr Root users = 0x80000003;
inline constexpr Root performanceData = 0x80000004;
inline constexpr Root currentConfig = 0x80000005;
inline constexpr Root dynData = 0x80000006;
}  // namespace hkey

// Value types (REG_*).  Any other number is stored and answered unchanged.
namespace regtype {
inline constexpr std::uint32_t none = 0;
inline constexpr std::uint32_t sz = 1;
inline constexpr std::uint32_t expandSz = 2;
inline constexpr std::uint32_t binary = 3;
inline constexpr std::uint32_t dword = 4;  // little-endian
inline constexpr std::uint32_t dwordBigEndian = 5;
inline constexpr std::uint32_t multiSz = 7;
}  // namespace regtype

// The Win32 error codes the registry operations answer most often.  Others
// pass through from the operating system unchanged.
namespace winerror {
inline constexpr long success = 0;
inline constexpr long fileNotFound = 2;       // no such key or value
inline constexpr long accessDenied = 5;       // e.g. deleting a key that has subkeys
inline constexpr long invalidHandle = 6;      // not a root key, or a root that has no keys
inline constexpr long invalidParameter = 87;  // a key or value name too long
inline constexpr long badPathname = 161;      // a subkey path starting with a backslash
inline constexpr long moreData = 234;         // value larger than the room given
inline constexpr long registryIoFailed = 1016;
}  // namespace winerror

// A value read from a key.
struct RegData {
  std::uint32_t type = regtype::none;
  std::uint32_t size = 0;           // bytes the value holds
  std::vector<std::uint8_t> bytes;  // the value's bytes; empty unless they fit
};

// One value of a listed key.
struct RegValue {
  std::string name;  // as stored, case kept; empty for the default value
  std::uint32_t type = regtype::none;
  std::vector<std::uint8_t> bytes;
};

// File times for GetFileTimes/SetFileTimes: seconds since 1970-01-01 UTC.
struct FileTimes {
  std::int64_t creation = 0;
  std::int64_t lastAccess = 0;
  std::int64_t lastWrite = 0;
};

// FindFileLocation flags (VFFF_*).
namespace verfind {
inline constexpr std::uint32_t sharedFile = 0x01;  // VFFF_ISSHAREDFILE
}  // namespace verfind

// How an in-process registration call went.
enum class RegistrationCall {
  called,          // the entry point ran; see its HRESULT
  oleUnavailable,  // OleInitialize failed
  loadFailed,      // the file could not be loaded as a library
  noEntryPoint,    // the library does not export the entry point
};

// ---- DDE ----------------------------------------------------------------------
// The DDEML error codes (DdeGetLastError) a client tells apart.
namespace ddeerror {
inline constexpr std::uint32_t none = 0;
inline constexpr std::uint32_t busy = 0x4001;              // DMLERR_BUSY
inline constexpr std::uint32_t execAckTimeout = 0x4005;    // DMLERR_EXECACKTIMEOUT
inline constexpr std::uint32_t invalidParameter = 0x4006;  // DMLERR_INVALIDPARAMETER
inline constexpr std::uint32_t notProcessed = 0x4009;      // DMLERR_NOTPROCESSED
inline constexpr std::uint32_t noConversation = 0x400A;    // DMLERR_NO_CONV_ESTABLISHED
inline constexpr std::uint32_t reentrancy = 0x400D;        // DMLERR_REENTRANCY
}  // namespace ddeerror

// One DDE client conversation with a server: its DDEML instance, the
// service and topic string handle and the conversation itself, all
// released when the object goes.
class DdeConversation {
 public:
  virtual ~DdeConversation() = default;
  // An XTYP_EXECUTE transaction with these bytes as data (no item name,
  // format 0); true when the server accepted it.
  virtual bool Execute(const std::string& data, std::uint32_t timeoutMs) = 0;
  // An XTYP_REQUEST transaction for the item in CF_TEXT: the bytes of the
  // data that came back (as DdeAccessData gives them, any terminating zero
  // included); nullopt when no data handle came back or it could not be
  // accessed.
  virtual std::optional<std::string> Request(const std::string& item, std::uint32_t timeoutMs) = 0;
  // DdeGetLastError: why the last transaction failed.
  virtual std::uint32_t LastError() = 0;
  // Sleep between two attempts of a transaction.
  virtual void Wait(std::uint32_t milliseconds) = 0;
};

class Machine {
 public:
  virtual ~Machine() = default;

  // Short name of the backend for messages and test names ("sim", "win32").
  virtual std::string Name() const = 0;

  // ---- open files ---------------------------------------------------------
  virtual FileCause OpenFile(const std::string& path, FileAccess access, FileShare share,
                             FileDisposition disposition, FileHandle& handle) = 0;
  // Reads up to count bytes; got < count only at the end of the file.
  virtual FileCause ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                             std::uint32_t& got) = 0;
  virtual FileCause WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) = 0;
  // A resulting position below 0 is badSeek; past the end is allowed.
  virtual FileCause SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                             std::uint64_t& position) = 0;
  virtual FileCause GetFileSize(FileHandle handle, std::uint64_t& size) = 0;
  virtual FileCause FlushFile(FileHandle handle) = 0;
  virtual FileCause CloseFile(FileHandle handle) = 0;

  // ---- files and directories by name ---------------------------------------
  virtual FileCause DeleteFile(const std::string& path) = 0;
  // Fails with accessDenied when the target exists.
  virtual FileCause MoveFile(const std::string& from, const std::string& to) = 0;
  virtual FileCause CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
  virtual FileCause CreateDirectory(const std::string& path) = 0;
  virtual FileCause RemoveDirectory(const std::string& path) = 0;
  virtual FileCause GetFileAttributes(const std::string& path, std::uint32_t& attributes) = 0;
  virtual FileCause SetFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Entries of a directory, without "." and "..", in no particular order.
  virtual FileCause ListDirectory(const std::string& path, std::vector<DirEntry>& entries) = 0;
  // GetTempFileName with unique number 0: creates an empty file named
  // dir\PPPxxxx.tmp (first three characters of prefix, hex number) and
  // answers its full path.
  virtual FileCause CreateTempFile(const std::string& directory, const std::string& prefix,
                                   std::string& path) = 0;
  // CreateTempFile, with the new file left open for writing without sharing
  // (as OpenFile with write, exclusive and openExisting opens it).  path is
  // set as soon as the file exists, so a caller can delete a file whose
  // opening failed.  The default does exactly those two calls; a machine
  // may create the file already open, one system call instead of three.
  virtual FileCause CreateTempFileForWriting(const std::string& directory,
                                             const std::string& prefix, std::string& path,
                                             FileHandle& handle);

  // ---- locations -------------------------------------------------------------
  virtual std::string GetCurrentDirectory() = 0;  // full path, e.g. "C:\SETUP"
  virtual FileCause SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string GetWindowsDirectory() = 0;  // e.g. "C:\WINDOWS"
  virtual std::string GetSystemDirectory() = 0;   // e.g. "C:\WINDOWS\SYSTEM"
  // Full path of a (possibly relative) name against the current directory,
  // with "." and ".." folded; empty when the name is not a valid path.
  virtual std::string GetFullPathName(const std::string& path) = 0;
  // Root such as "C:\"; noRootDir for a drive that is not there.
  virtual DriveType GetDriveType(const std::string& root) = 0;
  // Bit n set for each present drive (bit 0 = A:).
  virtual std::uint32_t GetLogicalDrives() = 0;

  // ---- registry ----------------------------------------------------------------
  // Each operation opens the key it names below a root key, does one thing
  // and closes it again; no key stays open between calls.
  //  - subKey is a path of key names joined by backslashes, "" for the root
  //    key itself.  A path that starts with a backslash is badPathname
  //    (reads below HKEY_CLASSES_ROOT skip one first); doubled and trailing
  //    backslashes are ignored.
  //  - Key and value names match case-insensitively and keep the case they
  //    were created with.  The value name "" is the key's default value.
  //  - A root key that is not one of the seven is invalidHandle.
  //    HKEY_PERFORMANCE_DATA answers reads of its root with counter data and
  //    invalidHandle for everything else.

  // Reads one value when it fits into available bytes: success fills type,
  // size and bytes; moreData fills type and size only.  A missing key or
  // value is fileNotFound.
  virtual long QueryRegValue(hkey::Root root, const std::string& subKey,
                             const std::string& valueName, std::uint32_t available,
                             RegData& data) = 0;
  // Sets a value of any type to size bytes, creating the key and any
  // missing keys above it.  Non-empty bytes of a string type (sz,
  // expandSz, multiSz) that do not end in a zero get one added, as
  // RegSetValueExA adds it; empty bytes stay empty.
  virtual long SetRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                           std::uint32_t type, const void* bytes, std::uint32_t size) = 0;
  // Deletes one key with its values.  Not recursive: a key that has subkeys
  // is accessDenied, and so is a root key (subKey "").
  virtual long DeleteRegKey(hkey::Root root, const std::string& subKey) = 0;
  // Deletes one value (RegDeleteValueA on the key opened for setting
  // values); the key stays, even when it is left empty.  A missing key or
  // value is fileNotFound.  The default answers accessDenied: a machine
  // that does not override it cannot delete values.
  virtual long DeleteRegValue(hkey::Root root, const std::string& subKey,
                              const std::string& valueName);
  // Names of a key's subkeys and its values with their data, in no
  // particular order.
  virtual long ListRegKey(hkey::Root root, const std::string& subKey,
                          std::vector<std::string>& subKeys, std::vector<RegValue>& values) = 0;

  // ---- profile files -------------------------------------------------------------
  // The profile (.ini) functions GetPrivateProfileString and
  // WritePrivateProfileString, one entry at a time.  Each call reads the
  // file afresh, and a change is in the file when the call returns.
  //  - file: a name without any separator or drive ("APP.INI") is that file
  //    in the Windows directory; anything else ("C:APP.INI", "SUB\APP.INI",
  //    "C:\DIR\APP.INI") is a path taken as the file operations take it.
  //  - Section and key names match case-insensitively (ASCII), ignoring the
  //    blanks around them; a new section or key keeps the case it is first
  //    written with.  Section "" holds the lines before the first header.
  //  - The file holds "[section]" and "key=value" lines ending in CR LF.  A
  //    change rewrites the whole file: blank lines and the blanks around
  //    names and values go, comments and other lines stay, a new key goes at
  //    the end of its section and a new section at the end of the file.
  //  - WritePrivateProfileString's NULL value and NULL key are the separate
  //    operations DeleteProfileKey and DeleteProfileSection.

  // GetPrivateProfileString(section, key, defaultValue, buffer of size
  // bytes, file): the key's value, or defaultValue (less trailing spaces)
  // when the file, the section, the key or its '=' is missing.  Quotes
  // around the text ("x" or 'x') are stripped.  The answer holds at most
  // size - 1 characters, as the buffer would, and its length is the
  // function's result.  A file that is there but cannot be opened (open
  // elsewhere without sharing, a missing directory) gives the default as
  // it stands, quotes included.
  virtual std::string QueryProfileString(const std::string& file, const std::string& section,
                                         const std::string& key, const std::string& defaultValue,
                                         std::uint32_t size) = 0;
  // WritePrivateProfileString(section, key, value, file): sets the key to
  // value less its leading blanks (trailing ones are written, and dropped
  // whenever the file is read).  Creates the file when missing but not its
  // directory (badPath); a read-only file is accessDenied, one open
  // elsewhere without write sharing sharingViolation.
  virtual FileCause SetProfileString(const std::string& file, const std::string& section,
                                     const std::string& key, const std::string& value) = 0;
  // WritePrivateProfileString(section, key, NULL, file): removes the first
  // line named key from the sections named section, names compared as given
  // (blanks included).  Nothing to remove is success and writes nothing: a
  // missing file stays missing.
  virtual FileCause DeleteProfileKey(const std::string& file, const std::string& section,
                                     const std::string& key) = 0;
  // WritePrivateProfileString(section, NULL, NULL, file): removes the first
  // section named section with all its lines, as DeleteProfileKey does.
  virtual FileCause DeleteProfileSection(const std::string& file, const std::string& section) = 0;

  // ---- installing files ------------------------------------------------------------
  // What the file step needs beyond plain files: file times, the version
  // resource, the system's recommended location, and component
  // registration.  Each has a default that answers failure, so a machine
  // that cannot do it still builds; the sim and Win32 machines override all.

  // Times of a file (GetFileTime/SetFileTime): seconds since 1970-01-01 UTC.
  // On SetFileTimes a field of 0 leaves that time unchanged.
  virtual FileCause GetFileTimes(const std::string& path, FileTimes& times);
  virtual FileCause SetFileTimes(const std::string& path, const FileTimes& times);
  // SetFileTimes on a file open for writing (SetFileTime on its handle):
  // saves opening the file by name again.  The times stay when the file is
  // closed and when it is moved or renamed afterwards.
  virtual FileCause SetOpenFileTimes(FileHandle handle, const FileTimes& times);
  // The file version of the fixed version information (VS_FIXEDFILEINFO):
  // dwFileVersionMS in the high 32 bits, dwFileVersionLS in the low ones.
  // False when the file has no version resource or cannot be read.
  virtual bool GetFileVersion(const std::string& path, std::uint64_t& version);
  // VerFindFile(flags, name, windowsDir, appDir): where a copy of the file
  // already is (currentDir, "" when none) and where it should go
  // (destDir).  flags: verfind::sharedFile or 0.
  virtual void FindFileLocation(std::uint32_t flags, const std::string& name,
                                const std::string& windowsDir, const std::string& appDir,
                                std::string& currentDir, std::string& destDir);
  // Loads a component in-process (OleInitialize, LoadLibraryEx looking for
  // its dependencies in its own folder and the system directory only, never
  // the current directory) and calls its entry point ("DllRegisterServer",
  // "DllUnregisterServer"), which answers an HRESULT into result.
  virtual RegistrationCall CallRegistrationEntry(const std::string& path,
                                                 const std::string& entryPoint, long& result);
  // Runs the program at programPath, a full path (never looked for by
  // name), with these arguments (its command line is the quoted path, a
  // blank and the arguments), without a window, and waits for it to end.
  // It starts in its own folder, never in the current directory (the media
  // folder, which may hold libraries planted for it to load).  False when
  // it could not be started; exitCode is then 0xFFFFFFFF.
  virtual bool RunProgram(const std::string& programPath, const std::string& arguments,
                          std::uint32_t& exitCode);

  // ---- permissions ------------------------------------------------------------
  // The folder of installed programs ("C:\Program Files"), "" when the
  // machine has none.  It and the Windows directory only let administrators
  // write, and so do the folders made below them.
  virtual std::string GetProgramFilesDirectory();
  // CreateDirectory with permissions of its own instead of those of the
  // folder above: administrators and SYSTEM full control, users read and
  // execute, which whatever is made in it inherits.  The default creates
  // it as CreateDirectory does.
  virtual FileCause CreateProtectedDirectory(const std::string& path);
  // True when a user without administrator rights may add, rename or delete
  // entries of the directory (its permissions give that to Everyone, Users,
  // Authenticated Users or INTERACTIVE), or when that cannot be told.  The
  // default answers true.
  virtual bool UsersCanWriteDirectory(const std::string& path);

  // MoveFileEx(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): the file is
  // deleted when the system next starts, for a file that cannot be deleted
  // while it is in use (a running program, a loaded library).  path must be
  // a full path.  The system keeps the request in the registry, in the
  // "PendingFileRenameOperations" value of kPendingRenamesKey.
  virtual FileCause DeleteFileAtRestart(const std::string& path);

  // ---- DDE ------------------------------------------------------------------------
  // DdeInitializeA as a client only (APPCMD_CLIENTONLY, with
  // CBF_SKIP_ALLNOTIFICATIONS when skipNotifications), a string handle for
  // the name, and DdeConnect with it as both service and topic.  Null when
  // any of these fails: no server answers the name.  The default machine
  // has no DDE server at all.
  virtual std::unique_ptr<DdeConversation> ConnectDde(const std::string& serviceAndTopic,
                                                      bool skipNotifications);
};

// HKEY_LOCAL_MACHINE key whose "PendingFileRenameOperations" value lists the
// moves and deletions waiting for the next start of the system.
inline constexpr const char* kPendingRenamesKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr const char* kPendingRenamesValue = "PendingFileRenameOperations";

// The machine every operation above the platform layer acts on.  A program
// installs one before anything uses it: SETUP.EXE the native machine
// (backends/win32/native.h), the headless tools and the tests their own with
// ScopedMachine.  Without one, CurrentMachine throws std::logic_error.
Machine& CurrentMachine();
void SetCurrentMachine(Machine* machine);

class ScopedMachine {
 public:
  explicit ScopedMachine(Machine& machine);
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

 private:
  Machine* previous_;
};

}  // namespace velmora

#include "authoring/file_payload.h"

#include <fstream>

namespace velmora {

FilePayload::FilePayload(std::filesystem::path path, std::uint64_t size)
    : path_(std::move(path)), size_(size) {
  std::error_code error;
  modified_ = std::filesystem::last_write_time(path_, error);
  if (error) modified_ = std::filesystem::file_time_type::min();
}

void FilePayload::Read(std::uint64_t offset, std::uint32_t length, std::uint8_t* buffer) const {
  std::ifstream in(path_, std::ios::binary);
  if (!in) throw PayloadReadError(Name() + ": the file cannot be opened any more");
  in.seekg(0, std::ios::end);
  const std::streamoff now = in.tellg();
  if (now < 0) throw PayloadReadError(Name() + ": the file's size cannot be read");
  if (static_cast<std::uint64_t>(now) != size_)
    throw PayloadReadError(Name() + ": the file changed size while the package was made (" +
                           std::to_string(size_) + " bytes, now " + std::to_string(now) + ")");
  if (offset > size_ || length > size_ - offset)
    throw PayloadReadError(Name() + ": reading past the end of the file");
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(buffer), length);
  if (static_cast<std::uint64_t>(in.gcount()) != length)
    throw PayloadReadError(Name() + ": the file cannot be read");
  // Checked after reading, so that what was read is older than the check.
  std::error_code error;
  if (std::filesystem::last_write_time(path_, error) != modified_ || error)
    throw PayloadReadError(Name() + ": the file changed while the package was made");
}

}  // namespace velmora

#include "authoring/package_description_writer.h"

#include "datafile/media_set.h"
#include "framework/file.h"

namespace velmora {
namespace {

void Describe(const std::string& folder, const WrittenPart& part, PackageDescription& description) {
  for (const std::string& name : part.files) {
    CFile file;
    CFileException error;
    if (!file.Open(PathInFolder(folder, name), CFile::modeRead | CFile::shareDenyWrite, &error))
      throw error;
    MediaDigest digest = DigestOf(file);
    file.Close();
    digest.name = name;
    description.files.push_back(std::move(digest));
  }
}

}  // namespace

void WritePackageDescription(const std::string& folder, const WriteResult& written,
                             const ProductDetails& product) {
  PackageDescription description;
  description.product = product;
  Describe(folder, written.first, description);
  if (written.second) Describe(folder, *written.second, description);
  const std::string text = FormatDescription(description);
  CFile file;
  CFileException error;
  if (!file.Open(PathInFolder(folder, kDescriptionFileName),
                 CFile::modeWrite | CFile::modeCreate | CFile::shareExclusive, &error))
    throw error;
  file.Write(text.data(), static_cast<std::uint32_t>(text.size()));
  file.Close();
}

}  // namespace velmora

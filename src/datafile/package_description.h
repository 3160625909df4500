// The package description: a small text file beside the media files
// ("velmor.sum") that gives the size and CRC-32 of every media file of both
// parts, and optional product details.  The data format has no check of its
// own; with this file a damaged media file is refused before any byte of it
// is used.  The format (docs/package-description.md):
//
//   velmora package description 1
//   media velmor.1 6165 0c1f7a3e          one line per media file, in order:
//   media velmore.1 1204 9a00b1c2         name, size, CRC-32 (8 hex digits)
//   version 2.1                           optional, in this order, each once
//   publisher Lantern Software
//   url https://lantern.example/notes
//   crc 5b1d03aa                          CRC-32 of every byte before this line
//
// Lines end with one LF; nothing follows the last one.  Reading is strict:
// anything else refuses the whole file with the line and the reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class CFile;

inline constexpr const char* kDescriptionFileName = "velmor.sum";
inline constexpr int kDescriptionVersion = 1;
// Larger files are refused unread: a package of the largest number of media
// files still fits many times over.
inline constexpr std::uint32_t kLargestDescription = 65536;
// The longest product detail, in bytes.
inline constexpr std::size_t kLongestProductDetail = 259;

struct MediaDigest {
  std::string name;  // "velmor.2"
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
};

// Texts in the Windows ANSI code page; empty when not given.
struct ProductDetails {
  std::string version;
  std::string publisher;
  std::string url;
};

struct PackageDescription {
  std::vector<MediaDigest> files;
  ProductDetails product;

  // The entry of a media file, its name compared without regard to case;
  // null when the description does not list it.
  const MediaDigest* Find(std::string_view name) const;
};

// What is wrong with a product detail ("" when nothing is): a control
// character, or more than kLongestProductDetail bytes.
std::string ProductDetailProblem(std::string_view text);

// The file's text.  The caller gives valid names and details.
std::string FormatDescription(const PackageDescription& description);

// Reads a description's text; "" when it is valid, else the reason
// ("line 3: the size '12x' is not a number").
std::string ParseDescription(std::string_view text, PackageDescription& description);

enum class DescriptionState {
  absent,   // no description file: nothing to check against
  read,     // read and valid
  refused,  // present but damaged, cut short or unreadable
};

struct DescriptionLoad {
  DescriptionState state = DescriptionState::absent;
  PackageDescription description;
  std::string reason;  // for `refused`: why
};

// Reads and checks an open description file from its start.  Throws
// CFileException when reading fails.
DescriptionLoad ReadDescription(CFile& file);

// The size and CRC-32 of an open file, read from its start to its end in
// large blocks (the file is left at its end).  Throws CFileException.
MediaDigest DigestOf(CFile& file);

}  // namespace velmora

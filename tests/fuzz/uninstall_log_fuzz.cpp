// The uninstall log reader on any bytes, as `velmora log` reads a log: a
// log read whole is listed as text and as JSON; a damaged one is described.
#include <cstdlib>
#include <sstream>

#include "authoring/uninstall_log_listing.h"
#include "authoring/uninstall_log_reader.h"
#include "framework/file.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Sandbox sandbox;
  CFile file;
  sandbox.OpenInput(file, "C:\\SETUP.VMU", data, size);
  UninstallLogListing listing;
  UninstallLogError failure;
  std::ostringstream out;
  if (ReadUninstallLog(file, listing, failure)) {
    if (listing.entries.size() != listing.count) std::abort();
    WriteLogListingText(out, listing);
    WriteLogListingJson(out, listing);
  } else {
    if (failure.offset > size) std::abort();
    out << DescribeLogError(failure) << AsReadError(failure, "SETUP.VMU").what();
  }
  return 0;
}

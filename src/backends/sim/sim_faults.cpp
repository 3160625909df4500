#include "backends/sim/sim_faults.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace velmora::sim {

bool FaultPlan::IsKnownOperation(const std::string& operation) {
  static constexpr std::array<const char*, 18> kOperations = {"OpenFile",
                                                              "ReadFile",
                                                              "WriteFile",
                                                              "SeekFile",
                                                              "GetFileSize",
                                                              "FlushFile",
                                                              "CloseFile",
                                                              "DeleteFile",
                                                              "MoveFile",
                                                              "CopyFile",
                                                              "CreateDirectory",
                                                              "RemoveDirectory",
                                                              "GetFileAttributes",
                                                              "SetFileAttributes",
                                                              "ListDirectory",
                                                              "CreateTempFile",
                                                              "SetCurrentDirectory",
                                                              "DeleteFileAtRestart"};
  return std::find(kOperations.begin(), kOperations.end(), operation) != kOperations.end();
}

void FaultPlan::Add(const std::string& operation, int nth, FileCause cause) {
  if (!IsKnownOperation(operation))
    throw std::invalid_argument("no machine operation named '" + operation + "'");
  if (nth < 1) throw std::invalid_argument("fault call number must be 1 or more");
  if (cause == FileCause::none) throw std::invalid_argument("a fault needs a cause");
  faults_.push_back({operation, nth, cause});
}

FileCause FaultPlan::Next(const std::string& operation) {
  ++calls_[operation];
  FileCause due = FileCause::none;
  for (Fault& fault : faults_) {
    if (fault.operation != operation) continue;
    if (--fault.remaining == 0 && due == FileCause::none) due = fault.cause;
  }
  std::erase_if(faults_, [](const Fault& fault) { return fault.remaining <= 0; });
  return due;
}

}  // namespace velmora::sim

// The texts of the status codes, as stored with the original data routines.
#include "data/status.h"

namespace barvane {

std::string StatusText(Status status) {
  static const char* const kTexts[] = {
      "Sucessfull",        "Invalid Parm",      "File Open",           "Malloc",
      "File Read",         "File Write",        "File Seek",           "File Exists",
      "File Not Found",    "Record Not Found",  "No Graphics Found",   "No Fonts Found",
      "Charts Uninitialized", "Max Lines Exceeded", "Max Grids Exceeded", "Unknown"};
  if (status > 0 || status < -15) return {};
  return kTexts[-status];
}

}  // namespace barvane

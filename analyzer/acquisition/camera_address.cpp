#include "acquisition/camera_address.h"

namespace solvane {

bool isValidCameraIp(std::string_view text) {
  if (text.size() < 7 || text.size() > 15) return false;
  int dots = 0;
  int digits = 0;
  for (char c : text) {
    if (c == '.') {
      if (digits == 0) return false;
      ++dots;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      if (++digits > 3) return false;
    } else {
      return false;
    }
  }
  return dots == 3 && digits > 0;
}

}  // namespace solvane

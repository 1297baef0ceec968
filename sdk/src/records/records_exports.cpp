// Exports of the records area: GetError and the unit conversions.
#include <irdex.h>

#include "records/units.h"

extern "C" {

// Both programs show their own texts, so GetError hands out none: it only checks the
// pointer, and never reads the code.
IRDEX_API SdkStatus GetError(int32_t /*code*/, char* text) {
  return text ? SDK_SUCCESS : SDK_ERR_BUFFER;
}

IRDEX_API float ConvertFahToCels(float f) { return irdex::units::fahrenheitToCelsius(f); }
IRDEX_API float ConvertCelsToFah(float c) { return irdex::units::celsiusToFahrenheit(c); }
IRDEX_API float ConvertKelvToCels(float k) { return irdex::units::kelvinToCelsius(k); }
IRDEX_API float ConvertCelToKel(float c) { return irdex::units::celsiusToKelvin(c); }
IRDEX_API float ConvertKelvToFah(float k) { return irdex::units::kelvinToFahrenheit(k); }
IRDEX_API float ConvertFahToKel(float f) { return irdex::units::fahrenheitToKelvin(f); }

}  // extern "C"

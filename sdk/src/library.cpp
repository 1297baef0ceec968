// libirdex.so is the areas' static libraries linked whole; this unit only gives the shared
// library a source of its own. Library-wide state (the KS tables and calibration slots) is
// set up by its owners' static initialisers when the library is loaded.
#include <irdex.h>

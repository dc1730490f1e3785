// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"
#include "model/SideFiles.h"

bool CheckBgFile(const char*) { abort(); }
bool CheckPWMFile(const char*, int) { abort(); }

// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::ReadInputPWM(double**) { abort(); }

// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::SampleParameters(double*, double*, double**) { abort(); }
void CGibbsDP::UpdateParameters(double*, double*, double**) { abort(); }
void CGibbsDP::UpdateModuleLength(int) { abort(); }

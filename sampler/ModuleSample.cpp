// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::ApproxSampleCurSeq(int, double, double*, double**, double*, int*) { abort(); }
double CGibbsDP::CalModuleLogPr(int, int, double*, double*, double*) { abort(); }
void CGibbsDP::SampleModule(double*, double*, double, int, int, int*, double*) { abort(); }
void CGibbsDP::ExcludeCurSeq(int) { abort(); }

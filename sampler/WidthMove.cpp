// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::UpdateWidth(int) { abort(); }
void CGibbsDP::PhaseShift(int) { abort(); }
void CGibbsDP::CheckBoundary(SITEINFO**, bool*) { abort(); }
double CGibbsDP::CalLogPCondPW(int, int, int, int*, double) { abort(); }
bool CGibbsDP::MH(double, double, double) { abort(); }

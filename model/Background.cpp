// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::BuildBackground() { abort(); }
void CGibbsDP::CalLogBgPrPos(double**, int*) { abort(); }
double CGibbsDP::CalLogBgPr(CString) { abort(); }
double CGibbsDP::CalLogBgPr(const char*, int) { abort(); }

// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::CalLogPrPos(double**, int*, double**) { abort(); }
double CGibbsDP::CalLogMotifPr(CString, double*) { abort(); }
int CGibbsDP::CalWeightMat(SITEINFO**, int*, int) { abort(); }

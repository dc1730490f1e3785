// PLACEHOLDER: not built yet; replaced by the real implementation.
#include <cstdlib>
#include "model/GibbsDP.h"

void CGibbsDP::RandPickSite() { abort(); }
double CGibbsDP::CalLogPostPrSample() { abort(); }
double CGibbsDP::CalBayesianScore(int, int*, int**, int*, double) { abort(); }

// The F distribution's cumulative distribution and quantile, from the regularized incomplete
// beta function I_x(a, b) evaluated by its continued fraction (modified Lentz method; Press
// et al., Numerical Recipes in C, 2nd ed., section 6.4). The quantile inverts I_x by
// bisection on x in [0, 1], which cannot diverge and costs well under a millisecond.
#pragma once

// I_x(a, b) for a, b > 0 and 0 <= x <= 1; NaN outside that domain.
double regularized_incomplete_beta(double a, double b, double x);

// P(F <= f) for F with d1 and d2 degrees of freedom (d1, d2 > 0); 0 for f <= 0.
double f_distribution_cdf(double f, double d1, double d2);

// The f with P(F <= f) = p, for 0 <= p < 1 and d1, d2 > 0 (0 for p = 0); NaN outside.
double f_distribution_quantile(double p, double d1, double d2);

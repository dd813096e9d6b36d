// Sampling of the fit curve and the simulated curves from their stored parameter records,
// run after a document has been read from a file (the file stores records, not curves),
// and the plot-list entries for the loaded simulations.
#pragma once

class ParamSet;
class Titration;
class Vec;

// The record's parameters as a 1-based vector of as many slots as its model evaluates, taken
// from the model table and never from the record's own count: slots the record does not hold
// read 0. False (a left unchanged) for a record whose model number is invalid. Every
// evaluation of a stored fit or simulation goes through this.
bool record_parameters(const ParamSet& rec, Vec& a);

// rowsUsed: grid rows up to the last non-empty one, at least 1. model: m_fit.m_nModel.
void BuildFitCurve(Titration& doc, int rowsUsed, int model);
// Samples slots 1..count and adds one "Plot %i" list entry per simulation.
void BuildSimCurves(Titration& doc, int rowsUsed, int count);

// Dilution factor V1 / Vi of a sampled curve point. A series without volumes (V1 or Vi zero)
// has no dilution: 1, so its curve does not become 0/0.
double curve_dilution_factor(double V1, double Vi);

// The 64 x 64 picture the Fit and Simulate dialogs show beside the model's name: a
// schematic protein with its Ca sites (1, 2, 4 or 6), the chelators that compete for Ca
// (none, one or two) and, for the electrode models, the Ca electrode dipping into the
// solution. Drawn in code, so there is no image file to lose.
#pragma once

#include <wx/bitmap.h>

inline constexpr int kModelPictureSize = 64;

struct ModelPictureParts {
  int sites = 0;      // Ca sites on the protein
  int chelators = 0;  // 0, 1 or 2
  bool electrode = false;
};

// What the picture of model 1..10 shows; all zero for an invalid number.
ModelPictureParts model_picture_parts(int model);
// The picture of model 1..10 (an empty white square for an invalid number).
wxBitmap ModelPicture(int model);

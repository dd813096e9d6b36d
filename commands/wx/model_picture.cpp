#include "commands/wx/model_picture.h"

#include <cmath>
#include <memory>

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include "fitting/models.h"

ModelPictureParts model_picture_parts(int model) {
  ModelPictureParts parts;
  if (!is_valid_model(model)) return parts;
  const ModelInfo& info = model_info(model);
  parts.sites = info.sites;
  parts.electrode = info.electrode;
  parts.chelators = info.chelators;
  return parts;
}

namespace {

const wxColour kProteinFill(150, 190, 230);
const wxColour kProteinEdge(40, 80, 140);
const wxColour kCalcium(250, 200, 40);
const wxColour kChelatorColours[2] = {wxColour(60, 170, 80), wxColour(170, 80, 170)};

void draw_protein(wxGraphicsContext& gc, int sites, double cx, double cy) {
  gc.SetPen(wxPen(kProteinEdge, 2));
  gc.SetBrush(wxBrush(kProteinFill));
  const double rx = 17, ry = 14;
  gc.DrawEllipse(cx - rx, cy - ry, 2 * rx, 2 * ry);
  // Sites sit evenly on the rim, starting at the top; each holds a Ca ion.
  gc.SetPen(wxPen(kProteinEdge, 1));
  gc.SetBrush(wxBrush(kCalcium));
  for (int k = 0; k < sites; ++k) {
    const double angle = -M_PI / 2 + 2 * M_PI * k / sites;
    const double sx = cx + rx * std::cos(angle), sy = cy + ry * std::sin(angle);
    gc.DrawEllipse(sx - 3.5, sy - 3.5, 7, 7);
  }
}

void draw_chelator(wxGraphicsContext& gc, int index, double cx, double cy) {
  // A ring of six atoms: the indicator's chelating cage, with one Ca in it.
  gc.SetPen(wxPen(kChelatorColours[index], 2));
  gc.SetBrush(*wxTRANSPARENT_BRUSH);
  wxGraphicsPath ring = gc.CreatePath();
  for (int k = 0; k <= 6; ++k) {
    const double a = M_PI / 3 * k;
    const double x = cx + 6 * std::cos(a), y = cy + 6 * std::sin(a);
    if (k == 0)
      ring.MoveToPoint(x, y);
    else
      ring.AddLineToPoint(x, y);
  }
  gc.StrokePath(ring);
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(kCalcium));
  gc.DrawEllipse(cx - 2.5, cy - 2.5, 5, 5);
}

void draw_electrode(wxGraphicsContext& gc) {
  // The electrode's glass body from the top edge and its sensing membrane at the tip.
  gc.SetPen(wxPen(wxColour(90, 90, 90), 1));
  gc.SetBrush(wxBrush(wxColour(210, 210, 210)));
  gc.DrawRectangle(48, 0, 9, 36);
  gc.SetBrush(wxBrush(wxColour(40, 40, 40)));
  gc.DrawEllipse(47.5, 33, 10, 8);
  gc.SetPen(wxPen(wxColour(90, 90, 90), 1));
  gc.StrokeLine(52.5, 0, 52.5, 33);
}

void draw_free_calcium(wxGraphicsContext& gc) {
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(kCalcium));
  const double spots[][2] = {{8, 54}, {18, 58}, {36, 56}, {6, 8}, {40, 8}};
  for (const auto& s : spots) gc.DrawEllipse(s[0] - 2, s[1] - 2, 4, 4);
}

}  // namespace

wxBitmap ModelPicture(int model) {
  wxBitmap bitmap(kModelPictureSize, kModelPictureSize, 24);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
  const ModelPictureParts parts = model_picture_parts(model);
  if (gc && parts.sites > 0) {
    // A beaker outline: everything happens in solution.
    gc->SetPen(wxPen(wxColour(160, 160, 160), 1));
    gc->StrokeLine(1.5, 14, 1.5, 62.5);
    gc->StrokeLine(1.5, 62.5, 62.5, 62.5);
    gc->StrokeLine(62.5, 62.5, 62.5, 14);
    draw_free_calcium(*gc);
    const double proteinX = parts.electrode ? 24 : 22, proteinY = 30;
    draw_protein(*gc, parts.sites, proteinX, proteinY);
    for (int c = 0; c < parts.chelators; ++c) draw_chelator(*gc, c, 50, 24 + 20 * c);
    if (parts.electrode) draw_electrode(*gc);
  }
  gc.reset();
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

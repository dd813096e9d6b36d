#include "graphview/graph_geometry.h"

namespace {

int Trunc(int w, double k) { return static_cast<int>(w * k); }

GraphGeometry Column1024() {
  GraphGeometry g;
  g.m_nPlotLeft = 64;
  g.m_nPlotTop = 40;
  g.m_nPlotRight = 640;
  g.m_nPlotBottom = 410;
  g.m_nXCaptionBottom = 480;
  g.m_nYLabelHalfHeight = 10;
  g.m_nYLabelIndent = 40;
  g.m_nXLabelBottom = 35;
  g.m_nXLabelHalfWidth = 30;
  g.m_nMarkSize = 4;
  g.m_rcAxisButton = {630, 440, 685, 462};
  g.m_rcFitButton = {540, 440, 620, 462};
  g.m_rcYCaption = {0, 40, 60, 410};
  return g;
}

GraphGeometry Column800() {
  GraphGeometry g;
  g.m_nPlotLeft = 50;
  g.m_nPlotTop = 25;
  g.m_nPlotRight = 500;
  g.m_nPlotBottom = 305;
  g.m_nXCaptionBottom = 370;
  g.m_nYLabelHalfHeight = 7;
  g.m_nYLabelIndent = 38;
  g.m_nXLabelBottom = 20;
  g.m_nXLabelHalfWidth = 23;
  g.m_nMarkSize = 3;
  g.m_rcAxisButton = {500, 325, 540, 345};
  g.m_rcFitButton = {406, 325, 484, 345};
  return g;
}

CanvasRect YCaptionByFormula(int w) { return {0, Trunc(w, 0.0390625), w / 17, Trunc(w, 0.4)}; }

GraphGeometry ByFormula(int w) {
  GraphGeometry g;
  g.m_nPlotLeft = w / 16;
  g.m_nPlotTop = w / 26;
  g.m_nPlotRight = Trunc(w, 0.625);
  g.m_nPlotBottom = Trunc(w, 0.4);
  g.m_nXCaptionBottom = Trunc(w, 0.4694835680751174);
  g.m_nYLabelHalfHeight = w / 102;
  g.m_nYLabelIndent = w / 26;
  g.m_nXLabelBottom = Trunc(w, 0.03389830508474576);
  g.m_nXLabelHalfWidth = Trunc(w, 0.029325513196480937);
  g.m_nMarkSize = w / 256;
  const int top = Trunc(w, 0.4291845493562232);
  const int bottom = Trunc(w, 0.4504504504504504);
  g.m_rcAxisButton = {Trunc(w, 0.6172839506172839), top, Trunc(w, 0.6666666666666666), bottom};
  g.m_rcFitButton = {Trunc(w, 0.5076142131979695), top, Trunc(w, 0.6060606060606061), bottom};
  g.m_rcYCaption = YCaptionByFormula(w);
  return g;
}

}  // namespace

GraphGeometry GraphGeometryForWidth(int screenWidth) {
  GraphGeometry g;
  if (screenWidth == 1024) {
    g = Column1024();
  } else if (screenWidth == 800) {
    g = Column800();
    // The hand-tuned 800 column has no caption area of its own; the proportional one keeps
    // double-clicks on the Y caption working there too.
    g.m_rcYCaption = YCaptionByFormula(screenWidth);
  } else {
    g = ByFormula(screenWidth);
  }
  g.m_nXLabelTop = 0;
  g.screenWidth = screenWidth;
  return g;
}

int FontHeightForPoints(int points, int logPixelsY) { return points * logPixelsY / 72; }

GraphFonts GraphFontsFor(int logPixelsY) {
  GraphFonts f;
  // The label font is asked for in tenths of a point, which the conversion rounds down at
  // the half (9 pt at 96 dpi is 12 pixels). Nine points keep the labels readable on any
  // screen; the classic 8 were 7 physical pixels on some.
  f.labels = {"MS Sans Serif", (90 * logPixelsY + 359) / 720, 400, false, 0};
  f.title = {"Courier New", FontHeightForPoints(12, logPixelsY), 700, false, 0};
  f.xCaption = {"Courier New", FontHeightForPoints(10, logPixelsY), 700, false, 0};
  f.yCaption = {"Courier New", FontHeightForPoints(9, logPixelsY), 700, false, 900};
  f.axisButton = {"Arial", FontHeightForPoints(11, logPixelsY), 600, false, 0};
  return f;
}

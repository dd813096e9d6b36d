// A Canvas that records every call, for painter tests: assert on positions, texts, pens and
// fonts without a display. Text extents are deterministic: every character is
// font.height / 2 pixels wide (at least 1) and font.height pixels high.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "canvas/canvas.h"

struct CanvasCall {
  enum Kind { Pen, Brush, Font, TextColour, TextBg, Move, Line, Segment, Rect, Ellipse, Fill, Tile, Text, TextRect, Clip, Unclip } kind;
  CanvasRect rect{};     // Rect, Ellipse, Fill, Tile, TextRect, Clip
  CanvasPoint p1{}, p2{};  // Move (p1), Line (p1 -> p2 from the current point), Segment, Text (p1)
  std::string text;        // Text, TextRect, Tile (image id)
  unsigned align = 0;
  // State at the time of the call.
  CanvasPen pen;
  CanvasBrush brush;
  CanvasFont font;
  Rgb textColour;
  Rgb fill;
};

class RecordingCanvas : public Canvas {
 public:
  std::vector<CanvasCall> calls;

  void SetPen(const CanvasPen& p) override { pen_ = p; push(CanvasCall::Pen); }
  void SetBrush(const CanvasBrush& b) override { brush_ = b; push(CanvasCall::Brush); }
  void SetFont(const CanvasFont& f) override { font_ = f; push(CanvasCall::Font); }
  void SetTextColour(Rgb c) override { textColour_ = c; push(CanvasCall::TextColour); }
  void SetTextBackground(bool, Rgb) override { push(CanvasCall::TextBg); }
  void MoveTo(int x, int y) override { cur_ = {x, y}; push(CanvasCall::Move).p1 = cur_; }
  void LineTo(int x, int y) override {
    auto& c = push(CanvasCall::Line);
    c.p1 = cur_;
    c.p2 = {x, y};
    cur_ = {x, y};
  }
  void DrawLine(int x1, int y1, int x2, int y2) override {
    auto& c = push(CanvasCall::Segment);
    c.p1 = {x1, y1};
    c.p2 = {x2, y2};
  }
  void DrawRectangle(const CanvasRect& r) override { push(CanvasCall::Rect).rect = r; }
  void DrawEllipse(const CanvasRect& r) override { push(CanvasCall::Ellipse).rect = r; }
  void FillSolidRect(const CanvasRect& r, Rgb c) override {
    auto& call = push(CanvasCall::Fill);
    call.rect = r;
    call.fill = c;
  }
  void TileImage(const CanvasRect& r, const CanvasImage& img) override {
    auto& c = push(CanvasCall::Tile);
    c.rect = r;
    c.text = img.id;
  }
  void TextOut(int x, int y, const std::string& t) override {
    auto& c = push(CanvasCall::Text);
    c.p1 = {x, y};
    c.text = t;
  }
  void DrawText(const std::string& t, const CanvasRect& r, unsigned align) override {
    auto& c = push(CanvasCall::TextRect);
    c.rect = r;
    c.text = t;
    c.align = align;
  }
  CanvasSize GetTextExtent(const std::string& t) override {
    int w = std::max(1, font_.height / 2);
    return {w * static_cast<int>(t.size()), font_.height};
  }
  void SetClip(const CanvasRect& r) override { push(CanvasCall::Clip).rect = r; }
  void ResetClip() override { push(CanvasCall::Unclip); }

  // Convenience queries.
  std::vector<const CanvasCall*> OfKind(CanvasCall::Kind k) const {
    std::vector<const CanvasCall*> out;
    for (const auto& c : calls)
      if (c.kind == k) out.push_back(&c);
    return out;
  }
  const CanvasCall* FindText(const std::string& t) const {
    for (const auto& c : calls)
      if ((c.kind == CanvasCall::Text || c.kind == CanvasCall::TextRect) && c.text == t) return &c;
    return nullptr;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.kind == CanvasCall::Text || c.kind == CanvasCall::TextRect) out.push_back(c.text);
    return out;
  }

 private:
  CanvasCall& push(CanvasCall::Kind k) {
    CanvasCall c{};
    c.kind = k;
    c.pen = pen_;
    c.brush = brush_;
    c.font = font_;
    c.textColour = textColour_;
    calls.push_back(c);
    return calls.back();
  }
  CanvasPen pen_;
  CanvasBrush brush_;
  CanvasFont font_;
  Rgb textColour_;
  CanvasPoint cur_;
};

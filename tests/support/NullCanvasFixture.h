#pragma once
// A white bitmap canvas (100 x 60 unless a test asks for another size) on the null backend,
// with the drawing record cleared.

#include "platform/graphics/Bitmap.h"
#include "platform/null/NullBackend.h"

#include <gtest/gtest.h>

#include <memory>

namespace zvtest {

using namespace zv;

class NullCanvasTest : public ::testing::Test {
protected:
  explicit NullCanvasTest(int width = 100, int height = 60) : fWidth(width), fHeight(height) {}
  void SetUp() override {
    fPrevious = SetGraphicsBackend(CreateNullBackend());
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(fWidth, fHeight);
    canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect({0, 0, fWidth, fHeight});
    Surface().ClearOps();
  }
  void TearDown() override {
    bitmap.reset();
    SetGraphicsBackend(std::move(fPrevious));
  }

  TNullSurface& Surface() { return *AsNullSurface(&canvas->Handle()); }
  TColor Px(int x, int y) { return canvas->Pixels(x, y); }
  // Recorded text runs, at any depth.
  std::vector<TPaintOp> Runs() { return Surface().OpsOf(TPaintOpKind::TextOut); }

  std::unique_ptr<TBitmap> bitmap;
  TCanvas* canvas = nullptr;

private:
  int fWidth;
  int fHeight;
  std::unique_ptr<TGraphicsBackend> fPrevious;
};

}  // namespace zvtest

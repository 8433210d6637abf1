#pragma once
// A white bitmap canvas on the null backend, with the drawing record cleared.

#include "platform/graphics/Bitmap.h"
#include "platform/null/NullBackend.h"

#include <gtest/gtest.h>

#include <memory>

namespace zvtest {

using namespace zv;

class NullCanvasTest : public ::testing::Test {
protected:
  void SetUp() override {
    fPrevious = SetGraphicsBackend(CreateNullBackend());
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(100, 60);
    canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect({0, 0, 100, 60});
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
  std::unique_ptr<TGraphicsBackend> fPrevious;
};

}  // namespace zvtest

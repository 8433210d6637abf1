#pragma once
// The host's speed button (Buttons): a button without a window, with a glyph and a caption.
// Buttons with the same GroupIndex (not 0) under one parent behave as radio buttons: pressing
// one puts it Down and the others up; AllowAllUp lets the down one be clicked up again.
// Flat buttons show their frame only while the mouse is over them or while down.

#include "platform/controls/CustomControl.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"

#include <memory>

namespace zv {

ZV_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom);
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
  ZV_CLASS(TSpeedButton, TGraphicControl)

public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  // NumGlyphs images side by side: up, disabled, clicked, down. Missing ones are the up image
  // (the disabled one is drawn embossed from it). The bottom-left pixel's colour is transparent.
  TBitmap* Glyph() const { return fGlyph.get(); }
  void SetGlyph(const TBitmap* glyph);
  int NumGlyphs() const { return fNumGlyphs; }
  // Kept within 1..4.
  void SetNumGlyphs(int value);
  TButtonLayout Layout() const { return fLayout; }
  void SetLayout(TButtonLayout value);
  // Pixels between the edge and the glyph; -1 centres glyph and caption together.
  int Margin() const { return fMargin; }
  void SetMargin(int value);
  // Pixels between the glyph and the caption; -1 centres the caption in the room left.
  int Spacing() const { return fSpacing; }
  void SetSpacing(int value);
  bool Flat() const { return fFlat; }
  void SetFlat(bool value);
  // Only buttons of a group can be down; setting it puts the group's other buttons up.
  bool Down() const { return fDown; }
  void SetDown(bool value);
  int GroupIndex() const { return fGroupIndex; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return fAllowAllUp; }
  void SetAllowAllUp(bool value);

  // The look painted now: pressed while the mouse is held inside, exclusive while Down.
  TButtonState State() const { return fState; }
  // Shows the button pressed (bsDown) or up from code, as a form does that presses its buttons
  // for the keyboard; the mouse and Down set the look again. A disabled button stays disabled.
  void SetState(TButtonState value);
  // The mouse is over a flat button (its frame shows).
  bool MouseInControl() const { return fMouseInControl; }
  // Where the glyph (one image) and the caption go in the client area, unpressed.
  void CalcLayout(TRect& glyphRect, TRect& textRect);

  void Click() override;

  static void DeclareProperties(TPropTable<TSpeedButton>& t);

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Dispatch(TMessage& message) override;
  void CMMouseEnter(TMessage& message) override;
  void CMMouseLeave(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;

private:
  void GlyphChanged(TObject* sender);
  // Tells the other buttons of the group that this one went down (or its settings changed).
  void UpdateExclusive();
  void CMButtonPressed(TMessage& message);
  void DrawGlyph(TCanvas& canvas, TPoint at);

  std::unique_ptr<TBitmap> fGlyph;
  std::unique_ptr<TCustomImageList> fImages;  // the glyph cut into its images, transparent
  bool fImagesValid = false;
  int fNumGlyphs = 1;
  TButtonLayout fLayout = blGlyphLeft;
  int fMargin = -1;
  int fSpacing = 4;
  bool fFlat = false;
  bool fDown = false;
  int fGroupIndex = 0;
  bool fAllowAllUp = false;
  TButtonState fState = bsUp;
  bool fDragging = false;  // the left button went down on the button and is held
  bool fMouseInControl = false;
};

}  // namespace zv

#pragma once
// The two concrete grid designers. TStandardDesigner draws a classic grid: 3D title buttons,
// three-pixel double lines between groups with a coloured middle line, optional horizontal
// lines and a 3D footer. TLiteDesigner draws one-pixel silver lines, titles in one of three
// styles, and can hide every line.

#include "runtime/vision/BaseDesigner.h"

namespace zv {

ZV_ENUM(TLiteDsgnTitleStyle, lts3D, ltsFlat, ltsNon3D);
ZV_ENUM(TStdDsgnOption, dg3DTitle, dg3DFooter, dgMarginLines, dgBoundLines, dgHorizLines, dgHorizBackground);
using TStdDsgnOptions = TSet<TStdDsgnOption>;

class TLiteDesigner : public TgpBaseDesigner {
  ZV_CLASS(TLiteDesigner, TgpBaseDesigner)

public:
  explicit TLiteDesigner(TComponent* owner);

  TLiteDsgnTitleStyle TitleStyle() const { return fTitleStyle; }
  void SetTitleStyle(TLiteDsgnTitleStyle value);
  bool ShowLines() const { return fShowLines; }
  void SetShowLines(bool value);
  bool ShowLastLine() const { return fShowLastLine; }
  void SetShowLastLine(bool value);

  static void DeclareProperties(TPropTable<TLiteDesigner>& t);

protected:
  int GetColumnMargin() const override;
  int GetRowMargin() const override;
  void GetTitleMargins(int& top, int& bottom) const override;
  void DM_Copy(const TgpDesigner& source) override;
  void DrawBGTitle() override;
  void DrawBGCells() override;
  void DrawTitle(const TgpPaintGroup& group) override;

private:
  TLiteDsgnTitleStyle fTitleStyle = lts3D;
  bool fShowLines = true;
  bool fShowLastLine = true;
};

class TStandardDesigner : public TgpBaseDesigner {
  ZV_CLASS(TStandardDesigner, TgpBaseDesigner)

public:
  explicit TStandardDesigner(TComponent* owner);

  // Index: liTitleSeparator, liMarginLines, liBoundLines.
  TColor StdLineColor(int index) const;
  void SetStdLineColor(int index, TColor value);
  TColor TitleSeparator() const { return StdLineColor(liTitleSeparator); }
  void SetTitleSeparator(TColor value) { SetStdLineColor(liTitleSeparator, value); }
  TColor MarginLines() const { return StdLineColor(liMarginLines); }
  void SetMarginLines(TColor value) { SetStdLineColor(liMarginLines, value); }
  TColor BoundLines() const { return StdLineColor(liBoundLines); }
  void SetBoundLines(TColor value) { SetStdLineColor(liBoundLines, value); }
  TStdDsgnOptions Options() const { return fOptions; }
  void SetOptions(TStdDsgnOptions value);

  static void DeclareProperties(TPropTable<TStandardDesigner>& t);

protected:
  int GetColumnMargin() const override { return 3; }
  int GetRowMargin() const override;
  void GetTitleMargins(int& top, int& bottom) const override;
  void DM_Copy(const TgpDesigner& source) override;
  void DrawBGTitle() override;
  void DrawBGCells() override;
  void DrawTitle(const TgpPaintGroup& group) override;

private:
  void UpdateUpdateMode();
  TColor& StdLineSlot(int index);
  TColor fTitleSeparator = clBlack;
  TColor fMarginLines = clSilver;
  TColor fBoundLines = clBlack;
  TStdDsgnOptions fOptions{dg3DTitle, dg3DFooter, dgMarginLines, dgBoundLines, dgHorizLines, dgHorizBackground};
};

}  // namespace zv

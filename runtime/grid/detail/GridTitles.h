#pragma once
// The footer menu's remembered column (GridTitles.cpp), forgotten by a column or grid that goes.

namespace zv {
class TDBDivoRud;
class TgpColumn;
}  // namespace zv

namespace zv::griddetail {

void ForgetFooterMenuColumn(const TgpColumn* column);
void ForgetFooterMenuGrid(const TDBDivoRud* grid);

}  // namespace zv::griddetail

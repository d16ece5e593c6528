#include "views/pie/ViewRefresh.h"

#include "engine/ResultStore.h"
#include "views/bar/BarData.h"
#include "views/common/RandomColor.h"
#include "views/pie/PieData.h"

TViewRefresh::TViewRefresh(const TResultStore& store, TBarData& barData, TPieData& pieData)
    : store_(store), barData_(barData), pieData_(pieData) {}

void TViewRefresh::UpdateBarPie() {
    if (store_.GlobalSLSEmpty()) {
        return;
    }
    RandomizeColors();
    UpdateBar();
    UpdatePie();
}

void TViewRefresh::UpdateBar() {
    barData_.FolderChanged = true;
    if (SetPieBackground) {
        SetPieBackground(clBtnFace);
    }
    barData_.CreateFolderBarData();
    if (BarToBarlv) {
        BarToBarlv();
    }
}

void TViewRefresh::UpdatePie() {
    if (PieVisible && !PieVisible()) {
        return;
    }
    pieData_.FolderChanged = true;
    if (SetPieBackground) {
        SetPieBackground(clWhite);
    }
    if (DrawPieMain) {
        DrawPieMain();
    } else {
        pieData_.CreatePieData();
    }
}

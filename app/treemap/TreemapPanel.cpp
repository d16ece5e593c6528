#include "app/treemap/TreemapPanel.h"

#include <QAction>

#include "app/treemap/TreemapAccessible.h"
#include "app/treemap/TreemapView.h"

TTreemapPanel::TTreemapPanel(QWidget* parent) : QDockWidget("Treemap", parent) {
    setObjectName("Treemap");
    miTreemap_ = toggleViewAction();
    miTreemap_->setObjectName("miTreemap");
    miTreemap_->setText("&Treemap");
    miTreemap_->setStatusTip("Show the current folder as a treemap of everything below it");
    InstallTreemapAccessibleFactory();
    view_ = new TTreemapView(this);
    view_->setMinimumSize(120, 90);
    setWidget(view_);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_TreemapPanel.cpp"

#pragma once
// The real main window over the fixture's drive C: with its treemap panel,
// and what the treemap's window tests ask of it.
#include "app/treemap/TreemapPanel.h"
#include "app/treemap/TreemapView.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"

// Writes a picture to $CQ_SHOT_DIR when it is set, to be looked at.
inline void KeepTreemapShot(const QImage& shot, const QString& name) {
    const QString folder = qEnvironmentVariable("CQ_SHOT_DIR");
    if (!folder.isEmpty())
        shot.save(QDir(folder).filePath(name), "PNG");
}

class TreemapWindow : public WindowFixture {
  protected:
    TTreemapView& View() { return *form->Treemap().View(); }

    void ShowTreemap() {
        form->miTreemap->trigger();
        Settle();
        ASSERT_TRUE(form->Treemap().isVisible());
        ASSERT_GT(View().Layout().Count(), 1);
    }
    // The tile standing for a path, -1 when none.
    int TileOf(const std::string& path) {
        for (int i = 1; i < View().Layout().Count(); ++i)
            if (View().Layout().Tile(i).Item.Kind != TTileKind::Rest &&
                View().TilePathOf(i) == path)
                return i;
        return -1;
    }
    QPoint Centre(int tile) { return View().Layout().Tile(tile).Rect.center(); }
    std::string Current() const {
        QTreeWidgetItem* row = form->BarLV->currentItem();
        return row && row->isSelected() ? TFormMain::RowPath(row) : std::string();
    }
    TUiScript script;
};

#include "app/main/MenuRowKeys.h"

#include <QKeyEvent>
#include <QMenu>
#include <QWidgetAction>

#include "app/main/MenuCell.h"

TMenuRowKeys* TMenuRowKeys::Of(QMenu* menu) {
    if (auto* keys = menu->findChild<TMenuRowKeys*>(QString(), Qt::FindDirectChildrenOnly)) {
        return keys;
    }
    return new TMenuRowKeys(menu);
}

TMenuRowKeys::TMenuRowKeys(QMenu* menu) : QObject(menu), FMenu(menu) {
    menu->installEventFilter(this);
    // A menu opens with nothing selected, as a native one does; the menu
    // bar selects the first row itself when the keyboard opened it.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        QAction* active = FMenu->activeAction();
        for (const TRow& row : FRows) {
            for (TMenuCell* cell : row.cells) {
                cell->clearFocus();
            }
        }
        for (size_t r = 0; r < FRows.size(); ++r) {
            if (FRows[r].action == active) {
                Select(static_cast<int>(r), 0) || Select(static_cast<int>(r), 1);
            }
        }
    });
    // The menu bar selects the first row of a menu opened from the keyboard;
    // the row's item then has the keys and is drawn selected.
    connect(menu, &QMenu::hovered, this, [this](QAction* action) {
        for (size_t r = 0; r < FRows.size(); ++r) {
            if (FRows[r].action == action && Current().first != static_cast<int>(r)) {
                Select(static_cast<int>(r), 0) || Select(static_cast<int>(r), 1);
            }
        }
    });
}

void TMenuRowKeys::AddRow(QWidgetAction* row, TMenuCell* left, TMenuCell* right) {
    FRows.push_back({row, {left, right}});
}

bool TMenuRowKeys::Usable(const TMenuCell* cell) const {
    return cell && cell->isVisibleTo(FMenu) && cell->Action()->isEnabled();
}

std::pair<int, int> TMenuRowKeys::Current() const {
    for (size_t r = 0; r < FRows.size(); ++r) {
        for (int c = 0; c < 2; ++c) {
            if (FRows[r].cells[c]->Selected()) {
                return {static_cast<int>(r), c};
            }
        }
    }
    return {-1, 0};
}

bool TMenuRowKeys::Select(int row, int column) {
    TMenuCell* cell = FRows[static_cast<size_t>(row)].cells[column];
    if (!Usable(cell)) {
        return false;
    }
    cell->setFocus(Qt::TabFocusReason);
    for (const TRow& each : FRows) {
        for (TMenuCell* other : each.cells) {
            other->update();
        }
    }
    // The menu's own idea of the current item follows (it reports that as
    // a hover, which comes back here with the row already selected).
    if (FMenu->activeAction() != FRows[static_cast<size_t>(row)].action) {
        FMenu->setActiveAction(FRows[static_cast<size_t>(row)].action);
    }
    return true;
}

bool TMenuRowKeys::MoveRow(int step) {
    const int count = static_cast<int>(FRows.size());
    auto [row, column] = Current();
    if (row < 0) {
        row = step > 0 ? -1 : count;
    }
    // Round the menu once at most; a row whose cell in this column cannot
    // be chosen offers its other cell.
    for (int tried = 0; tried < count; ++tried) {
        row = (row + step + count) % count;
        if (Select(row, column) || Select(row, 1 - column)) {
            return true;
        }
    }
    return false;
}

bool TMenuRowKeys::MoveColumn(int step) {
    const auto [row, column] = Current();
    const int next = column + step;
    if (row < 0 || next < 0 || next > 1) {
        return false;  // the menu bar's neighbouring menu, if any
    }
    return Select(row, next);
}

bool TMenuRowKeys::Mnemonic(QChar key) {
    std::vector<std::pair<int, int>> matches;
    for (size_t r = 0; r < FRows.size(); ++r) {
        for (int c = 0; c < 2; ++c) {
            const TMenuCell* cell = FRows[r].cells[c];
            if (Usable(cell) && cell->Mnemonic() == key.toLower()) {
                matches.emplace_back(static_cast<int>(r), c);
            }
        }
    }
    if (matches.empty()) {
        return false;
    }
    if (matches.size() == 1) {
        FRows[static_cast<size_t>(matches[0].first)].cells[matches[0].second]->Activate();
        return true;
    }
    // Shared by several: select the next one after the current cell.
    const auto current = Current();
    auto next = matches.front();
    for (const auto& match : matches) {
        if (match > current) {
            next = match;
            break;
        }
    }
    return Select(next.first, next.second);
}

bool TMenuRowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FMenu || event->type() != QEvent::KeyPress || FRows.empty()) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    bool done = false;
    switch (key->key()) {
        case Qt::Key_Up:
            done = MoveRow(-1);
            break;
        case Qt::Key_Down:
            done = MoveRow(1);
            break;
        case Qt::Key_Left:
            done = MoveColumn(-1);
            break;
        case Qt::Key_Right:
            done = MoveColumn(1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (const auto [row, column] = Current(); row >= 0) {
                FRows[static_cast<size_t>(row)].cells[column]->Activate();
                done = true;
            }
            break;
        default:
            if (key->text().size() == 1 && key->text()[0].isPrint() &&
                (mods == Qt::NoModifier || mods == Qt::ShiftModifier || mods == Qt::AltModifier)) {
                done = Mnemonic(key->text()[0]);
            }
            break;
    }
    if (done) {
        key->accept();
    }
    return done;
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_MenuRowKeys.cpp"

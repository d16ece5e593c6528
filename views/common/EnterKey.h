#pragma once
// Enter on the main keyboard or on the keypad, without Ctrl, Alt, Shift or
// Meta: the key that acts on a selected row as a double click does.
#include <QKeyEvent>

inline bool IsPlainEnter(const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    return enter && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}
